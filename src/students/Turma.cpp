#include "Turma.h"
#include "ui/Acessibilidade.h"

#include "DadosTurma.h"
#include "Fontes.h"
#include "RelTurma.h"
#include "data/Data1.h"
#include "platform/Ajuda.h"
#include "results/relat.h"
#include "ui/Botoes.h"
#include "ui/ExportarPlanilha.h"
#include "ui/Mensagens.h"

#include <QHeaderView>
#include <algorithm>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QGuiApplication>
#include <QScreen>
#include <QTableView>

namespace {

const int kContextoAjuda = 13;
const int kColunaNome = 0;
const int kLarguraNome = 150;  // pixels: a name of 20 capitals

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), int(s.size())); }

// The width a column's title needs: its widest line in bold (the header shows the titles of a
// selected row in bold) with its margins and, on the sorted column, the arrow the style puts at
// its right (half the header's height wide) with its own.
int larguraDoTitulo(const QHeaderView* cabecalho, int coluna)
{
    QFont negrito = cabecalho->font();
    negrito.setBold(true);
    const QFontMetrics medida(negrito);
    int maior = 0;
    const QString titulo = cabecalho->model()->headerData(coluna, Qt::Horizontal).toString();
    for (const QString& linha : titulo.split(QLatin1Char('\n'))) maior = std::max(maior, medida.horizontalAdvance(linha));
    const int margem = cabecalho->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, cabecalho);
    const bool comSeta = coluna == cabecalho->sortIndicatorSection();
    const int altura = std::max(cabecalho->sizeHint().height(), cabecalho->minimumHeight());
    return maior + 2 * margem + (comSeta ? altura / 2 + 2 * margem : 0);
}

} // namespace

// ---- model ------------------------------------------------------------------------------

void ModeloTurma::definir(const dominio::Planilha& planilha)
{
    beginResetModel();
    planilha_ = planilha;
    endResetModel();
}

int ModeloTurma::rowCount(const QModelIndex& pai) const { return pai.isValid() ? 0 : int(planilha_.linhas.size()); }

int ModeloTurma::columnCount(const QModelIndex& pai) const { return pai.isValid() ? 0 : int(planilha_.cabecalho.size()); }

QVariant ModeloTurma::data(const QModelIndex& indice, int papel) const
{
    const dominio::Celula& c = planilha_.linhas[std::size_t(indice.row())][std::size_t(indice.column())];
    using T = dominio::Celula::Tipo;
    switch (papel) {
    case Qt::DisplayRole:
        if (c.tipo == T::Numero) return qs(dominio::numeroBr(c.numero, c.casas));
        return qs(c.texto);
    case Qt::UserRole:
        // Empty figures (no results, not stuck) sort below every number.
        if (c.tipo == T::Texto) return qs(c.texto);
        return c.tipo == T::Numero ? c.numero : -1.0;
    case Qt::TextAlignmentRole:
        return int(Qt::AlignVCenter | (c.tipo == T::Texto ? Qt::AlignLeft : Qt::AlignRight));
    default:
        return {};
    }
}

QVariant ModeloTurma::headerData(int secao, Qt::Orientation orientacao, int papel) const
{
    if (orientacao != Qt::Horizontal || papel != Qt::DisplayRole) return {};
    // Titles wrap at their blanks, so narrow number columns keep the whole title.
    return qs(planilha_.cabecalho[std::size_t(secao)]).replace(QLatin1Char(' '), QLatin1Char('\n'));
}

// ---- window -----------------------------------------------------------------------------

