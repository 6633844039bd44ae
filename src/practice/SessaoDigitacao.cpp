#include "SessaoDigitacao.h"

#include "domain/Cursos.h"
#include "domain/Estatisticas.h"
#include "domain/Linhas.h"

namespace {

const QChar kCR(13);
const QString kChaveEnter = QStringLiteral("aa");

QString aparado(const QString& s) { return QString::fromStdString(dominio::aparar(s.toStdString())); }

} // namespace

QString SessaoDigitacao::Fim::resultado() const
{
    return QString::fromUtf8(aprovado() ? dominio::kAprovado : dominio::kReprovado);
}

void SessaoDigitacao::preparar(const QStringList& linhas, int numLicao, bool numerico, bool abnt2)
{
    linhas_ = linhas;
    NumLicao = numLicao;
    numerico_ = numerico;
    abnt2_ = abnt2;
    VelAtual = PrecAtual = 0;
    Horas = Minutos = Segundos = 0;
    Acertos = Erros = 0;
    Linha = 1;
    acento_ = 0;
    rodando_ = false;
    terminada_ = false;
    inserirLinha();
}

void SessaoDigitacao::pausar()
{
    rodando_ = false;
    acento_ = 0;
}

void SessaoDigitacao::inserirLinha()
{
    Coluna = 1;
    Copia.clear();
    dica_.clear();
    ErroPendente = false;
    if (linhas_.size() < Linha) {
        rodando_ = false;
        terminada_ = true;
        emit terminou();
        return;
    }
    const int largura = int(dominio::kLarguraLinha);
    const QString texto = aparado(linhas_[Linha - 1]).left(largura);
    TamLinha = quint8(texto.size());
    LinhaAtual = texto.size() < largura ? texto + kCR : texto;
    TeclaProx = LinhaAtual.left(1);
    if (TeclaProx == kCR) TeclaProx = kChaveEnter;  // an empty line is typed with one Enter
    emit linhaNova();
}

// ---- Keystrokes ----------------------------------------------------------------------------

bool SessaoDigitacao::ehTeclaMorta(int key)
{
    return key >= Qt::Key_Dead_Grave && key <= Qt::Key_Dead_Longsolidusoverlay;
}

QString SessaoDigitacao::comporAcento(int teclaMorta, const QString& texto, bool abnt2)
{
    // The accent alone (dead key + space): the sign printed on the key. The quote key of
    // US-International gives the apostrophe and the double quote this way.
    QString sozinho;
    ushort combinante = 0;
    switch (teclaMorta) {
    case Qt::Key_Dead_Acute:
        sozinho = abnt2 ? QString(QChar(0x00B4)) : QStringLiteral("'");
        combinante = 0x0301;
        break;
    case Qt::Key_Dead_Grave:
        sozinho = QStringLiteral("`");
        combinante = 0x0300;
        break;
    case Qt::Key_Dead_Tilde:
        sozinho = QStringLiteral("~");
        combinante = 0x0303;
        break;
    case Qt::Key_Dead_Circumflex:
        sozinho = QStringLiteral("^");
        combinante = 0x0302;
        break;
    case Qt::Key_Dead_Diaeresis:
        sozinho = abnt2 ? QString(QChar(0x00A8)) : QStringLiteral("\"");
        combinante = 0x0308;
        break;
    case Qt::Key_Dead_Cedilla:
        sozinho = QString(QChar(0x00B8));
        combinante = 0x0327;
        break;
    default:
        return texto;  // an accent we do not know is dropped
    }
    if (texto == QLatin1String(" ")) return sozinho;
    if (texto.size() != 1) return sozinho + texto;
    // US-International types the cedilla as acute + c.
    if (teclaMorta == Qt::Key_Dead_Acute && (texto == QLatin1String("c") || texto == QLatin1String("C")))
        return QString(QChar(texto == QLatin1String("c") ? 0x00E7 : 0x00C7));
    const QString composto = (texto + QChar(combinante)).normalized(QString::NormalizationForm_C);
    if (composto.size() == 1) return composto;
    // No such letter: the accent, then the key, as two keystrokes.
    return sozinho + texto;
}

