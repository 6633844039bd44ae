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

// The dead key of a combining accent, or none.
QString teclaMorta(char32_t combinante)
{
    switch (combinante) {
    case 0x0301: return QStringLiteral("dead_acute");
    case 0x0300: return QStringLiteral("dead_grave");
    case 0x0302: return QStringLiteral("dead_circumflex");
    case 0x0303: return QStringLiteral("dead_tilde");
    case 0x0308: return QStringLiteral("dead_diaeresis");
    default: return QString();
    }
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
