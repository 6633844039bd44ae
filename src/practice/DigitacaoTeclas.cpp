#include "Digitacao.h"

#include "ui/Cores.h"
#include "SessaoDigitacao.h"

#include "data/Data1.h"
#include "platform/SomWave.h"
#include "platform/TravasTeclado.h"
#include "Locutor.h"
#include "domain/NomesTeclas.h"
#include "platform/Voz.h"
#include "ui/Acessibilidade.h"
#include "ui/Mensagens.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

namespace {

QString texto(const char* utf8) { return QString::fromUtf8(utf8); }

// The keys that carry accent marks: the dead keys of the layout, and the keys that are
// accent keys on other layouts ("6", the bracket key and the quote key), whose character
// then simply arrives as a keystroke of its own.
bool ehTeclaDeAcento(int key)
{
    return SessaoDigitacao::ehTeclaMorta(key) || key == Qt::Key_6 || key == Qt::Key_AsciiCircum
           || key == Qt::Key_BracketLeft || key == Qt::Key_BraceLeft
           || key == Qt::Key_Apostrophe || key == Qt::Key_QuoteDbl;
}

} // namespace

void TFDigitacao::teclaPressionada(int key, const QString& texto, Qt::KeyboardModifiers mods)
{
    if (locutor_) {
        locutor_->tecla();
        TimerFala->start();
    }
    txtLetraKeyDown(key, mods);
    sessao->tecla(key, texto);
}

bool TFDigitacao::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtLetra && event->type() == QEvent::InputMethodQuery) {
        // Declines input methods, so that dead keys come as key presses.
        auto* consulta = static_cast<QInputMethodQueryEvent*>(event);
        if (consulta->queries() & Qt::ImEnabled) consulta->setValue(Qt::ImEnabled, false);
        consulta->accept();
        return true;
    }
    if (teclaDaJanela(watched, event)) return true;
    return QDialog::eventFilter(watched, event);
}

// During a run every key typed in this window belongs to the lesson, whatever child was
// clicked last; outside a run the input field refuses keys and the buttons work as usual.
bool TFDigitacao::teclaDaJanela(QObject* watched, QEvent* event)
{
    const QEvent::Type tipo = event->type();
    if (tipo != QEvent::KeyPress && tipo != QEvent::KeyRelease && tipo != QEvent::InputMethod) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    if (!sessao->rodando()) return watched == txtLetra;
    if (tipo == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(event);
        ui::protegido(this, [&] { teclaPressionada(tecla->key(), tecla->text(), tecla->modifiers()); });
    } else if (tipo == QEvent::InputMethod) {
        // Should an input method commit a composed character after all, it is one keystroke.
        const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
        ui::protegido(this, [&] {
            for (QChar c : commit) txtLetraKeyPress(c);
        });
    }
    return true;
}

void TFDigitacao::atualizarTravas()
{
    const std::optional<plataforma::EstadoTravas> travas = plataforma::estadoTravas();
    sb1Panels[4]->setText(travas && travas->num ? QStringLiteral("Num") : QString());
    sb1Panels[5]->setText(travas && travas->caps ? QStringLiteral("Caps") : QString());
}

// ---- Line set-up -------------------------------------------------------------------------

void TFDigitacao::InserirTecla()
{
    linhaNova();
}

// The session set up a new line: the text, an empty copy, the cursor at the start.
void TFDigitacao::linhaNova()
{
    lblCopy1->clear();
    ajustarRotulo(lblCopy1);
    lblCursor->move(lblCopy1->x(), lblCursor->y());
    ui::colorir(lblCursor, QPalette::WindowText, ui::cores().cursor);

    Grid1->selectRow(sessao->estado().Linha - 1);
    lblTexto->setText(sessao->estado().LinhaAtual.left(sessao->estado().TamLinha));
    ajustarRotulo(lblTexto);
    if (TecladoLigado) AchaTecla(sessao->estado().TeclaProx);

    sb1Panels[0]->setText(QString::number(sessao->estado().Linha) + QLatin1Char(':')
                          + QString::number(sessao->linhas().size()));
    sb1Panels[1]->setText(QStringLiteral("1:") + QString::number(sessao->estado().TamLinha));
    ui::anunciarTexto(lblTexto, lblTexto->text(), 0);
    anunciarCopia(0);
    if (locutor_) {
        locutor_->linha(sessao->estado().Linha, int(sessao->linhas().size()), lblTexto->text().trimmed());
        TimerFala->start();
    }
}

