// The practice window: lesson set-up, keystroke evaluation, keyboard guide and clock.
#include "Acessivel.h"
#include "MundoPratica.h"
#include "VozGravada.h"

#include "data/Data1.h"
#include "platform/Ajuda.h"
#include "platform/Voz.h"
#include "domain/AjudasAluno.h"
#include "practice/SessaoDigitacao.h"
#include "practice/Digitacao.h"
#include "students/Selec.h"
#include "ui/Mensagens.h"
#include "ui/TSpinEdit.h"
#include "ui/TStatusBar.h"
#include "ui/Fontes.h"

#include "TravaAlheia.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QFile>
#include <QDir>
#include <QtTest>
#include <memory>

namespace {

const QColor kPrata(192, 192, 192);
const QColor kAqua(0, 255, 255);
const QColor kVermelho(255, 0, 0);
const QColor kCursorDoErro(200, 0, 0);  // a red that reads on the yellow of the copy
const QColor kLima(0, 255, 0);
const QColor kAmarelo(255, 255, 0);
const QString kBasico = QString::fromUtf8("Básico");
const QString kNumerico = QString::fromUtf8("Numérico");

void tecla(TFDigitacao& w, int key, const QString& texto, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    teclar(w.txtLetra, key, texto, mods);
}

// Types text as key presses ("\r" is Enter, "\b" Backspace).
void digitar(TFDigitacao& w, const QString& s)
{
    for (QChar c : s) {
        int key = c.toUpper().unicode();
        if (c == QLatin1Char('\r')) key = Qt::Key_Return;
        else if (c == QLatin1Char('\b')) key = Qt::Key_Backspace;
        tecla(w, key, QString(c), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

QString painel(TFDigitacao& w, int i) { return w.sb1Panels[i]->text(); }

} // namespace

class TstPratica : public QObject {
    Q_OBJECT

    std::unique_ptr<MundoPratica> mundo;
    std::unique_ptr<TFDigitacao> janela;
    QStringList perguntas;
    QStringList erros;
    bool resposta = false;

    // A student of the type, with one lesson (the text) in both lesson tables.
    TFDigitacao& abrir(const QString& tipo, const QString& texto, bool teclado = true, bool abnt2 = false,
                       int licaoAluno = 1)
    {
        mundo->dm->Abnt2Keyboard = abnt2;
        mundo->aluno(QStringLiteral("ANA"), tipo, licaoAluno, teclado);
        mundo->licao(tipo, 1, texto);
        janela = std::make_unique<TFDigitacao>();
        janela->show();
        return *janela;
    }

private slots:
    void init()
    {
        mundo = std::make_unique<MundoPratica>();
        perguntas.clear();
        erros.clear();
        resposta = false;
        ui::definirRespondedor([this](ui::TipoMensagem tipo, const QString& texto) {
            if (tipo == ui::TipoMensagem::Pergunta) perguntas << texto;
            else erros << texto;
            return resposta;
        });
    }

    void cleanup()
    {
        janela.reset();
        mundo.reset();
        ui::definirRespondedor({});
        QVERIFY2(erros.isEmpty(), qPrintable(erros.join(QLatin1Char('|'))));
    }

    // The four-character line "ab c", with one wrong keystroke on the way.
    void linhaCompleta()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("ab c\nde"));
        w.bIniciar->click();
        QCOMPARE(painel(w, 0), QStringLiteral("1:2"));
        QCOMPARE(painel(w, 1), QStringLiteral("1:4"));
        QCOMPARE(w.sessao->estado().TeclaProx, QStringLiteral("a"));
        QCOMPARE(w.TeclaAtual, 26);  // the guide was asked for a

        digitar(w, QStringLiteral("a"));
        QCOMPARE(painel(w, 2), QStringLiteral("Acertou"));
        QCOMPARE(painel(w, 1), QStringLiteral("1:4"));
        digitar(w, QStringLiteral("x"));
        QCOMPARE(painel(w, 2), QStringLiteral("Errou"));
        QCOMPARE(painel(w, 3), QStringLiteral("Digite: b"));
        QCOMPARE(w.sessao->estado().Erros, 1);
        digitar(w, QStringLiteral("b"));
        QCOMPARE(w.lblCopy1->text(), QStringLiteral("ab"));
        QCOMPARE(painel(w, 1), QStringLiteral("2:4"));
        QCOMPARE(painel(w, 3), QString());
        digitar(w, QStringLiteral(" "));
        QCOMPARE(painel(w, 1), QStringLiteral("3:4"));
        digitar(w, QStringLiteral("c"));
        QCOMPARE(painel(w, 1), QStringLiteral("4:4"));
        QCOMPARE(w.sessao->estado().TeclaProx, QStringLiteral("aa"));
        for (int i = 0; i < 3; ++i) QCOMPARE(w.corTecla(0, 48, i), kLima);
        QCOMPARE(w.sessao->estado().Linha, 1);
        digitar(w, QStringLiteral("\r"));
        QCOMPARE(w.sessao->estado().Linha, 2);
        QCOMPARE(w.lblTexto->text(), QStringLiteral("de"));
        QCOMPARE(w.lblCopy1->text(), QString());
        QCOMPARE(painel(w, 0), QStringLiteral("2:2"));
        QCOMPARE(w.sessao->estado().Acertos, 5);
        QCOMPARE(w.sessao->estado().Erros, 1);
        QCOMPARE(w.corTecla(0, 48, 0), kPrata);  // Enter went back to silver
    }

    void erroMostradoUmaVez()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("abc"));
        w.bIniciar->click();
        const int inicio = w.lblCursor->x();
        digitar(w, QStringLiteral("x"));
        QCOMPARE(w.lblCopy1->text(), QStringLiteral("x"));
        QCOMPARE(w.lblCursor->palette().color(QPalette::WindowText), kCursorDoErro);
        QCOMPARE(w.lblCursor->x(), inicio);  // under the wrong character
        QCOMPARE(painel(w, 3), QStringLiteral("Digite: a"));
        digitar(w, QStringLiteral("y"));  // only the second wrong character stays
        QCOMPARE(w.lblCopy1->text(), QStringLiteral("y"));
        QCOMPARE(w.sessao->estado().Erros, 2);
        QCOMPARE(w.sonsDeErro, 0);  // sound off: errors are silent
        mundo->dm->SoundOn = true;
        digitar(w, QStringLiteral("z"));
        QCOMPARE(w.sonsDeErro, 1);
        QCOMPARE(w.sessao->estado().Erros, 3);
        digitar(w, QStringLiteral("a"));
        QCOMPARE(w.lblCopy1->text(), QStringLiteral("a"));
        QCOMPARE(w.lblCursor->palette().color(QPalette::WindowText), QColor(Qt::black));
        QVERIFY(w.lblCursor->x() > inicio);
        QCOMPARE(w.sessao->estado().Coluna, 2);
    }

    void fimDaLicao()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("ab"));
        w.bIniciar->click();
        digitar(w, QStringLiteral("ab\r"));
        // Back to Ready: stopped, displays blank, and the next start loads again from zero.
        QVERIFY(w.Recarregar);
        QVERIFY(!w.Timer1->isActive());
        QVERIFY(w.bIniciar->isEnabled());
        QVERIFY(!w.txtLetra->isEnabled());
        QCOMPARE(w.lblTexto->text(), QString());
        QCOMPARE(w.lLicao->text(), QString());
        QCOMPARE(w.corTecla(0, 48, 0), kPrata);
        w.bIniciar->click();
        QCOMPARE(w.sessao->estado().Acertos, 0);
        QCOMPARE(w.sessao->estado().Linha, 1);
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.lblTexto->text(), QStringLiteral("ab"));
    }

    void licaoSemTexto()
    {
        TFDigitacao& w = abrir(kBasico, QString());
        w.bIniciar->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);  // the end, queued
        QVERIFY(w.Recarregar);
        QVERIFY(!w.Timer1->isActive());
        QVERIFY(w.bIniciar->isEnabled());
    }

    void pausaERetomada()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("abcd"));
        w.bIniciar->click();
        digitar(w, QStringLiteral("ax"));
        w.bPausar->click();
        QVERIFY(!w.Timer1->isActive());
        QVERIFY(w.lblTexto->isHidden());
        QVERIFY(w.lblCopy1->isHidden());
        QVERIFY(!w.txtLetra->isEnabled());
        QCOMPARE(w.corTecla(0, 41, 0), kPrata);  // the lit key (b) went silver
        digitar(w, QStringLiteral("b"));  // refused while paused
        QCOMPARE(w.sessao->estado().Acertos, 1);
        w.bIniciar->click();
        QVERIFY(w.Timer1->isActive());
        QVERIFY(!w.lblTexto->isHidden());
        QCOMPARE(w.sessao->estado().Coluna, 2);
        QCOMPARE(w.sessao->estado().Erros, 1);
        QCOMPARE(w.corTecla(0, 41, 0), kAqua);  // b lit again
        digitar(w, QStringLiteral("b"));
        QCOMPARE(w.lblCopy1->text(), QStringLiteral("ab"));
    }

    void abandono()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("abcd"));
        w.bIniciar->click();
        resposta = false;
        w.fcShapeBtn4->click();
        QCOMPARE(perguntas, QStringList{QString::fromUtf8(
                                "Você não concluiu a lição. Deseja realmente abandonar a lição?")});
        QVERIFY(w.isVisible());
        QVERIFY(w.Timer1->isActive());
        // Paused: closes without asking, and keeps the guide choice.
        w.bPausar->click();
        w.bTecladoClick();
        QCOMPARE(w.Notebook2->currentWidget()->objectName(), QStringLiteral("PLicao"));
        w.fcShapeBtn4->click();
        QCOMPARE(perguntas.size(), 1);
        QVERIFY(!w.isVisible());
        QVERIFY(!mundo->dm->TabAluno->fieldByName(QStringLiteral("Teclado")).asBoolean());
        QVERIFY(!mundo->dm->TabLicao->active());
    }

    // Another computer posting to the students table while the window closes.
    void escolhaDoTecladoNaoGravadaSoltaOAluno()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("abcd"));
        w.bTecladoClick();
        {
            const TravaAlheia outroComputador((mundo->pasta() + QStringLiteral("/Usuario.dbf")).toStdString());
            w.fcShapeBtn4->click();
        }
        QVERIFY(!w.isVisible());
        const QStringList ditos = erros;
        erros.clear();
        QCOMPARE(mundo->dm->TabAluno->state(), TApTable::State::Browse);
        xbase::Table outro;  // the student's record is free for the other computers
        outro.open(mundo->pasta().toStdString(), "Usuario.dbf");
        outro.edit();
        outro.cancel();
        QCOMPARE(ditos.size(), 1);
        QVERIFY2(ditos.first().startsWith(QStringLiteral("A escolha do teclado não pôde ser guardada: Usuario.dbf")),
                 qPrintable(ditos.first()));
    }

    void perguntaDoAbandonoNaoContaNoRelogio()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("abcd"));
        w.bIniciar->click();
        const int antes = w.sessao->estado().Segundos;
        ui::definirRespondedor([this](ui::TipoMensagem, const QString& texto) {
            perguntas << texto;
            QTest::qWait(1300);  // the clock ticks every second
            return false;
        });
        w.fcShapeBtn4->click();
        QCOMPARE(perguntas.size(), 1);
        QCOMPARE(w.sessao->estado().Segundos, antes);
        QVERIFY(w.Timer1->isActive());
    }

    // A drill chosen from "Pesquisar" while a lesson is paused.
    void treinoNaPausaPerguntaPeloAbandono_data()
    {
        QTest::addColumn<bool>("sim");
        QTest::newRow("Sim") << true;
        QTest::newRow("Não") << false;
    }

    void treinoNaPausaPerguntaPeloAbandono()
    {
        QFETCH(bool, sim);
        TFDigitacao& w = abrir(kBasico, QStringLiteral("abcd"));
        w.bIniciar->click();
        digitar(w, QStringLiteral("a"));
        w.bPausar->click();
        resposta = sim;
        QCOMPARE(w.treinarTeclas(U"a"), sim);
        QCOMPARE(perguntas, QStringList{QString::fromUtf8(
                                "Você não concluiu a lição. Deseja realmente abandonar a lição?")});
        QCOMPARE(w.Recarregar, sim);
        if (sim) return;
        w.bIniciar->click();  // the paused lesson goes on
        QCOMPARE(w.sessao->estado().Acertos, 1);
    }

    void abandonoSim()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("abcd"));
        w.bIniciar->click();
        resposta = true;
        w.fcShapeBtn4->click();
        QCOMPARE(perguntas.size(), 1);
        QVERIFY(!w.isVisible());
    }

    void escolhaDaLicao()
    {
        mundo->licao(kBasico, 2, QStringLiteral("segunda"));
        mundo->licao(kBasico, 3, QString(70 / 5, QLatin1Char(' ')).replace(QLatin1Char(' '), QStringLiteral("abcd ")));
        FSelec = new TFSelec;
        QStringList textos;
        QTimer::singleShot(0, this, [&] {
            textos << QString::number(FSelec->se1->maxValue()) << QString::number(FSelec->se1->value())
                   << FSelec->sb2->textoPainel(0) << FSelec->sb2->textoPainel(1);
            FSelec->se1->setValue(3);
            FSelec->close();  // the close box hands back the number shown too
        });
        TFDigitacao& w = abrir(kBasico, QStringLiteral("primeira"), true, false, 7);
        w.bIniciar->click();
        QCOMPARE(textos, (QStringList{"7", "7", QString::fromUtf8("Lição permitada até: 7"),
                                      QString::fromUtf8("Total de lições: 3")}));
        QCOMPARE(w.sessao->estado().NumLicao, 3);
        QCOMPARE(w.lLicao->text(), QString::fromUtf8("Lição: 3"));
        // A 70-character paragraph is typed as two lines, none longer than 61.
        QCOMPARE(w.Grid1->rowCount(), 2);
        QVERIFY(!w.Grid1->isHidden());
        QCOMPARE(w.Grid1->item(1, 0)->text(), QStringLiteral("2"));
        QVERIFY(w.lblTexto->text().size() <= 61);
        QCOMPARE(w.lblTexto->text() + QLatin1Char(' ') + w.Grid1->item(1, 1)->text(),
                 QString(70 / 5, QLatin1Char(' ')).replace(QLatin1Char(' '), QStringLiteral("abcd ")).trimmed());
        delete FSelec;
        FSelec = nullptr;
    }

    // The lessons are read as values: the lesson table another window holds (the editor,
    // filtered to another type) keeps its cursor and filter while the practice reads its own.
    void licaoLidaSemMoverATabelaDeLicoes()
    {
        mundo->licao(kBasico, 2, QStringLiteral("xyz"));
        mundo->licao(QStringLiteral("Textos"), 1, QStringLiteral("outra"));
        TApTable* outraJanela = mundo->dm->TabLicao;
        outraJanela->setDatabaseName(mundo->pasta());
        outraJanela->setTableName(QStringLiteral("LicaoA.dbf"));
        outraJanela->open();
        const QString filtro = QStringLiteral("Tipo = \"Textos\"");
        outraJanela->setFilter(filtro);
        FSelec = new TFSelec;
        QString total;
        QTimer::singleShot(0, this, [&] {
            total = FSelec->sb2->textoPainel(1);
            FSelec->se1->setValue(2);
            FSelec->close();
        });
        TFDigitacao& w = abrir(kBasico, QStringLiteral("primeira"), true, false, 2);
        w.bIniciar->click();
        QCOMPARE(total, QString::fromUtf8("Total de lições: 2"));
        QCOMPARE(w.sessao->linhas(), QStringList{QStringLiteral("xyz")});
        digitar(w, QStringLiteral("xyz\r"));
        QCOMPARE(mundo->dm->TabRelat->recordCount(), 1);
        QVERIFY(outraJanela->active());
        QCOMPARE(outraJanela->filter(), filtro);
        QCOMPARE(outraJanela->fieldByName(QStringLiteral("Texto")).asString(), QStringLiteral("outra"));
        outraJanela->close();
        delete FSelec;
        FSelec = nullptr;
    }

    void codigosDeTeclado_data()
    {
        QTest::addColumn<bool>("abnt2");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<bool>("teclado");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("pagina");
        QTest::addColumn<QString>("tabela");
        QTest::newRow("EUA") << false << kBasico << true << 1 << "EUA" << "TecladoA.dbf";
        QTest::newRow("EUAn") << false << kNumerico << true << 4 << "EUAn" << "TecladoN.dbf";
        QTest::newRow("ABNT2") << true << kBasico << true << 6 << "ABNT2" << "TecladoB.dbf";
        QTest::newRow("ABNT2n") << true << kNumerico << true << 9 << "ABNT2n" << "TecladoN.dbf";
        QTest::newRow("oculto 0") << false << kBasico << false << 0 << "PLicao" << "";
        QTest::newRow("oculto 3") << false << kNumerico << false << 3 << "PLicao" << "";
        QTest::newRow("oculto 5") << true << kBasico << false << 5 << "PLicao" << "";
        QTest::newRow("oculto 8") << true << kNumerico << false << 8 << "PLicao" << "";
    }

    void codigosDeTeclado()
    {
        QFETCH(bool, abnt2);
        QFETCH(QString, tipo);
        QFETCH(bool, teclado);
        QFETCH(QString, tabela);
        TFDigitacao& w = abrir(tipo, QStringLiteral("12 3"), teclado, abnt2);
        QTEST(w.CodigoTeclado, "codigo");
        QTEST(w.Notebook2->currentWidget()->objectName(), "pagina");
        QCOMPARE(w.TabTecla->active(), !tabela.isEmpty());
        if (!tabela.isEmpty()) QCOMPARE(w.TabTecla->tableName(), tabela);
        QCOMPARE(!w.Image4->pixmap().isNull(), w.CodigoTeclado == 4);
        QCOMPARE(!w.Image1->pixmap().isNull(), w.CodigoTeclado == 9);
        w.bIniciar->click();
        digitar(w, QStringLiteral("1"));
        QCOMPARE(w.TeclaAtual, teclado ? (tipo == kNumerico ? 8 : 3) : 0);
    }

    void shiftDosLados()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("x"));
        w.AchaTecla(QStringLiteral("J"));  // right hand: left Shift
        QCOMPARE(w.corTecla(0, TFDigitacao::kShiftEsq), kLima);
        QCOMPARE(w.corTecla(0, TFDigitacao::kShiftDir), kPrata);
        QCOMPARE(w.corTecla(0, 32), kAqua);
        w.AchaTecla(QStringLiteral("a"));
        QCOMPARE(w.corTecla(0, TFDigitacao::kShiftEsq), kPrata);
        QCOMPARE(w.corTecla(0, 32), kPrata);
        w.AchaTecla(QStringLiteral("A"));  // left hand: right Shift
        QCOMPARE(w.corTecla(0, TFDigitacao::kShiftDir), kLima);
        QCOMPARE(w.corTecla(0, 26), kLima);
    }

    void teclaZeroEmDuasMetades()
    {
        TFDigitacao& w = abrir(kNumerico, QStringLiteral("0"));
        QCOMPARE(w.paineisDaTecla(1, 6), 2);
        w.AchaTecla(QStringLiteral("0"));
        QCOMPARE(w.corTecla(1, 6, 0), kAqua);
        QCOMPARE(w.corTecla(1, 6, 1), kVermelho);
        w.AchaTecla(QStringLiteral("1"));
        QCOMPARE(w.corTecla(1, 6, 0), kPrata);
        QCOMPARE(w.corTecla(1, 6, 1), kPrata);
        QCOMPARE(w.corTecla(1, 7), kAqua);
    }

    // A character without a row in the map lights nothing, not the row the table stood on.
    void caractereSemLinha()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("x"));
        w.AchaTecla(QStringLiteral("a"));
        QCOMPARE(w.corTecla(0, 26), kLima);
        w.AchaTecla(QString::fromUtf8("§"));
        QCOMPARE(w.TeclaAtual, 0);
        QCOMPARE(w.corTecla(0, 26), kPrata);
        for (int k = 1; k <= 48; ++k) QCOMPARE(w.corTecla(0, k), kPrata);
        // The accent key then has no row to follow either (the table still stands on the
        // row of the accented letter).
        w.AchaTecla(QString::fromUtf8("á"));
        w.AchaTecla(QString::fromUtf8("§"));
        w.txtLetraKeyDown(Qt::Key_Dead_Acute, Qt::NoModifier);
        QCOMPARE(w.TeclaAtual, 0);
        QCOMPARE(w.corTecla(0, 26), kPrata);
    }

    // On every drawing each panel belongs to one finger button, which lights it in the
    // colour the guide gives the key, and that colour is the finger's.
    void coresDosDedos_data()
    {
        QTest::addColumn<bool>("abnt2");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<int>("pagina");
        QTest::newRow("EUA") << false << kBasico << 0;
        QTest::newRow("EUAn") << false << kNumerico << 1;
        QTest::newRow("ABNT2") << true << kBasico << 2;
        QTest::newRow("ABNT2n") << true << kNumerico << 3;
    }

    void coresDosDedos()
    {
        QFETCH(bool, abnt2);
        QFETCH(QString, tipo);
        QFETCH(int, pagina);
        TFDigitacao& w = abrir(tipo, QStringLiteral("1"), true, abnt2);
        const QVector<QVector<QPushButton*>> botoes = {{w.ba1, w.ba2, w.ba3, w.ba4, w.ba5},
                                                       {w.bd1, w.bd2, w.bced3, w.bd4},
                                                       {w.bp1, w.bp2, w.bp3, w.bp4, w.bp5},
                                                       {w.bc1, w.bc2, w.bc3, w.bc4}};
        const bool numerico = pagina == 1 || pagina == 3;
        QHash<QPair<int, int>, QColor> corDoPainel;
        int paineis = 0;
        for (int tecla = -7; tecla <= 60; ++tecla) paineis += w.paineisDaTecla(pagina, tecla);
        QVERIFY(paineis >= 18);
        for (int b = 0; b < botoes[pagina].size(); ++b) {
            const QColor cor = TFDigitacao::corDoDedo(dominio::Dedo(numerico ? b + 1 : b));
            botoes[pagina][b]->click();
            for (int tecla = -7; tecla <= 60; ++tecla)
                for (int i = 0; i < w.paineisDaTecla(pagina, tecla); ++i) {
                    if (w.corTecla(pagina, tecla, i) == kPrata) continue;
                    QCOMPARE(w.corTecla(pagina, tecla, i), cor);
                    QVERIFY(!corDoPainel.contains({tecla, i}));
                    corDoPainel.insert({tecla, i}, cor);
                }
            botoes[pagina][b]->click();
        }
        QCOMPARE(corDoPainel.size(), paineis);
        // The guide lights each key in the same colours.
        void (TFDigitacao::*acha[])() = {&TFDigitacao::Acha1, &TFDigitacao::Acha2, &TFDigitacao::Acha3,
                                         &TFDigitacao::Acha4};
        for (int tecla = 1; tecla <= 60; ++tecla) {
            w.TeclaAtual = tecla;
            w.LadoShift = 0;
            (w.*acha[pagina])();
            for (int i = 0; i < w.paineisDaTecla(pagina, tecla); ++i)
                QCOMPARE(w.corTecla(pagina, tecla, i), corDoPainel.value({tecla, i}));
        }
    }

    void botoesDosDedos()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("abc"));
        w.ba2->click();
        for (int k : {5, 8, 17, 32, 43}) QCOMPARE(w.corTecla(0, k), kAqua);
        w.ba5->click();
        QCOMPARE(w.corTecla(0, TFDigitacao::kBackspace), kLima);
        QCOMPARE(w.corTecla(0, 48, 2), kLima);
        w.ba2->click();
        for (int k : {5, 8, 17, 32, 43}) QCOMPARE(w.corTecla(0, k), kPrata);
        QCOMPARE(w.corTecla(0, 1), kLima);  // the little-finger group stays lit
        w.bIniciar->click();                // Iniciar clears it
        QCOMPARE(w.corTecla(0, 1), kPrata);
        w.ba2->click();                     // locked during a run
        QCOMPARE(w.corTecla(0, 5), kPrata);
    }

    void botoesLimposPorIniciar_data()
    {
        QTest::addColumn<bool>("abnt2");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<int>("pagina");
        QTest::addColumn<int>("tecla");
        QTest::newRow("EUA") << false << kBasico << 0 << 3;
        QTest::newRow("EUAn") << false << kNumerico << 1 << 1;
        QTest::newRow("ABNT2") << true << kBasico << 2 << 3;
        QTest::newRow("ABNT2n") << true << kNumerico << 3 << 1;
    }

    void botoesLimposPorIniciar()
    {
        QFETCH(bool, abnt2);
        QFETCH(QString, tipo);
        QFETCH(int, pagina);
        QFETCH(int, tecla);
        TFDigitacao& w = abrir(tipo, QStringLiteral("7"), true, abnt2);
        QPushButton* anular[] = {w.ba4, w.bced3, w.bp4, w.bc3};
        anular[pagina]->click();
        QCOMPARE(w.corTecla(pagina, tecla), kAmarelo);
        w.bIniciar->click();
        QCOMPARE(w.corTecla(pagina, tecla), kPrata);
    }

    // The accent key lights the letter's key; the accented letter is one keystroke.
    void teclaMortaNoGuia()
    {
        TFDigitacao& w = abrir(kBasico, QString::fromUtf8("áb"), true, true);
        w.bIniciar->click();
        QCOMPARE(w.TeclaAtual, 24);  // the accent key
        tecla(w, Qt::Key_Dead_Acute, QString());
        QCOMPARE(w.TeclaAtual, 26);  // now a
        QCOMPARE(w.corTecla(2, 26), kLima);
        QCOMPARE(w.corTecla(2, 24), kPrata);
        QCOMPARE(w.sessao->estado().Acertos + w.sessao->estado().Erros, 0);
        tecla(w, Qt::Key_A, QStringLiteral("a"));
        QCOMPARE(w.sessao->estado().Acertos, 1);
        QCOMPARE(w.sessao->estado().Erros, 0);
        QCOMPARE(w.lblCopy1->text(), QString::fromUtf8("á"));
        QCOMPARE(w.TeclaAtual, 43);  // b
    }

    // During a run every key belongs to the lesson, whatever button was clicked before: real
    // key events go to whatever widget has the focus, and Space never presses a button.
    void teclasDepoisDosBotoes_data()
    {
        QTest::addColumn<QString>("botao");
        QTest::newRow("Sair, Não") << "Sair";
        QTest::newRow("Ajuda") << "Ajuda";
        QTest::newRow("Pausar, Iniciar") << "Pausar";
    }

    void teclasDepoisDosBotoes()
    {
        QFETCH(QString, botao);
        QDir(mundo->pasta()).mkdir(QStringLiteral("ajuda"));
        QFile topico(mundo->pasta() + QStringLiteral("/ajuda/6.html"));
        QVERIFY(topico.open(QIODevice::WriteOnly));
        topico.write("<p>Pr\xc3\xa1tica</p>");
        topico.close();
        plataforma::definirPastaAjuda(mundo->pasta() + QStringLiteral("/ajuda"));

        TFDigitacao& w = abrir(kBasico, QStringLiteral("ab cd"));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::mouseClick(w.bIniciar, Qt::LeftButton);
        if (botao == QLatin1String("Sair")) {
            QTest::mouseClick(w.fcShapeBtn4, Qt::LeftButton);
            QCOMPARE(perguntas.size(), 1);
        } else if (botao == QLatin1String("Ajuda")) {
            QTest::mouseClick(w.fcShapeBtn5, Qt::LeftButton);
            QVERIFY(plataforma::janelaAjuda());
            plataforma::janelaAjuda()->close();
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
        } else {
            QTest::mouseClick(w.bPausar, Qt::LeftButton);
            QTest::mouseClick(w.bIniciar, Qt::LeftButton);
        }
        QWidget* foco = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
        QTest::keyClicks(foco, QStringLiteral("ab "));
        QCOMPARE(w.sessao->estado().Acertos, 3);
        // A button that holds the focus gives its keys to the lesson too.
        w.fcShapeBtn4->setFocus();
        QTest::keyClicks(w.fcShapeBtn4, QStringLiteral("c "));
        QCOMPARE(w.sessao->estado().Acertos, 4);
        QCOMPARE(w.sessao->estado().Erros, 1);
        QCOMPARE(perguntas.size(), botao == QLatin1String("Sair") ? 1 : 0);
        QVERIFY(w.isVisible());
        QVERIFY(w.Timer1->isActive());
    }

    // The commands are reached by their Alt letters and by function keys no lesson types, also
    // while every typed key belongs to the lesson.
    void comandosPeloTeclado_data()
    {
        QTest::addColumn<QString>("iniciar");
        QTest::addColumn<QString>("comando");
        QTest::addColumn<bool>("pausou");
        QTest::addColumn<int>("perguntas");
        QTest::newRow("F3 pausa") << "F2" << "F3" << true << 0;
        QTest::newRow("Alt+P pausa") << "Alt+I" << "Alt+P" << true << 0;
        QTest::newRow("Esc pergunta") << "F2" << "Esc" << false << 1;
        QTest::newRow("Alt+S pergunta") << "Alt+I" << "Alt+S" << false << 1;
        QTest::newRow("F5 nada no meio da lição") << "F2" << "F5" << false << 0;
    }

    void comandosPeloTeclado()
    {
        QFETCH(QString, iniciar);
        QFETCH(QString, comando);
        QFETCH(bool, pausou);
        QFETCH(int, perguntas);
        TFDigitacao& w = abrir(kBasico, QStringLiteral("abcd"));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        teclar(&w, iniciar);
        QVERIFY(w.Timer1->isActive());
        digitar(w, QStringLiteral("a"));
        teclar(&w, comando);
        QCOMPARE(w.Timer1->isActive(), !pausou);
        QCOMPARE(this->perguntas.size(), perguntas);
        QCOMPARE(w.sessao->estado().Acertos + w.sessao->estado().Erros, 1);  // the command was not typed
        QCOMPARE(w.Notebook2->currentWidget()->objectName(), QStringLiteral("EUA"));
    }

    // The voice says the line, the expected key spelled when the student errs or waits, and a
    // keystroke cuts off what is being said.
    void vozDaPratica()
    {
        QStringList ditos;
        plataforma::definirVoz(std::make_unique<VozGravada>(&ditos));
        dominio::gravarAjudas(mundo->pasta().toStdString(), "ANA", dominio::AjudasAluno{true});
        TFDigitacao& w = abrir(kBasico, QString::fromUtf8("Áb"), true, true);
        QVERIFY(plataforma::falando());  // the student's own "Falar"
        w.bIniciar->click();
        tecla(w, Qt::Key_X, QStringLiteral("x"));
        tecla(w, Qt::Key_Dead_Acute, QString());
        tecla(w, Qt::Key_A, QStringLiteral("A"), Qt::ShiftModifier);
        w.TimerFala->setInterval(1);
        QTRY_COMPARE(ditos.size(), 6);
        QCOMPARE(ditos, (QStringList{QString::fromUtf8("falar:Linha 1 de 1: Áb"), "calar",
                                     QString::fromUtf8("falar:errou: esperado acento agudo, depois A maiúsculo"),
                                     "calar", "calar", "falar:b"}));
        plataforma::ligarFala(false);
        plataforma::definirVoz(nullptr);
    }

    void tamanhoDoTexto_data()
    {
        QTest::addColumn<int>("tamanho");
        QTest::addColumn<bool>("dislexia");
        QTest::newRow("100 %") << 100 << false;
        QTest::newRow("200 %") << 200 << false;
        QTest::newRow("150 % com a letra para dislexia") << 150 << true;
    }

    // The student's text size and font reach the line and the copy when the window shows; the
    // longest line still fits the text panel, and the window the screen.
    void tamanhoDoTexto()
    {
        QFETCH(int, tamanho);
        QFETCH(bool, dislexia);
        if (dislexia && ui::familiaDislexia().isEmpty()) QSKIP("fonts-opendyslexic is not installed");
        dominio::AjudasAluno ajudas;
        ajudas.tamanhoTexto = tamanho;
        ajudas.fonteDislexia = dislexia;
        dominio::gravarAjudas(mundo->pasta().toStdString(), "ANA", ajudas);
        const QString longa(61, QLatin1Char('W'));
        TFDigitacao& w = abrir(kBasico, longa);
        w.bIniciar->click();
        const QFont fonte = w.lblTexto->font();
        QCOMPARE(w.lblCopy1->font(), fonte);
        QCOMPARE(fonte.family() == ui::familiaDislexia(), dislexia);
        const int tela = w.screen()->availableGeometry().width();
        if (tamanho == 100) QCOMPARE(fonte.pixelSize(), 16);
        else QVERIFY(fonte.pixelSize() > 16 || w.width() > tela - 60);  // larger, or as large as the screen allows
        QVERIFY(w.lblTexto->geometry().right() < w.pLic->width());
        QVERIFY(w.pLic->geometry().right() < w.width());
        QVERIFY(w.width() <= tela);
        QVERIFY(w.lblCopy1->y() > w.lblTexto->geometry().bottom());
    }

    // The results list moves the shared lesson table; the run keeps the lesson it set up.
    void pesquisarNaoTrocaLicao()
    {
        mundo->licao(kBasico, 2, QStringLiteral("segunda\nfim"));
        FSelec = new TFSelec;
        QTimer::singleShot(0, this, [] {
            FSelec->se1->setValue(2);
            FSelec->close();
        });
        TFDigitacao& w = abrir(kBasico, QStringLiteral("primeira"), true, false, 2);
        w.bIniciar->click();
        digitar(w, QStringLiteral("seg"));
        w.bPausar->click();
        QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
        w.bPesquisa->click();
        w.bIniciar->click();
        digitar(w, QStringLiteral("unda\r"));
        QCOMPARE(w.lblTexto->text(), QStringLiteral("fim"));
        QCOMPARE(painel(w, 0), QStringLiteral("2:2"));
        digitar(w, QStringLiteral("fim\r"));
        TApTable* relat = mundo->dm->TabRelat;
        QCOMPARE(relat->recordCount(), 1);
        relat->first();
        QCOMPARE(relat->fieldByName(QStringLiteral("Licao")).asInteger(), 2);
        QCOMPARE(relat->fieldByName(QStringLiteral("Velocidade")).asInteger(), 0);
        delete FSelec;
        FSelec = nullptr;
    }

    // An accent typed alone is the dead key and then the space bar: the guide lights it.
    void acentoSozinhoAcendeEspaco_data()
    {
        QTest::addColumn<bool>("abnt2");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("morta");
        QTest::addColumn<int>("pagina");
        QTest::addColumn<int>("espaco");
        QTest::newRow("EUA '") << false << "'" << int(Qt::Key_Dead_Acute) << 0 << 47;
        QTest::newRow("EUA \"") << false << "\"" << int(Qt::Key_Dead_Diaeresis) << 0 << 47;
        QTest::newRow("ABNT2 ^") << true << "^" << int(Qt::Key_Dead_Circumflex) << 2 << 50;
    }

    void acentoSozinhoAcendeEspaco()
    {
        QFETCH(bool, abnt2);
        QFETCH(QString, texto);
        QFETCH(int, morta);
        QFETCH(int, pagina);
        QFETCH(int, espaco);
        TFDigitacao& w = abrir(kBasico, texto + QStringLiteral("a"), true, abnt2);
        w.bIniciar->click();
        tecla(w, morta, QString());
        QCOMPARE(w.TeclaAtual, espaco);
        QCOMPARE(w.corTecla(pagina, espaco), QColor(0, 0, 255));
        tecla(w, Qt::Key_Space, QStringLiteral(" "));
        QCOMPARE(w.sessao->estado().Acertos, 1);
        QCOMPARE(w.sessao->estado().Erros, 0);
    }

    // The date panel shows its whole text in the window's font, a wide one too.
    void painelDaDataInteiro()
    {
        TFDigitacao w;
        QLabel* data = w.sb1Panels[6];
        QCOMPARE(data->text().size(), 10);
        QVERIFY(data->sizeHint().width() <= data->width());
        w.setFont(ui::fontePixels(QStringLiteral("DejaVu Sans"), 16));
        QVERIFY2(data->sizeHint().width() <= data->width(),
                 qPrintable(QStringLiteral("%1 > %2").arg(data->sizeHint().width()).arg(data->width())));
    }

    void exigenciasECabecalho()
    {
        TFDigitacao& w = abrir(kBasico, QStringLiteral("a"));
        QCOMPARE(w.LNome->text(), QStringLiteral("Nome: ANA"));
        QCOMPARE(w.LTipo->text(), QString::fromUtf8("Tipo: Básico"));
        QCOMPARE(w.lNivel->text(), QString::fromUtf8("Nível: Iniciante"));
        QCOMPARE(w.lVeloc->text(), QStringLiteral("Velocidade: 60 teclas/min."));
        QCOMPARE(w.LPrec->text(), QString::fromUtf8("Precisão: 90%"));
        w.bIniciar->click();  // the run is set up with what the window read
        QCOMPARE(w.sessao->estado().MaxLicoes, 60);
        QCOMPARE(w.sessao->estado().ExigVel, 60);
        QCOMPARE(w.sessao->estado().ExigPrec, 90);
        QCOMPARE(w.windowTitle(), QString::fromUtf8("Digitação"));
        QCOMPARE(w.size(), QSize(632, 426));
    }
};

QTEST_MAIN(TstPratica)
#include "tst_pratica.moc"
