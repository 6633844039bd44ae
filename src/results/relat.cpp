#include "relat.h"
#include "ui/Acessibilidade.h"

#include "PlanilhaResultados.h"
#include "Rel.h"
#include "Teclas.h"
#include "grafico.h"
#include "data/Data1.h"
#include "domain/Filtros.h"
#include "domain/Licoes.h"
#include "platform/Ajuda.h"
#include "ui/Mensagens.h"
#include "ui/TDBGrid.h"
#include "ui/TDataSource.h"
#include "ui/TQuickRep.h"
#include "ui/TSpinEdit.h"
#include "ui/TStatusBar.h"
#include "ui/Botoes.h"
#include "ui/ExportarPlanilha.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {

// The hourglass for as long as the object lives, also when an engine error cuts the work short.
struct Ampulheta {
    Ampulheta() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Ampulheta() { QApplication::restoreOverrideCursor(); }
    Ampulheta(const Ampulheta&) = delete;
    Ampulheta& operator=(const Ampulheta&) = delete;
};

QFrame* painel(QWidget* pai, const QRect& geometria)
{
    auto* p = new QFrame(pai);
    p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    p->setGeometry(geometria);
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(11);
    p->setFont(f);
    return p;
}

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

} // namespace

TfRelat::TfRelat(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Pesquisa"));
    setFixedSize(560, 418);
    setAttribute(Qt::WA_DeleteOnClose);

    criarBotoes();
    criarFaixa();

    DataSource1 = new TDataSource(dm1->TabRelat, this);
    DBGrid1 = new TDBGrid(this);
    ui::nomear(DBGrid1, QStringLiteral("Resultados do aluno"));
    DBGrid1->setGeometry(0, 82, 560, 239);
    DBGrid1->setFundoDica(true);  // its rows come when the window shows, the student's only

    criarResumo();

    StatusBar1 = new TStatusBar(this);
    StatusBar1->setGeometry(0, 397, 560, 21);
    StatusBar1->setPaineis({560});
}

void TfRelat::criarBotoes()
{
    QFrame* barra = painel(this, QRect(0, 0, 560, 41));
    BitBtn2 = ui::botao(barra, QStringLiteral("&Gráficos"), QString(), QRect(8, 7, 96, 27));
    bImp = ui::botao(barra, QStringLiteral("&Imprimir"), QString(), QRect(108, 7, 96, 27));
    BitBtn5 = ui::botaoSair(barra, QRect(208, 7, 96, 27), this);
    BitBtn1 = ui::botaoAjuda(barra, QRect(308, 7, 96, 27));
    connect(BitBtn2, &QPushButton::clicked, this, &TfRelat::BitBtn2Click);
    connect(bImp, &QPushButton::clicked, this, &TfRelat::bImpClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TfRelat::BitBtn1Click);

    bExportar = ui::botao(barra, QStringLiteral("&Exportar"), QString(), QRect(408, 7, 96, 27));
    connect(bExportar, &QPushButton::clicked, this, &TfRelat::bExportarClick);
}

void TfRelat::criarFaixa()
{
    QFrame* barra = painel(this, QRect(0, 41, 560, 41));
    Label1 = new QLabel(QStringLiteral("Listar da lição"), barra);
    Label1->setGeometry(8, 9, 96, 23);
    se1 = new TSpinEdit(barra);
    ui::rotular(Label1, se1);
    se1->setGeometry(104, 9, 56, 23);
    Label2 = new QLabel(QStringLiteral("até"), barra);
    Label2->setGeometry(168, 9, 28, 23);
    Label2->setAlignment(Qt::AlignCenter);
    se2 = new TSpinEdit(barra);
    ui::nomear(se2, QStringLiteral("Listar até a lição"));
    se2->setGeometry(200, 9, 56, 23);
    for (TSpinEdit* s : {se1, se2}) {
        s->setMinValue(1);
        s->setMaxValue(100);
        s->setMaxLength(3);
    }
    se1->setValue(1);
    se2->setValue(100);
    b1 = ui::botao(barra, QStringLiteral("&Listar"), QStringLiteral(":/imagens/ok16.png"), QRect(268, 7, 90, 27));
    connect(b1, &QPushButton::clicked, this, &TfRelat::b1Click);
    bTeclas = ui::botao(barra, QStringLiteral("&Teclas"), QString(), QRect(462, 7, 90, 27));
    connect(bTeclas, &QPushButton::clicked, this, &TfRelat::bTeclasClick);
}

void TfRelat::criarResumo()
{
    QFrame* barra = painel(this, QRect(0, 321, 560, 76));
    auto texto = [barra](int x, int y) {
        auto* l = new QLabel(barra);
        l->setGeometry(x, y, 249, 25);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setContentsMargins(4, 0, 4, 0);
        return l;
    };
    lTotal = texto(20, 12);
    lIndice = texto(291, 12);
    lVeloc = texto(20, 40);
    lPrec = texto(291, 40);
}

void TfRelat::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (mostrada_) return;
    mostrada_ = true;
    if (QScreen* tela = screen()) move(tela->availableGeometry().center() - rect().center());
    ui::protegido(this, [this] { FormShow(); });
}

