#include "Digitacao.h"

#include "data/Data1.h"
#include "domain/Cursos.h"
#include "platform/SomWave.h"
#include "ui/Mensagens.h"

#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

namespace {

const QChar kCR(13);
const QString kChaveEnter = QStringLiteral("aa");

// The keys that carry accent marks: the dead keys of the layout, and the keys that are
// accent keys on other layouts ("6", the bracket key and the quote key), whose character
// then simply arrives as a keystroke of its own.
bool ehTeclaDeAcento(int key)
{
    return TFDigitacao::ehTeclaMorta(key) || key == Qt::Key_6 || key == Qt::Key_AsciiCircum
           || key == Qt::Key_BracketLeft || key == Qt::Key_BraceLeft
           || key == Qt::Key_Apostrophe || key == Qt::Key_QuoteDbl;
}

// What the copy line shows for a typed character: control characters get a visible sign.
QString visivel(const QString& copia)
{
    QString s = copia;
    if (s.endsWith(kCR)) s.chop(1);
    for (QChar& c : s) {
        if (c == QChar(8)) c = QChar(0x2190);       // Backspace: left arrow
        else if (c.unicode() < 32) c = QChar(0x00B7);  // other control characters: middle dot
    }
    return s;
}

} // namespace

bool TFDigitacao::ehTeclaMorta(int key)
{
    return key >= Qt::Key_Dead_Grave && key <= Qt::Key_Dead_Longsolidusoverlay;
}

QString TFDigitacao::comporAcento(int teclaMorta, const QString& texto, bool abnt2)
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

void TFDigitacao::teclaPressionada(int key, const QString& texto, Qt::KeyboardModifiers mods)
{
    atualizarTravas(key, texto, mods);
    txtLetraKeyDown(key, mods);
    const bool abnt2 = dm1 && dm1->Abnt2Keyboard;

    QString caracteres;
    if (ehTeclaMorta(key)) {
        // A second dead key types the first one's accent and waits in its place.
        if (acentoPendente_) caracteres = comporAcento(acentoPendente_, QStringLiteral(" "), abnt2);
        acentoPendente_ = key;
    } else {
        if (texto.isEmpty()) return;  // Shift, Ctrl, arrows and the like
        caracteres = acentoPendente_ ? comporAcento(acentoPendente_, texto, abnt2) : texto;
        acentoPendente_ = 0;
    }
    for (QChar c : caracteres) {
        // The keystroke that ends the lesson stops the typing; the rest is not evaluated.
        if (!txtLetra->isEnabled()) break;
        txtLetraKeyPress(c);
    }
}

