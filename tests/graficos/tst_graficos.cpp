// The progress charts: pages and their buttons, chart choice, 3-D and its animation; the
// chart widget's paging. With TARVEX_CAPTURAS=<folder> it also saves pictures of each kind.
#include "data/Data1.h"
#include "results/grafico.h"
#include "ui/TChart.h"
#include "domain/Esquema.h"
#include "xbase/Table.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QString filtroDe(const QString& nome)
{
    return QStringLiteral("Nome = \"%1\" .AND. Tipo=\"Básico\" .AND. Licao >= 1 .AND. Licao <= 100").arg(nome);
}

// Page buttons as a string: I(nicio) V(oltar) A(vançar) F(im), "-" where disabled.
QString botoes(const TfGrafico& j)
{
    QString s;
    s += j.BFirstPage->isEnabled() ? 'I' : '-';
    s += j.bPrev->isEnabled() ? 'V' : '-';
    s += j.Next->isEnabled() ? 'A' : '-';
    s += j.BLastPage->isEnabled() ? 'F' : '-';
    return s;
}

} // namespace

class TstGraficos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void leResultadosDoFiltroEmOrdem();
    void paginasEBotoes();
    void precisaoMantemOTipo();
    void limpar3DParaAnimacao();
    void selecaoVaziaNaoPagina();
    void animacaoVaiEVolta();
    void paginasDoGrafico_data();
    void paginasDoGrafico();
    void valoresForaDaFaixaSaoCortados_data();
    void valoresForaDaFaixaSaoCortados();
    void capturas();

private:
    QTemporaryDir dir_;
    Tdm1* dm_ = nullptr;
};

// ANA has 23 results, BIA's two lie among them and must stay out of ANA's charts; CAIO types fast.
void TstGraficos::initTestCase()
{
    QVERIFY(dir_.isValid());
    dominio::criarTabela(dir_.path().toStdString(), dominio::esquemaRelat());
    xbase::Table t;
    t.open(dir_.path().toStdString(), "Relat.dbf");
    auto inserir = [&](const char* nome, int licao, int velocidade, int precisao) {
        t.insert();
        t.setString("NOME", nome);
        t.setString("TIPO", "Básico");
        t.setInteger("LICAO", licao);
        t.setInteger("VELOCIDADE", velocidade);
        t.setInteger("PRECISAO", precisao);
        t.setString("RESULTADO", "Aprovado");
        t.post();
    };
    for (int i = 0; i < 23; ++i) {
        inserir("ANA", i + 1, 100 + 10 * i, 70 + i);
        if (i == 4 || i == 15) inserir("BIA", i, 999, 1);
    }
    int licao = 0;
    for (int v : {310, 420, 515, 640, 700, 823}) inserir("CAIO", ++licao, v, 96);
    t.close();
    dm_ = new Tdm1(this);
    dm_->TabRelat->setDatabaseName(dir_.path());
    dm_->TabRelat->open();
}

void TstGraficos::leResultadosDoFiltroEmOrdem()
{
    dm_->TabRelat->setFilter(filtroDe("ANA"));
    TfGrafico j;
    QCOMPARE(j.DBChart3->valores().size(), 23);
    QCOMPARE(j.DBChart3->valores().at(5), 150);
    QCOMPARE(j.DBChart3->valores().last(), 320);
    QCOMPARE(j.DBChart6->valores().at(5), 75);
    QCOMPARE(j.DBChart1->valores(), j.DBChart2->valores());
    QCOMPARE(j.DBChart4->valores(), j.DBChart5->valores());
    QCOMPARE(j.DBChart1->maximo(), 360);

    // BIA's 999 teclas/min lie above the fixed axis: the speed charts reach 1000.
    dm_->TabRelat->setFilter(filtroDe("BIA"));
    TfGrafico bia;
    for (TChart* g : {bia.DBChart1, bia.DBChart2, bia.DBChart3}) QCOMPARE(g->maximo(), 1000);
    QCOMPARE(bia.DBChart4->maximo(), 100);
}

