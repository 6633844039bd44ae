// The clock and the end of a lesson through the real practice window: the stored result, the
// unlock of the next lesson, the result window's marks and the record check.
#include "MundoPratica.h"
#include "LimiteDeArquivo.h"

#include "data/Data1.h"
#include "data/TApolloEnv.h"
#include "practice/Digitacao.h"
#include "practice/SessaoDigitacao.h"
#include "students/Selec.h"
#include "ui/Mensagens.h"
#include "ui/TSpinEdit.h"
#include "xbase/Table.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <QFileInfo>
#include <memory>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString kBasico = QString::fromUtf8("Básico");

void digitar(TFDigitacao& w, const QString& s) { ::digitar(w.txtLetra, s); }

} // namespace

class TstFimLicao : public QObject {
    Q_OBJECT

    std::unique_ptr<MundoPratica> mundo;
    std::unique_ptr<TFDigitacao> janela;

    // Opens the practice for a student and starts lesson `numero` (the chooser answers it).
    TFDigitacao& iniciar(const QString& tipo, int licaoAluno, int numero, const QString& texto = QStringLiteral("ab"))
    {
        mundo->aluno(QStringLiteral("ANA"), tipo, licaoAluno, false);
        mundo->licao(tipo, numero, texto);
        if (licaoAluno > 1) {
            QTimer::singleShot(0, this, [numero] {
                FSelec->se1->setValue(numero);
                FSelec->close();
            });
        }
        janela = std::make_unique<TFDigitacao>();
        janela->show();
        janela->bIniciar->click();
        janela->Timer1->stop();  // the test gives the clock its ticks
        return *janela;
    }

    // Two right keystrokes, one tick (00:01: 119 teclas/min, 100 %), then Enter ends the lesson.
    void terminarComUmTique(TFDigitacao& w)
    {
        digitar(w, QStringLiteral("ab"));
        w.Timer1Timer();
        digitar(w, QStringLiteral("\r"));
    }

    // The error boxes shown from now on go into `erros`; questions are answered "Sim".
    void anotarErros(QStringList& erros)
    {
        ui::definirRespondedor([&erros](ui::TipoMensagem tipo, const QString& texto) {
            if (tipo == ui::TipoMensagem::Erro) erros << texto;
            return true;
        });
    }

    QString relat(const char* campo) { return mundo->dm->TabRelat->fieldByName(campo).asString(); }

private slots:
    void init()
    {
        mundo = std::make_unique<MundoPratica>();
        FSelec = new TFSelec;
        ui::definirRespondedor([](ui::TipoMensagem, const QString&) { return true; });
    }

    void cleanup()
    {
        janela.reset();
        delete FSelec;
        FSelec = nullptr;
        mundo.reset();
        ui::definirRespondedor({});
    }

    void relogio()
    {
        TFDigitacao& w = iniciar(kBasico, 1, 1, QString(60, QLatin1Char('a')));
        digitar(w, QString(5, QLatin1Char('x')) + QString(55, QLatin1Char('a')));
        w.Timer1Timer();
        QCOMPARE(w.DuracaoL->text(), QStringLiteral("00:01"));
        QCOMPARE(w.PrecL->text(), QStringLiteral("91%"));
        QCOMPARE(w.VelL->text(), QStringLiteral("3299 teclas/min"));
        // The tick that completes a minute keeps the speed shown at 00:59.
        for (int i = 0; i < 58; ++i) w.Timer1Timer();
        const QString aos59 = w.VelL->text();
        w.Timer1Timer();
        QCOMPARE(w.DuracaoL->text(), QStringLiteral("01:00"));
        QCOMPARE(w.VelL->text(), aos59);
        QCOMPARE(w.pSeg->value(), 0);
        for (int i = 0; i < 59 * 60; ++i) w.Timer1Timer();
        QCOMPARE(w.DuracaoL->text(), QStringLiteral("1:00:00"));
    }

