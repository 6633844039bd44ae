// Real keyboard input into the running practice window, as a person types on an ABNT2 or a
// US-International keyboard: xdotool under X11 (Xvfb), wtype under Wayland (a headless sway).
// Accents typed with dead keys, ç and capitals must each be one correct keystroke, and the copy,
// the counts and the guide lights after every key must be what the window makes of the same
// keys given to it directly, whichever display system brought them.
#include "MapaTecladoX.h"
#include "MundoPratica.h"
#include "TeclasReais.h"

#include "data/Data1.h"
#include "practice/Digitacao.h"
#include "ui/Mensagens.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <iterator>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace {

bool emWayland() { return QGuiApplication::platformName() == QLatin1String("wayland"); }

// Sends keysyms to the focused window (xdotool on X11, wtype on Wayland); the caller then
// waits for what they must change.
bool teclar(const QStringList& teclas)
{
    QStringList args;
    if (emWayland()) {
        // A pause first: the compositor may pass on the first key before the keymap wtype
        // brings, and the key is lost.
        args << QStringLiteral("-s") << QStringLiteral("150");
        for (const QString& t : teclas) {
            const QString texto = maiuscula(t);
            if (texto.isEmpty()) args << QStringLiteral("-k") << t;
            else args << texto;
            args << QStringLiteral("-s") << QStringLiteral("30");
        }
    } else {
        args << QStringLiteral("key") << QStringLiteral("--delay") << QStringLiteral("40");
        for (const QString& t : teclas) args << comShift(t);
    }
    QProcess p;
    p.start(emWayland() ? QStringLiteral("wtype") : QStringLiteral("xdotool"), args);
    if (!p.waitForStarted(5000)) return false;
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000)) return false;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The keys of both layouts that the X server's US map lacks, bound once before any typing
// (wtype brings its own keymap).
bool completarMapaX()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    MapaTecladoX mapa;
    if (!x11 || mapa_ler(&mapa, x11->connection())) return false;
    const xcb_keysym_t teclasDoLayout[] = {XKB_KEY_dead_acute, XKB_KEY_dead_grave, XKB_KEY_dead_tilde,
                                           XKB_KEY_dead_circumflex, XKB_KEY_dead_diaeresis, XKB_KEY_ccedilla};
    const int ligadas = mapa_completar(&mapa, teclasDoLayout, int(std::size(teclasDoLayout)));
    mapa_liberar(&mapa);
    QTest::qWait(300);  // the window system reads the new map
    return ligadas >= 0;
}

QStringList teclas(const char* lista) { return QString::fromLatin1(lista).split(QLatin1Char(' ')); }

// What the window shows after each key that is not a modifier is let go: the key lit and its
// Shift side, hits and errors, the copy.
class Rastro : public QObject {
public:
    explicit Rastro(TFDigitacao& w) : w_(w) { qApp->installEventFilter(this); }
    ~Rastro() override { qApp->removeEventFilter(this); }
    QStringList passos;

    bool eventFilter(QObject* alvo, QEvent* e) override
    {
        auto* widget = qobject_cast<QWidget*>(alvo);
        if (e->type() != QEvent::KeyRelease || !widget || widget->window() != &w_) return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_AltGr
            || key == Qt::Key_Meta)
            return false;
        passos << QStringLiteral("%1/%2 %3/%4 %5")
                      .arg(w_.TeclaAtual).arg(w_.LadoShift).arg(w_.sessao->estado().Acertos).arg(w_.sessao->estado().Erros)
                      .arg(w_.lblCopy1->text());
        return false;
    }

private:
    TFDigitacao& w_;
};

// A practice window in a run of a one-line lesson (then "fim"), guide shown.
class JanelaEmLicao {
public:
    JanelaEmLicao(bool abnt2, const QString& linha)
    {
        mundo_.dm->Abnt2Keyboard = abnt2;
        mundo_.aluno(QStringLiteral("ANA"), QString::fromUtf8("Básico"), 1, true);
        mundo_.licao(QString::fromUtf8("Básico"), 1, linha + QStringLiteral("\nfim"));
        ui::definirRespondedor([this](ui::TipoMensagem, const QString& t) { mensagens << t; return false; });
        w.show();
        w.activateWindow();
    }
    ~JanelaEmLicao() { ui::definirRespondedor({}); }
    bool iniciar()
    {
        // Wayland has no activation on request: the compositor gives a new window the keyboard.
        if (!QTest::qWaitFor([this] { return w.isActiveWindow(); })) return false;
        w.bIniciar->click();
        return w.txtLetra->hasFocus();
    }
    QStringList mensagens;

private:
    MundoPratica mundo_;

public:
    TFDigitacao w;
};