void TstGraficos::paginasEBotoes()
{
    dm_->TabRelat->setFilter(filtroDe("ANA"));
    TfGrafico j;
    QCOMPARE(j.windowTitle(), QString("Gráficos"));
    QCOMPARE(j.p3->text(), QString("Página 1 de 3"));
    QCOMPARE(j.p2->text(), QString("Gráfico de velocidade"));
    QCOMPARE(j.p1->text(), QString("3D"));
    QCOMPARE(botoes(j), QString("IVAF"));

    struct Passo { QPushButton* botao; const char* texto; const char* estados; };
    const Passo passos[] = {
        {j.Next, " Página 2 de 3", "IVAF"},      {j.Next, " Página 3 de 3", "IV--"},
        {j.bPrev, "Página 2 de 3", "IV--"},      {j.bPrev, "Página 1 de 3", "--AF"},
        {j.BLastPage, "Página 3 de 3", "I-A-"},  {j.Next, " Página 3 de 3", "IV--"},
        {j.BFirstPage, "Página 1 de 3", "-V-F"}, {j.bPrev, "Página 1 de 3", "--AF"},
    };
    for (const Passo& passo : passos) {
        QVERIFY(passo.botao->isEnabled());
        passo.botao->click();
        QCOMPARE(j.p3->text(), QString(passo.texto));
        QCOMPARE(botoes(j), QString(passo.estados));
    }
    // Each chart keeps its own page; switching leaves the page text and buttons alone.
    j.Next->setEnabled(true);
    j.Next->click();
    j.Next->click();
    const QString estados = botoes(j);
    j.bit3->click();
    QCOMPARE(j.GraficoAtual(), j.DBChart3);
    QCOMPARE(j.DBChart3->pagina(), 1);
    QCOMPARE(j.DBChart1->pagina(), 3);
    QCOMPARE(j.p3->text(), QString(" Página 3 de 3"));
    QCOMPARE(botoes(j), estados);
}

void TstGraficos::precisaoMantemOTipo()
{
    dm_->TabRelat->setFilter(filtroDe("ANA"));
    TfGrafico j;
    j.bit2->click();
    QCOMPARE(j.Notebook1->currentIndex(), 1);
    j.rb2->click();
    QCOMPARE(j.Notebook1->currentIndex(), 4);
    QCOMPARE(j.GraficoAtual(), j.DBChart5);
    QCOMPARE(j.p2->text(), QString("Gráfico de precisão"));
    j.bit1->click();
    QCOMPARE(j.GraficoAtual(), j.DBChart4);
    j.rb1->click();
    QCOMPARE(j.GraficoAtual(), j.DBChart1);
    QCOMPARE(j.p2->text(), QString("Gráfico de velocidade"));
}

void TstGraficos::limpar3DParaAnimacao()
{
    dm_->TabRelat->setFilter(filtroDe("ANA"));
    TfGrafico j;
    j.cb2->click();
    QVERIFY(j.Timer1->isActive());
    QCOMPARE(j.Timer1->interval(), 250);
    j.CheckBox1->click();
    QVERIFY(!j.Timer1->isActive());
    QVERIFY(!j.ScrollBar2->isEnabled());
    QVERIFY(!j.cb2->isEnabled());
    QVERIFY(!j.GraficoAtual()->visao3D());
    QCOMPARE(j.p1->text(), QString("2D"));
    // Back to 3-D with the box still ticked: the animation resumes.
    j.CheckBox1->click();
    QVERIFY(j.Timer1->isActive());
    QCOMPARE(j.p1->text(), QString("3D"));
    // A chart chosen while flat is drawn flat.
    j.CheckBox1->click();
    j.bit3->click();
    QVERIFY(!j.DBChart3->visao3D());
}

void TstGraficos::selecaoVaziaNaoPagina()
{
    dm_->TabRelat->setFilter(filtroDe("NINGUEM"));
    TfGrafico j;
    QVERIFY(j.DBChart1->valores().isEmpty());
    QCOMPARE(j.p3->text(), QString("Página 1 de 0"));
    for (QPushButton* b : {j.Next, j.BLastPage, j.bPrev, j.BFirstPage, j.Next}) {
        b->setEnabled(true);
        b->click();
        QCOMPARE(j.GraficoAtual()->pagina(), 1);
    }
    QCOMPARE(j.p3->text(), QString(" Página 1 de 0"));
}

void TstGraficos::animacaoVaiEVolta()
{
    dm_->TabRelat->setFilter(filtroDe("ANA"));
    TfGrafico j;
    QList<int> mostrados;
    for (int i = 0; i < 42; ++i) {
        j.Timer1Timer();
        mostrados << j.ScrollBar2->value();
        QCOMPARE(j.GraficoAtual()->profundidade(), j.ScrollBar2->value());
    }
    QCOMPARE(mostrados.mid(17, 6), QList<int>({90, 95, 100, 95, 90, 85}));
    QCOMPARE(mostrados.mid(37, 5), QList<int>({10, 5, 1, 5, 10}));
    QCOMPARE(j.AnimacaoDescendo, false);

    // From 5 going down: the counter reaches 0, the slider already at 1 reports nothing.
    j.ScrollBar2->setValue(1);
    j.Timer1Tag = 5;
    j.AnimacaoDescendo = true;
    QSignalSpy mudou(j.ScrollBar2, &QScrollBar::valueChanged);
    j.Timer1Timer();
    QCOMPARE(j.Timer1Tag, 0);
    QCOMPARE(mudou.count(), 0);
}

