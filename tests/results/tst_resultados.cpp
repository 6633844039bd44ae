// The result window's marks, the new-record window's blinking, the records viewer's rows.
#include "data/Data1.h"
#include "results/Recorde.h"
#include "results/Recordes.h"
#include "results/Resultado.h"
#include "ui/TDBGrid.h"
#include "ui/TLabel3D.h"
#include "xbase/Table.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// With TARVEX_CAPTURAS set, the windows are saved as pictures there for a person to look at.
void capturar(QWidget* janela, const QString& nome)
{
    const QString pasta = qEnvironmentVariable("TARVEX_CAPTURAS");
    if (!pasta.isEmpty()) janela->grab().save(pasta + "/" + nome + ".png");
}

} // namespace

class TstResultados : public QObject {
    Q_OBJECT
private slots:
    void marcasDoResultado_data();
    void marcasDoResultado();
    void novoRecordePiscaEmRitmosProprios();
    void recordesMostramQuatroLinhas();
};

void TstResultados::marcasDoResultado_data()
{
    QTest::addColumn<bool>("velOk");
    QTest::addColumn<bool>("precOk");
    QTest::addColumn<QString>("resultado");
    QTest::newRow("aprovado") << true << true << "Aprovado";
    QTest::newRow("velocidade sim, precisão não") << true << false << "Reprovado";
    QTest::newRow("velocidade não, precisão sim") << false << true << "Reprovado";
    QTest::newRow("nada") << false << false << "Reprovado";
}

void TstResultados::marcasDoResultado()
{
    QFETCH(bool, velOk);
    QFETCH(bool, precOk);
    QFETCH(QString, resultado);
    TfResultado janela;
    janela.preencher(4, 120, 95, "02:35", resultado, velOk, precOk);
    QCOMPARE(janela.Label1->text(), QString("4"));
    QCOMPARE(janela.Label2->text(), QString("120 teclas/minuto"));
    QCOMPARE(janela.Label3->text(), QString("95 %"));
    QCOMPARE(janela.Label4->text(), QString("02:35"));
    QCOMPARE(janela.Label5->text(), resultado);
    // Exactly one mark of each pair, in the same place.
    QCOMPARE(janela.Iv2->isVisibleTo(&janela), velOk);
    QCOMPARE(janela.Iv1->isVisibleTo(&janela), !velOk);
    QCOMPARE(janela.Ip2->isVisibleTo(&janela), precOk);
    QCOMPARE(janela.Ip1->isVisibleTo(&janela), !precOk);
    const bool aprovado = resultado == "Aprovado";
    QCOMPARE(janela.Ir2->isVisibleTo(&janela), aprovado);
    QCOMPARE(janela.Ir1->isVisibleTo(&janela), !aprovado);
    QCOMPARE(janela.Iv1->geometry(), janela.Iv2->geometry());
    janela.show();
    capturar(&janela, QStringLiteral("resultado-") + QTest::currentDataTag());
}

void TstResultados::novoRecordePiscaEmRitmosProprios()
{
    auto* janela = new TfRecordes;
    janela->Label2->setText("19040 pontos");
    janela->show();
    QCOMPARE(janela->Timer1->interval(), 600);
    QCOMPARE(janela->Timer2->interval(), 500);
    QVERIFY(janela->Label1->isVisible() && janela->Label2->isVisible());
    capturar(janela, QStringLiteral("novo-recorde"));
    janela->Timer1Timer();
    QVERIFY(!janela->Label2->isVisible());
    QVERIFY(janela->Label1->isVisible());
    janela->Timer2Timer();
    QVERIFY(!janela->Label1->isVisible());
    QPointer<TfRecordes> guarda(janela);
    janela->MagicButton1Click();
    QVERIFY(!janela->Timer2->isActive() || guarda.isNull());
    QTRY_VERIFY(guarda.isNull());  // freed when closed
}

void TstResultados::recordesMostramQuatroLinhas()
{
    QTemporaryDir dir;
    using xbase::FieldType;
    xbase::Table::create(dir.path().toStdString(), "Recorde.dbf",
                         {{"TIPO", FieldType::Character, 8}, {"NOME", FieldType::Character, 20},
                          {"PONTUACAO", FieldType::Numeric, 10}});
    {
        xbase::Table t;
        t.open(dir.path().toStdString(), "Recorde.dbf");
        for (const char* tipo : {"Básico", "Avançado", "Textos", "Numérico"}) {
            t.insert();
            t.setString(0, tipo);
            t.setString(1, "LIA");
            t.setInteger(2, 5000);
            t.post();
        }
    }
    Tdm1 dm;
    dm.TabRec->setDatabaseName(dir.path());
    dm.TabRec->open();
    auto* janela = new TfRecorde;
    janela->show();
    janela->DBGrid1->recarregar();
    QCOMPARE(janela->DBGrid1->rowCount(), 4);
    QCOMPARE(janela->DBGrid1->columnCount(), 3);
    QCOMPARE(janela->DBGrid1->horizontalHeaderItem(2)->text(), QString("PONTUACAO"));
    QCOMPARE(janela->DBGrid1->item(3, 0)->text(), QString("Numérico"));
    capturar(janela, QStringLiteral("recordes"));
    janela->close();
}

QTEST_MAIN(TstResultados)
#include "tst_resultados.moc"