void SessaoDigitacao::tecla(int key, const QString& texto)
{
    if (!rodando_) return;
    QString caracteres;
    if (ehTeclaMorta(key)) {
        // A second dead key types the first one's accent and waits in its place.
        if (acento_) caracteres = comporAcento(acento_, QStringLiteral(" "), abnt2_);
        acento_ = key;
    } else {
        if (texto.isEmpty()) return;  // Shift, Ctrl, arrows and the like
        caracteres = acento_ ? comporAcento(acento_, texto, abnt2_) : texto;
        acento_ = 0;
    }
    for (QChar c : caracteres) {
        if (!rodando_) break;  // the keystroke that ends the lesson stops the typing
        caractere(c);
    }
}

void SessaoDigitacao::caractere(QChar Key)
{
    if (!rodando_) return;
    if (ErroPendente) Copia.remove(Coluna - 1, 1);

    TeclaEsperada = LinhaAtual.mid(Coluna - 1, 1);
    if (numerico_) {
        if (TeclaEsperada == QLatin1String(" ")) TeclaEsperada = kCR;  // spaces are typed with Enter
        if (!abnt2_ && Key == QLatin1Char('.')) Key = QLatin1Char(',');
    }
    emit julgada(TeclaEsperada.isEmpty() ? QChar() : TeclaEsperada[0], Key);

    if (TeclaEsperada.size() == 1 && TeclaEsperada[0] == Key) {
        // An Enter that stands for a space inside the line shows as a space.
        if (numerico_ && TamLinha > Coluna && Key == kCR) Key = QLatin1Char(' ');
        Copia += Key;
        ++Coluna;
        TeclaProx = LinhaAtual.mid(Coluna - 1, 1);
        if (TeclaProx == kCR || (numerico_ && TeclaProx == QLatin1String(" "))) TeclaProx = kChaveEnter;
        ErroPendente = false;
        dica_.clear();
        ++Acertos;
        emit acertou();
        if (Copia == LinhaAtual) {
            ++Linha;
            inserirLinha();
        }
    } else {
        QString dica = TeclaEsperada;
        if (TeclaEsperada == kCR) dica = QStringLiteral("Enter");
        else if (TeclaEsperada == QLatin1String(" ")) dica = numerico_ ? QStringLiteral("Enter") : QString::fromUtf8("Espaço");
        dica_ = QStringLiteral("Digite: ") + dica;
        Copia += Key == kCR ? QChar(QLatin1Char(' ')) : Key;
        ErroPendente = true;
        ++Erros;
        emit errou();
    }
}

QString SessaoDigitacao::copiaVisivel() const
{
    QString s = Copia;
    if (s.endsWith(kCR)) s.chop(1);
    for (QChar& c : s) {
        if (c == QChar(8)) c = QChar(0x2190);          // Backspace: left arrow
        else if (c.unicode() < 32) c = QChar(0x00B7);  // other control characters: middle dot
    }
    return s;
}

// ---- Clock and end ---------------------------------------------------------------------------

void SessaoDigitacao::tique()
{
    ++Segundos;
    if (Segundos == 60) {
        ++Minutos;
        Segundos = 0;
    }
    if (Minutos == 60) {
        ++Horas;
        Minutos = 0;
    }
    // On the tick that completes a minute the speed keeps its value.
    if (Segundos != 0) VelAtual = dominio::velocidade(Acertos, Horas, Minutos, Segundos);
    PrecAtual = dominio::precisao(Acertos, Erros);
    emit relogioMudou();
}

QString SessaoDigitacao::duracao() const
{
    return QString::fromStdString(dominio::textoDuracao(Horas, Minutos, Segundos));
}

SessaoDigitacao::Fim SessaoDigitacao::fim(int liberada) const
{
    Fim f;
    f.velocidade = VelAtual;
    f.precisao = PrecAtual;
    f.velocidadeOk = dominio::atingiu(VelAtual, ExigVel);
    f.precisaoOk = dominio::atingiu(PrecAtual, ExigPrec);
    // Passing the highest lesson unlocked opens the next one, never past the type's last lesson.
    const int proxima = NumLicao + 1;
    if (f.aprovado() && proxima <= MaxLicoes && liberada < proxima) f.liberar = proxima;
    // The full score: a speed of 700 at 100 % is 70,010 points, not that modulo 65,536.
    f.pontos = dominio::pontuacao(VelAtual, PrecAtual, NumLicao);
    return f;
}