void TstGraficos::paginasDoGrafico_data()
{
    QTest::addColumn<int>("pontos");
    QTest::addColumn<int>("pedida");
    QTest::addColumn<int>("paginas");
    QTest::addColumn<int>("pagina");
    QTest::newRow("nenhum ponto") << 0 << 5 << 0 << 1;
    QTest::newRow("um ponto") << 1 << 2 << 1 << 1;
    QTest::newRow("dez cabem em uma") << 10 << 2 << 1 << 1;
    QTest::newRow("onze pedem duas") << 11 << 2 << 2 << 2;
    QTest::newRow("abaixo de 1") << 23 << 0 << 3 << 1;
    QTest::newRow("além da última") << 23 << 9 << 3 << 3;
}

void TstGraficos::paginasDoGrafico()
{
    QFETCH(int, pontos);
    QFETCH(int, pedida);
    QFETCH(int, paginas);
    QFETCH(int, pagina);
    TChart g;
    g.setValores(QVector<int>(pontos, 50));
    g.setPagina(pedida);
    QCOMPARE(g.paginas(), paginas);
    QCOMPARE(g.pagina(), pagina);
}

void TstGraficos::valoresForaDaFaixaSaoCortados_data()
{
    using V = QVector<int>;
    QTest::addColumn<TChart::Tipo>("tipo");
    QTest::addColumn<bool>("em3D");
    QTest::addColumn<V>("fora");
    QTest::addColumn<V>("nasPontas");
    QTest::newRow("barras 3D") << TChart::Tipo::Barra << true << V{1000, 20, 500} << V{360, 60, 360};
    QTest::newRow("barras 2D") << TChart::Tipo::Barra << false << V{1000, 20, 500} << V{360, 60, 360};
    QTest::newRow("área 3D acima") << TChart::Tipo::Area << true << V{1000, 2000, 400} << V{360, 360, 360};
    QTest::newRow("área 2D acima") << TChart::Tipo::Area << false << V{1000, 2000, 400} << V{360, 360, 360};
    QTest::newRow("área 3D abaixo") << TChart::Tipo::Area << true << V{20, 0, -5} << V{60, 60, 60};
}

// Drawn beyond the range or right at its ends, the chart looks the same.
void TstGraficos::valoresForaDaFaixaSaoCortados()
{
    QFETCH(TChart::Tipo, tipo);
    QFETCH(bool, em3D);
    QFETCH(QVector<int>, fora);
    QFETCH(QVector<int>, nasPontas);
    auto desenho = [&](const QVector<int>& valores) {
        TChart g;
        g.resize(447, 391);
        g.setTipo(tipo);
        g.setFaixa(60, 360);
        g.setVisao3D(em3D);
        g.setValores(valores);
        return g.grab().toImage();
    };
    QCOMPARE(desenho(fora), desenho(nasPontas));
}

void TstGraficos::capturas()
{
    const QString pasta = qEnvironmentVariable("TARVEX_CAPTURAS");
    if (pasta.isEmpty()) QSKIP("TARVEX_CAPTURAS not set");
    // Twelve realistic results: one page and the start of the next.
    const QVector<int> velocidades = {92, 118, 105, 140, 162, 151, 188, 203, 236, 221, 254, 275};
    const QVector<int> precisoes = {81, 86, 84, 90, 88, 93, 91, 95, 94, 97, 96, 98};
    TfGrafico j;
    for (TChart* g : {j.DBChart1, j.DBChart2, j.DBChart3}) g->setValores(velocidades);
    for (TChart* g : {j.DBChart4, j.DBChart5, j.DBChart6}) g->setValores(precisoes);
    j.show();
    const char* nomes[] = {"linha", "area", "barra"};
    QPushButton* tipos[] = {j.bit1, j.bit2, j.bit3};
    for (int d = 0; d < 2; ++d) {
        for (int k = 0; k < 3; ++k) {
            tipos[k]->click();
            QVERIFY(j.grab().save(QString("%1/%2-%3.png").arg(pasta, nomes[k], d ? "2d" : "3d")));
        }
        j.CheckBox1->click();
    }
    j.rb2->click();
    j.ScrollBar2->setValue(60);
    QVERIFY(j.grab().save(pasta + "/barra-precisao-60.png"));
    j.bit1->click();
    j.ScrollBar2->setValue(100);
    QVERIFY(j.grab().save(pasta + "/linha-precisao-100.png"));
    j.bit2->click();
    j.BLastPage->click();
    QVERIFY(j.grab().save(pasta + "/area-precisao-pagina2.png"));
    // A fast typist's speeds widen the axis past 360.
    dm_->TabRelat->setFilter(filtroDe("CAIO"));
    TfGrafico rapida;
    rapida.show();
    QVERIFY(rapida.grab().save(pasta + "/linha-acima-de-360.png"));
}

QTEST_MAIN(TstGraficos)
#include "tst_graficos.moc"