// The spin field's setter: clamped into its range, except that a range of one single value
// takes the value as it comes.
void TfRelat::ajustarValor(TSpinEdit* spin, int valor)
{
    const int minimo = spin->minValue();
    const int maximo = spin->maxValue();
    if (minimo != maximo) {
        if (valor < minimo) valor = minimo;
        else if (valor > maximo) valor = maximo;
    }
    // The text is written directly: TSpinEdit::setValue would clamp the single-value case too.
    if (auto* edicao = spin->findChild<QLineEdit*>()) edicao->setText(QString::number(valor));
}

void TfRelat::FormShow()
{
    // The lessons lie beside the results, in the table of the keyboard model.
    const dominio::LeitorLicoes licoesDoTipo(dm1->TabRelat->databaseName().toStdString(), dm1->Abnt2Keyboard);
    const int licoes = licoesDoTipo.quantas(TipoLicao.toStdString());
    se1->setMaxValue(licoes);
    se2->setMaxValue(licoes);
    ajustarValor(se2, UltimaLicao);
    ListarLicoes();
    // Only now, filtered to the student: bound before, the grid would read every student's rows.
    if (!DBGrid1->dataSource()) DBGrid1->setDataSource(DataSource1);
}

void TfRelat::ListarLicoes()
{
    Ampulheta ampulheta;
    TApTable* tabela = dm1->TabRelat;
    tabela->readFresh();  // the results other computers posted since
    tabela->setFilter(qs(dominio::filtroResultados(NomeAluno.toStdString(), TipoLicao.toStdString(),
                                                   se1->value(), se2->value())));

    // Accumulators of the four panels, 32-bit as the figures have always been summed.
    qint32 somaVeloc = 0;
    qint32 somaPrec = 0;
    qint32 aprovados = 0;
    const TField velocidade = tabela->fieldByName(QStringLiteral("Velocidade"));
    const TField precisao = tabela->fieldByName(QStringLiteral("Precisao"));
    const TField resultado = tabela->fieldByName(QStringLiteral("Resultado"));
    for (tabela->first(); !tabela->eof(); tabela->next()) {
        somaVeloc += static_cast<qint32>(velocidade.asInteger());
        somaPrec += static_cast<qint32>(precisao.asInteger());
        // Compared as the engine's text: no conversion per row.
        if (tabela->engine().asString(resultado.index()) == "Aprovado") ++aprovados;
    }
    mostrarResumo(tabela->recordCount(), somaVeloc, somaPrec, aprovados);
}

void TfRelat::mostrarResumo(qint32 total, qint32 somaVeloc, qint32 somaPrec, qint32 aprovados)
{
    if (total <= 0) {
        // These texts have always read this way, misspellings included.
        lTotal->setText(QStringLiteral("Lições encontradads: 0"));
        lVeloc->setText(QStringLiteral("Velocidade média: 0.00 teclas/min."));
        lPrec->setText(QStringLiteral("Precisão média: 0.00%"));
        lIndice->setText(QStringLiteral("Ínice de aprovação: 0%"));
        return;
    }
    lTotal->setText(QStringLiteral("Lições encontradas: %1").arg(total));
    lVeloc->setText(QStringLiteral("Velocidade média: %1 teclas/min.").arg(somaVeloc / total));
    lPrec->setText(QStringLiteral("Precisão média: %1%").arg(somaPrec / total));
    lIndice->setText(QStringLiteral("Índice de aprovação: %1%").arg(aprovados * 100 / total));
}

void TfRelat::b1Click()
{
    ui::protegido(this, [this] { ListarLicoes(); });
}

void TfRelat::BitBtn2Click()
{
    // The charts draw the rows that this list's filter lets through; the window frees itself.
    auto* graficos = new TfGrafico(this);
    graficos->exec();
}

void TfRelat::bImpClick()
{
    // The program entry makes the report form; a list opened without it still prints.
    if (!fAlunos4) new TfAlunos4;
    TfAlunos4* rel = fAlunos4;
    rel->LNome->Caption = QStringLiteral("Nome: ") + NomeAluno;
    rel->LTipo->Caption = QStringLiteral("Tipo de lição: ") + TipoLicao;
    rel->qrl1->Caption = QStringLiteral("Lições pesquisadas de %1 até %2").arg(se1->value()).arg(se2->value());
    rel->qrl2->Caption = lTotal->text();
    rel->qrl3->Caption = lVeloc->text();
    rel->qrl4->Caption = lIndice->text();
    rel->qrl5->Caption = lPrec->text();
    ui::protegido(this, [this, rel] { rel->QuickRep1->Preview(this); });
}

void TfRelat::BitBtn1Click()
{
    plataforma::mostrarAjuda(11, this);
}

void TfRelat::bExportarClick()
{
    dominio::Planilha planilha;
    if (!ui::protegido(this, [&] { planilha = planilhaResultados(dm1->TabRelat); })) return;
    ui::exportarPlanilha(this, planilha, QStringLiteral("Resultados ") + NomeAluno);
}

void TfRelat::bTeclasClick()
{
    auto* teclas = new TfTeclas(this);  // frees itself when closed
    if (aoTreinar)
        teclas->aoTreinar = [this](const std::u32string& fracas) {
            if (!aoTreinar(fracas)) return false;
            close();  // back to the practice window, the drill ready to start
            return true;
        };
    if (ui::protegido(this, [&] { teclas->mostrar(NomeAluno, TipoLicao, se1->value(), se2->value(), dm1->Abnt2Keyboard); }))
        teclas->exec();
    else
        teclas->deleteLater();
}