    void aprovadoLiberaEBateRecorde()
    {
        TFDigitacao& w = iniciar(kBasico, 1, 1);
        terminarComUmTique(w);

        TApTable* r = mundo->dm->TabRelat;
        QCOMPARE(r->recordCount(), 1);
        r->first();
        QCOMPARE(relat("Nome"), QStringLiteral("ANA"));
        QCOMPARE(relat("Tipo"), kBasico);
        QCOMPARE(relat("Licao"), QStringLiteral("1"));
        QCOMPARE(relat("Velocidade"), QStringLiteral("119"));
        QCOMPARE(relat("Precisao"), QStringLiteral("100"));
        QCOMPARE(relat("Resultado"), QStringLiteral("Aprovado"));
        QCOMPARE(mundo->dm->TabAluno->fieldByName("Licao").asInteger(), 2);

        QCOMPARE(mundo->janelas, (QStringList{
                     QString::fromUtf8("Resultado|1|119 teclas/minuto|100 %|00:01|Aprovado|VPR"),
                     QStringLiteral("Recordes|11910 pontos")}));
        // Everything the lesson stores was on disk before its first window showed.
        QCOMPARE(mundo->noDiscoAoVerResultado, QStringList{QStringLiteral("Relat:1|Recorde:11910|Teclas:1")});
        TApTable* rec = mundo->dm->TabRec;
        rec->go(1);
        QCOMPARE(rec->fields(1).asString(), QStringLiteral("ANA"));
        QCOMPARE(rec->fields(2).asInteger(), 11910);
        QCOMPARE(rec->fields(3).asInteger(), 119);
        QCOMPARE(rec->fields(4).asInteger(), 100);
        QCOMPARE(rec->fields(5).asInteger(), 1);
        QCOMPARE(rec->fields(6).asString(), QDate::currentDate().toString(TApolloEnv::shortDateFormat(true)));
        // Back to Ready, displays blank.
        QVERIFY(w.Recarregar);
        QVERIFY(w.bIniciar->isEnabled());
        QCOMPARE(w.VelL->text(), QString());
    }

    void terminadaAntesDoPrimeiroTique()
    {
        TFDigitacao& w = iniciar(kBasico, 1, 1);
        digitar(w, QStringLiteral("ab\r"));
        mundo->dm->TabRelat->first();
        QCOMPARE(relat("Velocidade"), QStringLiteral("0"));
        QCOMPARE(relat("Precisao"), QStringLiteral("0"));
        QCOMPARE(relat("Resultado"), QStringLiteral("Reprovado"));
        QCOMPARE(mundo->dm->TabAluno->fieldByName("Licao").asInteger(), 1);
        // 10 points do not beat the stored 5,000: no record window.
        QCOMPARE(mundo->janelas, QStringList{QString::fromUtf8("Resultado|1|0 teclas/minuto|0 %|00:00|Reprovado|vpr")});
    }

    // A result row that cannot be written unlocks nothing and leaves nothing pending; the
    // error is shown and the window is Ready. Finishing again stores exactly one row.
    void fimTudoOuNada()
    {
        QStringList erros;
        anotarErros(erros);
        TFDigitacao& w = iniciar(kBasico, 1, 1);
        digitar(w, QStringLiteral("ab"));
        w.Timer1Timer();
        {
            LimiteDeArquivo cheio(QFileInfo(mundo->pasta() + QStringLiteral("/Relat.dbf")).size());
            digitar(w, QStringLiteral("\r"));
        }
        QCOMPARE(erros.size(), 1);
        TApTable* relat = mundo->dm->TabRelat;
        QCOMPARE(relat->state(), TApTable::State::Browse);
        QCOMPARE(relat->recordCount(), 0);
        QCOMPARE(mundo->dm->TabAluno->state(), TApTable::State::Browse);
        QCOMPARE(mundo->dm->TabAluno->fieldByName("Licao").asInteger(), 1);
        QVERIFY(mundo->janelas.isEmpty());
        QVERIFY(w.Recarregar);
        QVERIFY(w.bIniciar->isEnabled());
        QVERIFY(!w.Timer1->isActive());

        w.bIniciar->click();
        w.Timer1->stop();
        terminarComUmTique(w);
        QCOMPARE(relat->recordCount(), 1);
        QCOMPARE(mundo->dm->TabAluno->fieldByName("Licao").asInteger(), 2);
        QCOMPARE(erros.size(), 1);
    }

    // The same student passed further on another computer while this lesson ran: the unlock
    // never lowers the lesson the other one stored.
    void liberacaoNaoDesceOQueOutroComputadorGravou()
    {
        TFDigitacao& w = iniciar(kBasico, 1, 1);
        {
            xbase::Table outro;
            outro.open(mundo->pasta().toStdString(), "Usuario.dbf");
            QVERIFY(outro.locate("NOME", "ANA"));
            outro.edit();
            outro.setInteger("LICAO", 5);
            QVERIFY(outro.post());
        }
        terminarComUmTique(w);
        mundo->dm->TabRelat->first();
        QCOMPARE(relat("Resultado"), QStringLiteral("Aprovado"));
        xbase::Table aluno;
        aluno.open(mundo->pasta().toStdString(), "Usuario.dbf", true);
        QVERIFY(aluno.locate("NOME", "ANA"));
        QCOMPARE(aluno.asInteger("LICAO"), 5);
    }

