#include "TeclasReais.h"

#include <xkbcommon/xkbcommon.h>

namespace {

QString nomeDaTecla(char32_t c)
{
    if (c == U'\r') return QStringLiteral("Return");
    char nome[64];
    if (xkb_keysym_get_name(xkb_utf32_to_keysym(c), nome, sizeof nome) <= 0) return QString();
    return QString::fromLatin1(nome);
}

struct TeclaMorta {
    char32_t combinante;
    const char* nome;
    Qt::Key key;
};
const TeclaMorta kTeclasMortas[] = {
    {0x0301, "dead_acute", Qt::Key_Dead_Acute},         {0x0300, "dead_grave", Qt::Key_Dead_Grave},
    {0x0302, "dead_circumflex", Qt::Key_Dead_Circumflex}, {0x0303, "dead_tilde", Qt::Key_Dead_Tilde},
    {0x0308, "dead_diaeresis", Qt::Key_Dead_Diaeresis},
};

// The dead key of a combining accent, or none.
QString teclaMorta(char32_t combinante)
{
    for (const TeclaMorta& m : kTeclasMortas)
        if (m.combinante == combinante) return QString::fromLatin1(m.nome);
    return QString();
}

// Signs typed as a dead key then Space: on both keyboards ` ~ ^, on ABNT2 ´ ¨, on US-Intl ' ".
QString sinalDaTeclaMorta(QChar c, bool abnt2)
{
    switch (c.unicode()) {
    case '`': return QStringLiteral("dead_grave");
    case '~': return QStringLiteral("dead_tilde");
    case '^': return QStringLiteral("dead_circumflex");
    case 0x00B4: return abnt2 ? QStringLiteral("dead_acute") : QString();
    case 0x00A8: return abnt2 ? QStringLiteral("dead_diaeresis") : QString();
    case '\'': return abnt2 ? QString() : QStringLiteral("dead_acute");
    case '"': return abnt2 ? QString() : QStringLiteral("dead_diaeresis");
    default: return QString();
    }
}

} // namespace

QStringList teclasDoCaractere(QChar c, bool abnt2)
{
    const QString sinal = sinalDaTeclaMorta(c, abnt2);
    if (!sinal.isEmpty()) return {sinal, QStringLiteral("space")};
    // US-International types the cedilla as acute + c; ABNT2 has a key of its own for it.
    if (!abnt2 && c.toLower() == QChar(0x00E7))
        return {QStringLiteral("dead_acute"), c.isUpper() ? QStringLiteral("C") : QStringLiteral("c")};
    const QString decomposto = QString(c).normalized(QString::NormalizationForm_D);
    if (decomposto.size() == 2 && !teclaMorta(decomposto[1].unicode()).isEmpty())
        return {teclaMorta(decomposto[1].unicode()), nomeDaTecla(decomposto[0].unicode())};
    return {nomeDaTecla(c.unicode())};
}

QList<QStringList> teclasDoTexto(const QString& texto, bool abnt2)
{
    QList<QStringList> teclas;
    for (QChar c : texto) teclas << teclasDoCaractere(c, abnt2);
    return teclas;
}

QStringList sequenciaDeTeclas(const QString& texto, bool abnt2)
{
    QStringList todas;
    for (const QStringList& t : teclasDoTexto(texto, abnt2)) todas << t;
    return todas;
}

EventoDaTecla eventoDaTecla(const QString& nome)
{
    for (const TeclaMorta& m : kTeclasMortas)
        if (nome == QLatin1String(m.nome)) return {m.key, QString()};
    if (nome == QLatin1String("Return")) return {Qt::Key_Return, QStringLiteral("\r")};
    const char32_t c = xkb_keysym_to_utf32(xkb_keysym_from_name(nome.toLatin1().constData(), XKB_KEYSYM_NO_FLAGS));
    const QString texto = QString::fromUcs4(&c, 1);
    return {int(texto.toUpper().at(0).unicode()), texto};
}

QString comShift(const QString& nome)
{
    if (maiuscula(nome).isEmpty()) return nome;
    const xkb_keysym_t sym = xkb_keysym_from_name(nome.toLatin1().constData(), XKB_KEYSYM_NO_FLAGS);
    char minuscula[64];
    xkb_keysym_get_name(xkb_keysym_to_lower(sym), minuscula, sizeof minuscula);
    return QStringLiteral("shift+") + QString::fromLatin1(minuscula);
}

QString maiuscula(const QString& nome)
{
    const xkb_keysym_t sym = xkb_keysym_from_name(nome.toLatin1().constData(), XKB_KEYSYM_NO_FLAGS);
    if (xkb_keysym_to_lower(sym) == sym) return QString();
    const char32_t c = xkb_keysym_to_utf32(sym);
    return QString::fromUcs4(&c, 1);
}