// The steps of the same keys given to the window directly, as key events.
QStringList passosDiretos(bool abnt2, const QString& linha, const QStringList& sequencia)
{
    JanelaEmLicao j(abnt2, linha);
    if (!j.iniciar()) return {QStringLiteral("a janela não ficou ativa")};
    Rastro rastro(j.w);
    for (const QString& nome : sequencia) {
        const EventoDaTecla t = eventoDaTecla(nome);
        for (QEvent::Type tipo : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(tipo, t.key, Qt::NoModifier, t.texto);
            QApplication::sendEvent(j.w.txtLetra, &e);
        }
    }
    return rastro.passos;
}

} // namespace

class TstTecladoReal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QByteArray sem = qgetenv("TARVEX_SEM_WAYLAND");
        if (!sem.isEmpty()) QSKIP(sem.constData());
        if (QGuiApplication::platformName() != QLatin1String("xcb") && !emWayland())
            QSKIP("needs an X server (xvfb-run, QT_QPA_PLATFORM=xcb) or a Wayland compositor (QT_QPA_PLATFORM=wayland)");
        if (!emWayland()) QVERIFY(completarMapaX());
    }

    void linhaComAcentos_data()
    {
        QTest::addColumn<bool>("abnt2");
        QTest::addColumn<QString>("linha");
        QTest::addColumn<QStringList>("sequencia");
        // ABNT2: ç has its own key; ´ ~ are dead keys, Shift+´ gives `, Shift+6 gives ¨.
        QTest::newRow("ABNT2") << true << QString::fromUtf8("Maçã à Úti ü")
                               << teclas("M a ccedilla dead_tilde a space dead_grave a space dead_acute U t i "
                                         "space dead_diaeresis u Return");
        // US-International: ' ` ~ " are dead keys; ' then c gives ç; ' then space gives '.
        QTest::newRow("EUA-Internacional") << false << QString::fromUtf8("Maçã à Úti ü 'o'")
                                           << teclas("M a dead_acute c dead_tilde a space dead_grave a space "
                                                     "dead_acute U t i space dead_diaeresis u space "
                                                     "dead_acute space o dead_acute space Return");
    }

    void linhaComAcentos()
    {
        QFETCH(bool, abnt2);
        QFETCH(QString, linha);
        QFETCH(QStringList, sequencia);

        JanelaEmLicao j(abnt2, linha);
        TFDigitacao& w = j.w;
        QVERIFY(j.iniciar());

        // The accent key alone: the guide moves to the letter's key, nothing is counted yet.
        const int mortaEm = sequencia.indexOf(QStringLiteral("dead_tilde"));
        QVERIFY(teclar(sequencia.mid(0, mortaEm)));
        QTRY_COMPARE(w.sessao->estado().Acertos, 3);
        QVERIFY(w.TeclaAtual != 26);  // the tilde's key
        QVERIFY(teclar({QStringLiteral("dead_tilde")}));
        QTRY_COMPARE(w.TeclaAtual, 26);  // the a key
        QCOMPARE(w.sessao->estado().Acertos, 3);

        QVERIFY(teclar(sequencia.mid(mortaEm + 1)));
        QTRY_COMPARE(w.sessao->estado().Linha, 2);
        QCOMPARE(w.sessao->estado().Erros, 0);
        QCOMPARE(w.sessao->estado().Acertos, linha.size() + 1);  // every character once, and Enter
        QCOMPARE(w.lblTexto->text(), QStringLiteral("fim"));
        QVERIFY2(j.mensagens.isEmpty(), qPrintable(j.mensagens.join(QLatin1Char('|'))));
    }

    // Every accented letter of the lessons, small and capital; each accent alone (dead key then
    // Space); a dead key before a letter it does not combine with (both are typed); a dead key
    // pressed twice (the first accent is typed, the second waits for the letter).
    void matrizDeAcentos_data()
    {
        QTest::addColumn<bool>("abnt2");
        QTest::addColumn<QString>("linha");
        QTest::addColumn<QStringList>("sequencia");
        const QString letras = QString::fromUtf8("á à â ã é ê í ó ô õ ú ü ç Á À Â Ã É Ê Í Ó Ô Õ Ú Ü Ç");
        const auto comEnter = [](QStringList t) { return t << QStringLiteral("Return"); };
        for (bool abnt2 : {true, false}) {
            const char* teclado = abnt2 ? "ABNT2" : "EUA-Internacional";
            const QString sinais = QString::fromUtf8(abnt2 ? "´ ` ~ ^ ¨" : "' ` ~ ^ \"");
            QTest::addRow("%s letras", teclado) << abnt2 << letras << comEnter(sequenciaDeTeclas(letras, abnt2));
            QTest::addRow("%s sinais", teclado) << abnt2 << sinais << comEnter(sequenciaDeTeclas(sinais, abnt2));
            QTest::addRow("%s sem letra", teclado)
                << abnt2 << QStringLiteral("~b ^k `x")
                << teclas("dead_tilde b space dead_circumflex k space dead_grave x Return");
            QTest::addRow("%s duas vezes", teclado)
                << abnt2 << (abnt2 ? QString::fromUtf8("´á ~~") : QString::fromUtf8("'á ~~"))
                << teclas("dead_acute dead_acute a space dead_tilde dead_tilde space Return");
        }
    }

    void matrizDeAcentos()
    {
        QFETCH(bool, abnt2);
        QFETCH(QString, linha);
        QFETCH(QStringList, sequencia);
        const QStringList esperados = passosDiretos(abnt2, linha, sequencia);

        JanelaEmLicao j(abnt2, linha);
        QVERIFY(j.iniciar());
        Rastro rastro(j.w);
        QVERIFY(teclar(sequencia));
        QTRY_COMPARE(rastro.passos.size(), esperados.size());
        QCOMPARE(rastro.passos, esperados);
        QCOMPARE(j.w.sessao->estado().Erros, 0);
        QCOMPARE(j.w.sessao->estado().Acertos, linha.size() + 1);  // every character once, and Enter
        QCOMPARE(j.w.lblTexto->text(), QStringLiteral("fim"));
        QVERIFY2(j.mensagens.isEmpty(), qPrintable(j.mensagens.join(QLatin1Char('|'))));
    }

    // The program's other text fields (a student's name, a lesson's text) take composed
    // characters from the system's input context, as any text field does.
    void campoDeTextoCompoe_data()
    {
        QTest::addColumn<QStringList>("sequencia");
        QTest::addColumn<QString>("texto");
        QTest::newRow("agudo") << teclas("J O S dead_acute E") << QString::fromUtf8("JOSÉ");
        QTest::newRow("til e circunflexo") << teclas("dead_tilde a dead_circumflex o") << QString::fromUtf8("ãô");
        QTest::newRow("cedilha") << teclas("ccedilla Ccedilla") << QString::fromUtf8("çÇ");
    }

    void campoDeTextoCompoe()
    {
        QFETCH(QStringList, sequencia);
        QFETCH(QString, texto);
        QLineEdit campo;
        campo.show();
        campo.activateWindow();
        QVERIFY(QTest::qWaitFor([&] { return campo.hasFocus(); }));
        QVERIFY(teclar(sequencia));
        QTRY_COMPARE(campo.text(), texto);
    }

    // The Caps and Num panels follow the keyboard's lock lights, typed or not.
    void travas()
    {
        if (emWayland()) QSKIP("wtype does not turn the keyboard's locks on (see travasNoWayland)");
        MundoPratica mundo;
        mundo.aluno(QStringLiteral("ANA"), QString::fromUtf8("Básico"), 1, false);
        mundo.licao(QString::fromUtf8("Básico"), 1, QStringLiteral("abc"));
        TFDigitacao w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_COMPARE(w.sb1Panels[5]->text(), QString());
        QVERIFY(teclar({QStringLiteral("Caps_Lock")}));
        QTRY_COMPARE(w.sb1Panels[5]->text(), QStringLiteral("Caps"));
        QVERIFY(teclar({QStringLiteral("Num_Lock")}));
        QTRY_COMPARE(w.sb1Panels[4]->text(), QStringLiteral("Num"));
        QVERIFY(teclar({QStringLiteral("Caps_Lock"), QStringLiteral("Num_Lock")}));
        QTRY_COMPARE(w.sb1Panels[5]->text(), QString());
        QTRY_COMPARE(w.sb1Panels[4]->text(), QString());
    }

    // Under Wayland the Caps panel follows the locked modifiers the compositor sends with the
    // keys, during a run too; wtype can only hold Caps Lock as a modifier.
    void travasNoWayland()
    {
        if (!emWayland()) QSKIP("Wayland only");
        JanelaEmLicao j(false, QStringLiteral("abcdef"));
        QVERIFY(j.iniciar());
        QProcess wtype;
        wtype.start(QStringLiteral("wtype"), QString::fromLatin1("-s 300 -M capslock -k a -s 1500 -m capslock -k b").split(QLatin1Char(' ')));
        QTRY_COMPARE(j.w.sb1Panels[5]->text(), QStringLiteral("Caps"));
        QTRY_COMPARE(j.w.sb1Panels[5]->text(), QString());
        QTRY_COMPARE(wtype.state(), QProcess::NotRunning);
        QCOMPARE(wtype.exitCode(), 0);
    }
};

QTEST_MAIN(TstTecladoReal)
#include "tst_teclado_real.moc"