bool TFDigitacao::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != txtLetra) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::InputMethodQuery: {
        // Declines input methods, so that dead keys come as key presses.
        auto* consulta = static_cast<QInputMethodQueryEvent*>(event);
        if (consulta->queries() & Qt::ImEnabled) consulta->setValue(Qt::ImEnabled, false);
        consulta->accept();
        return true;
    }
    case QEvent::KeyPress: {
        if (!txtLetra->isEnabled()) return true;  // typing is refused outside a run
        auto* tecla = static_cast<QKeyEvent*>(event);
        ui::protegido(this, [&] { teclaPressionada(tecla->key(), tecla->text(), tecla->modifiers()); });
        return true;  // the field itself never receives a character
    }
    case QEvent::KeyRelease:
        return true;
    case QEvent::InputMethod: {
        if (!txtLetra->isEnabled()) return true;
        // Should an input method commit a composed character after all, it is one keystroke.
        const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
        ui::protegido(this, [&] {
            for (QChar c : commit) {
                if (!txtLetra->isEnabled()) break;
                txtLetraKeyPress(c);
            }
        });
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

// Num Lock and Caps Lock as far as the keys tell: a letter whose case differs from the
// Shift key means Caps Lock; a keypad digit means Num Lock.
void TFDigitacao::atualizarTravas(int key, const QString& texto, Qt::KeyboardModifiers mods)
{
    if (texto.size() == 1 && texto[0].isLetter() && texto[0].isUpper() != texto[0].isLower()) {
        const bool caps = texto[0].isUpper() != bool(mods & Qt::ShiftModifier);
        sb1Panels[5]->setText(caps ? QStringLiteral("Caps") : QString());
    }
    if (mods & Qt::KeypadModifier) {
        if (texto.size() == 1 && texto[0].isDigit()) sb1Panels[4]->setText(QStringLiteral("Num"));
        else if (key >= Qt::Key_Home && key <= Qt::Key_PageDown) sb1Panels[4]->clear();
    }
}

// ---- Line set-up -------------------------------------------------------------------------

void TFDigitacao::InserirTecla()
{
    Coluna = 1;
    Copia.clear();
    lblCopy1->clear();
    ajustarRotulo(lblCopy1);
    lblCursor->move(8, lblCursor->y());
    QPalette pal = lblCursor->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    lblCursor->setPalette(pal);
    ErroPendente = false;

    if (DBMemo1.size() < Linha) {
        // End of the lesson.
        Desativar();
        LimparTeclaAnt();
        FazerRelatorio();
        VerificarRecorde();
        Recarregar = true;
        LimparDados();
        return;
    }

    QString linha = DBMemo1[Linha - 1];
    int a = 0, b = linha.size();
    while (a < b && (linha[a] == QLatin1Char(' ') || linha[a] == QLatin1Char('\t'))) ++a;
    while (b > a && (linha[b - 1] == QLatin1Char(' ') || linha[b - 1] == QLatin1Char('\t'))) --b;
    LinhaAtual = linha.mid(a, b - a).left(61);

    Grid1->selectRow(Linha - 1);
    lblTexto->setText(LinhaAtual);
    ajustarRotulo(lblTexto);
    if (LinhaAtual.size() < 61) LinhaAtual += kCR;
    TamLinha = quint8(lblTexto->text().size());

    TeclaProx = LinhaAtual.left(1);
    if (TeclaProx == kCR) TeclaProx = kChaveEnter;  // an empty line is typed with one Enter
    if (TecladoLigado) AchaTecla(TeclaProx);

    sb1Panels[0]->setText(QString::number(Linha) + QLatin1Char(':') + QString::number(DBMemo1.size()));
    sb1Panels[1]->setText(QStringLiteral("1:") + QString::number(TamLinha));
}

// ---- Keystrokes --------------------------------------------------------------------------

void TFDigitacao::txtLetraKeyPress(QChar& Key)
{
    if (!txtLetra->text().isEmpty()) txtLetra->clear();
    if (ErroPendente) Copia.remove(Coluna - 1, 1);

    TeclaEsperada = LinhaAtual.mid(Coluna - 1, 1);
    const bool numerico = TipoLicao == QString::fromUtf8(dominio::kTipoNumerico);
    if (numerico) {
        if (TeclaEsperada == QLatin1String(" ")) TeclaEsperada = kCR;  // spaces are typed with Enter
        if (!dm1->Abnt2Keyboard && Key == QLatin1Char('.')) Key = QLatin1Char(',');
    }

    if (TeclaEsperada.size() == 1 && TeclaEsperada[0] == Key) {
        // An Enter that stands for a space inside the line shows as a space.
        if (numerico && TamLinha > Coluna && Key == kCR) Key = QLatin1Char(' ');
        Copia += Key;
        mostrarCopia(false);
        sb1Panels[1]->setText(QString::number(Coluna) + QLatin1Char(':') + QString::number(TamLinha));
        ++Coluna;
        TeclaProx = LinhaAtual.mid(Coluna - 1, 1);
        if (TeclaProx == kCR || (numerico && TeclaProx == QLatin1String(" "))) TeclaProx = kChaveEnter;
        if (TecladoLigado) AchaTecla(TeclaProx);
        ErroPendente = false;
        sb1Panels[2]->setText(QStringLiteral("Acertou"));
        ++Acertos;
        sb1Panels[3]->clear();
        if (Copia == LinhaAtual) {
            ++Linha;
            InserirTecla();
        }
    } else {
        tocarErro();
        QString dica = TeclaEsperada;
        if (TeclaEsperada == kCR) dica = QStringLiteral("Enter");
        else if (TeclaEsperada == QLatin1String(" ")) dica = numerico ? QStringLiteral("Enter") : QString::fromUtf8("Espaço");
        sb1Panels[3]->setText(QStringLiteral("Digite: ") + dica);
        Copia += Key == kCR ? QChar(QLatin1Char(' ')) : Key;
        mostrarCopia(true);
        ErroPendente = true;
        ++Erros;
        sb1Panels[2]->setText(QStringLiteral("Errou"));
        if (TecladoLigado) AchaTecla(TeclaProx);  // the expected key is lit again
    }
    if (Key == kCR) Key = QChar(0);
}

void TFDigitacao::txtLetraKeyDown(int Key, Qt::KeyboardModifiers Shift)
{
    Q_UNUSED(Shift);
    if (!txtLetra->text().isEmpty()) txtLetra->clear();
    if (!TecladoLigado || !ehTeclaDeAcento(Key)) return;
    // The accent key of a two-keystroke character: the guide moves on to the letter.
    try {
        if (linhaAchada_ && TabTecla->active()
            && TabTecla->fieldByName(QStringLiteral("PROX")).asBoolean())
            AchaTecla(TabTecla->fieldByName(QStringLiteral("PROXL")).asString());
    } catch (...) {
        // The guide never stops the typing.
    }
}

void TFDigitacao::TimerCursorTimer() { lblCursor->setVisible(!lblCursor->isVisible()); }

// The copy on its label and the cursor right after it (black), or under the wrong
// character just typed (red).
void TFDigitacao::mostrarCopia(bool erro)
{
    const QString mostrada = visivel(Copia);
    lblCopy1->setText(mostrada);
    ajustarRotulo(lblCopy1);
    const QFontMetrics fm(lblCopy1->font());
    int x = lblCopy1->x() + fm.horizontalAdvance(mostrada);
    if (erro && !mostrada.isEmpty()) x -= fm.horizontalAdvance(mostrada.right(1));
    lblCursor->move(x, lblCursor->y());
    QPalette pal = lblCursor->palette();
    pal.setColor(QPalette::WindowText, erro ? QColor(255, 0, 0) : QColor(0, 0, 0));
    lblCursor->setPalette(pal);
}

void TFDigitacao::tocarErro()
{
    if (!dm1->SoundOn) return;
    ++sonsDeErro;
    wave1->tocar();
}
