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

void SessaoDigitacao::preparar(const Licao& licao)
{
    licao_ = licao;
    e_ = Estado();
    e_.NumLicao = licao.numero;
    e_.ExigVel = licao.exigVel;
    e_.ExigPrec = licao.exigPrec;
    e_.MaxLicoes = licao.maxLicoes;
    e_.Linha = 1;
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
    e_.Coluna = 1;
    e_.Copia.clear();
    dica_.clear();
    e_.ErroPendente = false;
    if (licao_.linhas.size() < e_.Linha) {
        rodando_ = false;
        terminada_ = true;
        emit terminou();
        return;
    }
    const int largura = int(dominio::kLarguraLinha);
    const QString texto = aparado(licao_.linhas[e_.Linha - 1]).left(largura);
    e_.TamLinha = quint8(texto.size());
    e_.LinhaAtual = texto.size() < largura ? texto + kCR : texto;
    e_.TeclaProx = e_.LinhaAtual.left(1);
    if (e_.TeclaProx == kCR) e_.TeclaProx = kChaveEnter;  // an empty line is typed with one Enter
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
        if (acento_) caracteres = comporAcento(acento_, QStringLiteral(" "), licao_.abnt2);
        acento_ = key;
    } else {
        if (texto.isEmpty()) return;  // Shift, Ctrl, arrows and the like
        caracteres = acento_ ? comporAcento(acento_, texto, licao_.abnt2) : texto;
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
    if (e_.ErroPendente) e_.Copia.remove(e_.Coluna - 1, 1);

    e_.TeclaEsperada = e_.LinhaAtual.mid(e_.Coluna - 1, 1);
    if (licao_.numerico) {
        if (e_.TeclaEsperada == QLatin1String(" ")) e_.TeclaEsperada = kCR;  // spaces are typed with Enter
        if (!licao_.abnt2 && Key == QLatin1Char('.')) Key = QLatin1Char(',');
    }
    emit julgada(e_.TeclaEsperada.isEmpty() ? QChar() : e_.TeclaEsperada[0], Key);

    if (e_.TeclaEsperada.size() == 1 && e_.TeclaEsperada[0] == Key) {
        // An Enter that stands for a space inside the line shows as a space.
        if (licao_.numerico && e_.TamLinha > e_.Coluna && Key == kCR) Key = QLatin1Char(' ');
        e_.Copia += Key;
        ++e_.Coluna;
        e_.TeclaProx = e_.LinhaAtual.mid(e_.Coluna - 1, 1);
        if (e_.TeclaProx == kCR || (licao_.numerico && e_.TeclaProx == QLatin1String(" "))) e_.TeclaProx = kChaveEnter;
        e_.ErroPendente = false;
        dica_.clear();
        ++e_.Acertos;
        emit acertou();
        if (e_.Copia == e_.LinhaAtual) {
            ++e_.Linha;
            inserirLinha();
        }
    } else {
        QString dica = e_.TeclaEsperada;
        if (e_.TeclaEsperada == kCR) dica = QStringLiteral("Enter");
        else if (e_.TeclaEsperada == QLatin1String(" ")) dica = licao_.numerico ? QStringLiteral("Enter") : QString::fromUtf8("Espaço");
        dica_ = QStringLiteral("Digite: ") + dica;
        e_.Copia += Key == kCR ? QChar(QLatin1Char(' ')) : Key;
        e_.ErroPendente = true;
        ++e_.Erros;
        emit errou();
    }
}

QString SessaoDigitacao::copiaVisivel() const
{
    QString s = e_.Copia;
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
    ++e_.Segundos;
    if (e_.Segundos == 60) {
        ++e_.Minutos;
        e_.Segundos = 0;
    }
    if (e_.Minutos == 60) {
        ++e_.Horas;
        e_.Minutos = 0;
    }
    // On the tick that completes a minute the speed keeps its value.
    if (e_.Segundos != 0) e_.VelAtual = dominio::velocidade(e_.Acertos, e_.Horas, e_.Minutos, e_.Segundos);
    e_.PrecAtual = dominio::precisao(e_.Acertos, e_.Erros);
    emit relogioMudou();
}

QString SessaoDigitacao::duracao() const
{
    return QString::fromStdString(dominio::textoDuracao(e_.Horas, e_.Minutos, e_.Segundos));
}

SessaoDigitacao::Fim SessaoDigitacao::fim(int liberada) const
{
    Fim f;
    f.velocidade = e_.VelAtual;
    f.precisao = e_.PrecAtual;
    f.velocidadeOk = dominio::atingiu(e_.VelAtual, e_.ExigVel);
    f.precisaoOk = dominio::atingiu(e_.PrecAtual, e_.ExigPrec);
    // Passing the highest lesson unlocked opens the next one, never past the type's last lesson.
    const int proxima = e_.NumLicao + 1;
    if (f.aprovado() && proxima <= e_.MaxLicoes && liberada < proxima) f.liberar = proxima;
    // The full score: a speed of 700 at 100 % is 70,010 points, not that modulo 65,536.
    f.pontos = dominio::pontuacao(e_.VelAtual, e_.PrecAtual, e_.NumLicao);
    return f;
}