TfTurma::TfTurma(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Turma"));
    setFont(fonteEmPixels(QStringLiteral("Verdana"), 11));

    modelo_ = new ModeloTurma(this);
    ordem_ = new QSortFilterProxyModel(this);
    ordem_->setSourceModel(modelo_);
    ordem_->setSortRole(Qt::UserRole);
    ordem_->setSortLocaleAware(true);

    Grade = new QTableView(this);
    ui::nomear(Grade, QStringLiteral("Alunos da turma"));
    Grade->setModel(ordem_);
    Grade->setSortingEnabled(true);
    Grade->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grade->setSelectionMode(QAbstractItemView::SingleSelection);
    Grade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grade->setAlternatingRowColors(true);
    Grade->verticalHeader()->setDefaultSectionSize(22);
    Grade->verticalHeader()->hide();
    Grade->horizontalHeader()->setMinimumHeight(50);
    Grade->horizontalHeader()->setStretchLastSection(true);
    Grade->setToolTip(QStringLiteral("Clique duas vezes num aluno para ver os resultados dele"));
    connect(Grade, &QTableView::activated, this, [this](const QModelIndex& i) { AbrirResultados(i.row()); });
    connect(Grade->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, &TfTurma::ajustarColunas);

    lTotais = new QLabel(this);
    lTotais->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lTotais->setWordWrap(true);
    lTotais->setContentsMargins(6, 0, 6, 0);

    linha_ = ui::linhaHorizontal(this, QRect(8, 422, 884, 2));
    bImprimir = ui::botao(this, QStringLiteral("&Imprimir"), QString(), QRect(8, 430, 96, 32));
    bExportar = ui::botao(this, QStringLiteral("&Exportar"), QString(), QRect(112, 430, 96, 32));
    BitBtn3 = ui::botaoAjuda(this, QRect(700, 430, 92, 32));
    BitBtn1 = ui::botaoSair(this, QRect(800, 430, 92, 32), this);
    // 900 wide, or the screen's width when the system's scale leaves less: the table scrolls.
    const QScreen* tela = QGuiApplication::primaryScreen();
    dispor(tela ? std::min(900, tela->availableGeometry().width() - 16) : 900);
    connect(bImprimir, &QPushButton::clicked, this, &TfTurma::bImprimirClick);
    connect(bExportar, &QPushButton::clicked, this, &TfTurma::bExportarClick);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { plataforma::mostrarAjuda(kContextoAjuda, this); });

    ui::protegido(this, [this] { Carregar(); });
    Grade->sortByColumn(kColunaNome, Qt::AscendingOrder);
}

void TfTurma::dispor(int largura)
{
    setFixedSize(largura, 470);
    Grade->setGeometry(8, 8, largura - 16, 368);
    lTotais->setGeometry(8, 382, largura - 16, 36);
    linha_->setGeometry(8, 422, largura - 16, 2);
    BitBtn3->move(largura - 200, 430);
    BitBtn1->move(largura - 100, 430);
}

void TfTurma::Carregar()
{
    const dominio::FigurasTurma turma = lerTurma();
    alunos_ = turma.linhas();
    totais_ = turma.totais();
    modelo_->definir(dominio::planilhaTurma(alunos_));

    // The table measures the cells (and the titles without the sort arrow) once; the arrow's
    // room is added to the column that shows it.
    QHeaderView* cabecalho = Grade->horizontalHeader();
    cabecalho->setSortIndicatorShown(false);
    Grade->resizeColumnsToContents();
    cabecalho->setSortIndicatorShown(true);
    larguraDasCelulas_.clear();
    for (int c = 0; c < modelo_->columnCount(); ++c) larguraDasCelulas_ << Grade->columnWidth(c);
    ajustarColunas();
    QStringList partes;
    for (const std::string& t : dominio::textosTotais(totais_)) partes << qs(t);
    lTotais->setText(partes.join(QStringLiteral("     ")));
}

// Each column as wide as its title and its cells; the name keeps room for a long one, and the
// last column takes what is left.
void TfTurma::ajustarColunas()
{
    for (int c = 0; c < larguraDasCelulas_.size(); ++c)
        Grade->setColumnWidth(c, std::max({larguraDasCelulas_[c], larguraDoTitulo(Grade->horizontalHeader(), c),
                                           c == kColunaNome ? kLarguraNome : 0}));
}

dominio::Planilha TfTurma::planilhaVisivel() const
{
    const dominio::Planilha& todas = modelo_->planilha();
    dominio::Planilha p = todas;
    p.linhas.clear();
    for (int r = 0; r < ordem_->rowCount(); ++r)
        p.linhas.push_back(todas.linhas[std::size_t(ordem_->mapToSource(ordem_->index(r, 0)).row())]);
    return p;
}

void TfTurma::AbrirResultados(int linhaVisivel)
{
    const int linha = ordem_->mapToSource(ordem_->index(linhaVisivel, 0)).row();
    if (linha < 0 || linha >= int(alunos_.size())) return;
    const dominio::FigurasAluno& aluno = alunos_[std::size_t(linha)];

    auto* relat = new TfRelat(this);
    relat->NomeAluno = qs(aluno.nome);
    relat->TipoLicao = qs(aluno.tipo);
    // Every result the row counts, also those above a lesson the teacher lowered since.
    relat->UltimaLicao = std::max(aluno.licao, aluno.totalLicoes);
    relat->exec();
}

void TfTurma::bImprimirClick()
{
    ui::protegido(this, [this] {
        TfRelTurma relatorio(planilhaVisivel(), totais_);
        relatorio.Preview(this);
    });
}

void TfTurma::bExportarClick()
{
    ui::exportarPlanilha(this, planilhaVisivel(), QStringLiteral("Turma"));
}

void abrirTurma(QWidget* pai)
{
    TfTurma janela(pai);
    janela.exec();
}
