// Real X keyboard input into the running practice window: xdotool types a lesson line with
// dead-key accents, ç and capitals, as a person does on an ABNT2 or a US-International
// keyboard, and the counters must show every character as one correct keystroke.
// Runs under Xvfb (xcb platform) only.
#include "MundoPratica.h"

#include "data/Data1.h"
#include "practice/Digitacao.h"
#include "ui/Mensagens.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {

// Sends keysyms to the focused window; the caller then waits for what they must change.
bool xdotool(const QStringList& teclas)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                                                   QStringLiteral("40")} + teclas);
    if (!p.waitForStarted(5000)) return false;
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000)) return false;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QStringList teclas(const char* lista) { return QString::fromLatin1(lista).split(QLatin1Char(' ')); }

} // namespace

class TstTecladoReal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
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

        MundoPratica mundo;
        mundo.dm->Abnt2Keyboard = abnt2;
        mundo.aluno(QStringLiteral("ANA"), QString::fromUtf8("Básico"), 1, true);
        mundo.licao(QString::fromUtf8("Básico"), 1, linha + QStringLiteral("\nfim"));
        QStringList erros;
        ui::definirRespondedor([&](ui::TipoMensagem, const QString& t) { erros << t; return false; });

        TFDigitacao w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.bIniciar->click();
        QVERIFY(w.txtLetra->hasFocus());

        // The accent key alone: the guide moves to the letter's key, nothing is counted yet.
        const int mortaEm = sequencia.indexOf(QStringLiteral("dead_tilde"));
        QVERIFY(xdotool(sequencia.mid(0, mortaEm)));
        QTRY_COMPARE(w.sessao->Acertos, 3);
        QVERIFY(w.TeclaAtual != 26);  // the tilde's key
        QVERIFY(xdotool({QStringLiteral("dead_tilde")}));
        QTRY_COMPARE(w.TeclaAtual, 26);  // the a key
        QCOMPARE(w.sessao->Acertos, 3);

        QVERIFY(xdotool(sequencia.mid(mortaEm + 1)));
        QTRY_COMPARE(w.sessao->Linha, 2);
        QCOMPARE(w.sessao->Erros, 0);
        QCOMPARE(w.sessao->Acertos, linha.size() + 1);  // every character once, and Enter
        QCOMPARE(w.sessao->Linha, 2);
        QCOMPARE(w.lblTexto->text(), QStringLiteral("fim"));
        QVERIFY2(erros.isEmpty(), qPrintable(erros.join(QLatin1Char('|'))));
        ui::definirRespondedor({});
    }

    // The Caps and Num panels follow the keyboard's lock lights, typed or not.
    void travas()
    {
        MundoPratica mundo;
        mundo.aluno(QStringLiteral("ANA"), QString::fromUtf8("Básico"), 1, false);
        mundo.licao(QString::fromUtf8("Básico"), 1, QStringLiteral("abc"));
        TFDigitacao w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_COMPARE(w.sb1Panels[5]->text(), QString());
        QVERIFY(xdotool({QStringLiteral("Caps_Lock")}));
        QTRY_COMPARE(w.sb1Panels[5]->text(), QStringLiteral("Caps"));
        QVERIFY(xdotool({QStringLiteral("Num_Lock")}));
        QTRY_COMPARE(w.sb1Panels[4]->text(), QStringLiteral("Num"));
        QVERIFY(xdotool({QStringLiteral("Caps_Lock"), QStringLiteral("Num_Lock")}));
        QTRY_COMPARE(w.sb1Panels[5]->text(), QString());
        QTRY_COMPARE(w.sb1Panels[4]->text(), QString());
    }
};

QTEST_MAIN(TstTecladoReal)
#include "tst_teclado_real.moc"