    // Removed on another computer while typing (the row deleted, the pack put off): no result,
    // no unlock, no key figures; the window says why.
    void alunoRemovidoEmOutroComputadorNadaGuarda()
    {
        QStringList erros;
        anotarErros(erros);
        TFDigitacao& w = iniciar(kBasico, 1, 1);
        {
            xbase::Table outro;
            outro.open(mundo->pasta().toStdString(), "Usuario.dbf");
            QVERIFY(outro.locate("NOME", "ANA"));
            outro.deleteRecord();
        }
        terminarComUmTique(w);
        xbase::Table relat;
        relat.open(mundo->pasta().toStdString(), "Relat.dbf", true);
        QCOMPARE(relat.count(), 0u);
        QVERIFY(!QFile::exists(mundo->pasta() + QStringLiteral("/Teclas.dbf")));
        QVERIFY(mundo->janelas.isEmpty());
        QCOMPARE(erros, QStringList{QString::fromUtf8(
                            "O aluno ANA foi removido em outro computador: o resultado desta lição não foi guardado.")});
        QCOMPARE(mundo->dm->TabAluno->state(), TApTable::State::Browse);
    }

    // The lesson ends after the key event of its last keystroke has returned.
    void fimDepoisDoEventoDaTecla()
    {
        TFDigitacao& w = iniciar(kBasico, 1, 1);
        digitar(w, QStringLiteral("ab"));
        w.Timer1Timer();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(w.txtLetra, &enter);
        QVERIFY(mundo->janelas.isEmpty());
        QVERIFY(mundo->dm->TabRelat->isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCOMPARE(mundo->janelas.size(), 2);  // the result and the new record
        QCOMPARE(mundo->dm->TabRelat->recordCount(), 1);
    }

    void empateMantemRecorde()
    {
        mundo->recorde(1, 11910);
        TFDigitacao& w = iniciar(kBasico, 1, 1);
        terminarComUmTique(w);
        QCOMPARE(mundo->janelas.size(), 1);
        mundo->dm->TabRec->go(1);
        QCOMPARE(mundo->dm->TabRec->fields(1).asString(), QStringLiteral("LIA"));

        mundo->janelas.clear();
        mundo->recorde(1, 11909);
        QTimer::singleShot(0, this, [] {
            FSelec->se1->setValue(1);  // lesson 2 is unlocked now: the chooser asks
            FSelec->close();
        });
        w.bIniciar->click();
        w.Timer1->stop();
        terminarComUmTique(w);
        QCOMPARE(mundo->janelas.last(), QStringLiteral("Recordes|11910 pontos"));
    }

    // Another computer beat the record after this one read it: the lower score is compared
    // with the record on the disk and leaves it standing.
    void recordeBatidoEmOutroComputador()
    {
        TFDigitacao& w = iniciar(kBasico, 1, 1);
        {
            xbase::Table outro;
            outro.open(mundo->pasta().toStdString(), "Recorde.dbf");
            outro.goTo(1);
            outro.edit();
            outro.setString("NOME", "LIA");
            outro.setInteger("PONTUACAO", 20000);
            outro.post();
        }
        terminarComUmTique(w);
        QCOMPARE(mundo->janelas.size(), 1);  // the result, no record window
        TApTable* rec = mundo->dm->TabRec;
        rec->go(1);
        QCOMPARE(rec->fields(1).asString(), QStringLiteral("LIA"));
        QCOMPARE(rec->fields(2).asInteger(), 20000);
    }

    void pontuacaoSemVolta()
    {
        // 700 teclas/min at 100 % in lesson 1: 70,010 points beat 60,000 (wrapped it would be 4,474).
        mundo->recorde(4, 60000);
        // One word of 350 digits: lines of 61 typed without Enter, 350 keystrokes in 30 s.
        TFDigitacao& w = iniciar(QString::fromUtf8("Numérico"), 1, 1, QString(350, QLatin1Char('1')));
        digitar(w, QString(350, QLatin1Char('1')));
        for (int i = 0; i < 30; ++i) w.Timer1Timer();
        w.VerificarRecorde();
        QCOMPARE(mundo->janelas, QStringList{QStringLiteral("Recordes|70010 pontos")});
        mundo->dm->TabRec->go(4);
        QCOMPARE(mundo->dm->TabRec->fieldByName("Pontuacao").asInteger(), 70010);
    }
};

QTEST_MAIN(TstFimLicao)
#include "tst_fim_licao.moc"