// What a screen reader follows: the copy, its caret and the next key with its finger.
void TFDigitacao::anunciarCopia(int cursor)
{
    ui::anunciarTexto(txtLetra, lblCopy1->text(), cursor);
    txtLetra->setAccessibleDescription(texto("Próxima tecla: ") + proximaTecla());
}

QString TFDigitacao::caractereEsperado() const
{
    const QString c = sessao->estado().LinhaAtual.mid(sessao->estado().Coluna - 1, 1);
    return LicaoNumerica && c == QLatin1String(" ") ? QStringLiteral("\r") : c;
}

QString TFDigitacao::proximaTecla() const
{
    const QString c = caractereEsperado();
    if (c.isEmpty()) return QString();
    const int guia = (dm1->Abnt2Keyboard ? 2 : 0) + (LicaoNumerica ? 1 : 0);
    return QString::fromStdString(dominio::dedoDaTecla(paginas_[guia].desenho, c.toUcs4().at(0)));
}

// ---- Keystrokes --------------------------------------------------------------------------

void TFDigitacao::txtLetraKeyPress(QChar& Key)
{
    sessao->caractere(Key);
}

void TFDigitacao::acertou()
{
    mostrarCopia(false);
    sb1Panels[1]->setText(QString::number(sessao->estado().Coluna - 1) + QLatin1Char(':')
                          + QString::number(sessao->estado().TamLinha));
    if (TecladoLigado) AchaTecla(sessao->estado().TeclaProx);
    sb1Panels[2]->setText(QStringLiteral("Acertou"));
    sb1Panels[3]->clear();
}

void TFDigitacao::errou()
{
    tocarErro();
    sb1Panels[3]->setText(sessao->dica());
    mostrarCopia(true);
    sb1Panels[2]->setText(QStringLiteral("Errou"));
    if (locutor_) locutor_->errou(caractereEsperado());
    if (TecladoLigado) AchaTecla(sessao->estado().TeclaProx);  // the expected key is lit again
}

void TFDigitacao::txtLetraKeyDown(int Key, Qt::KeyboardModifiers Shift)
{
    Q_UNUSED(Shift);
    if (!TecladoLigado || !ehTeclaDeAcento(Key)) return;
    // The accent key of a two-keystroke character: the guide moves on to the second key;
    // a blank second key is the space bar.
    try {
        if (linhaAchada_ && TabTecla->active()
            && TabTecla->fieldByName(QStringLiteral("PROX")).asBoolean()) {
            const QString segunda = TabTecla->fieldByName(QStringLiteral("PROXL")).asString();
            AchaTecla(segunda.isEmpty() ? QStringLiteral(" ") : segunda);
        }
    } catch (...) {
        // The guide never stops the typing.
    }
}

void TFDigitacao::TimerCursorTimer() { lblCursor->setVisible(!lblCursor->isVisible()); }

// The copy on its label and the cursor right after it (black), or under the wrong
// character just typed (red).
void TFDigitacao::mostrarCopia(bool erro)
{
    const QString mostrada = sessao->copiaVisivel();
    lblCopy1->setText(mostrada);
    ajustarRotulo(lblCopy1);
    const QFontMetrics fm(lblCopy1->font());
    int x = lblCopy1->x() + fm.horizontalAdvance(mostrada);
    if (erro && !mostrada.isEmpty()) x -= fm.horizontalAdvance(mostrada.right(1));
    lblCursor->move(x, lblCursor->y());
    ui::colorir(lblCursor, QPalette::WindowText, erro ? ui::cores().cursorErro : ui::cores().cursor);
    anunciarCopia(int(mostrada.size()) - (erro && !mostrada.isEmpty() ? 1 : 0));
}

void TFDigitacao::tocarErro()
{
    if (!dm1->SoundOn) return;
    ++sonsDeErro;
    wave1->tocar();
}
