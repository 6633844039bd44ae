#include "RelTeclas.h"

#include "ui/Fontes.h"
#include "ui/TQuickRep.h"
#include "ui/TabelaDeRelatorio.h"

namespace {

// Left edge and width of each column of the list, in report pixels (718 across).
const int kColunas[][2] = {{40, 70}, {120, 100}, {230, 120}, {360, 320}};

} // namespace

TfRelTeclas::TfRelTeclas(const FolhaTeclas& folha, QObject* parent) : QObject(parent)
{
    linhas_ = new TabelaDeRelatorio(int(std::size(kColunas)), folha.linhas, this);
    QuickRep1 = new TQuickRep(this);
    QuickRep1->DataSet = linhas_->tabela();
    QuickRep1->ReportTitle = QStringLiteral("Teclas");
    QuickRep1->PrintIfEmpty = true;  // the keyboard says something even without a weak key
    QuickRep1->Font = ui::fontePixels(QStringLiteral("Arial"), 13);
    criarTitulo(folha);
    criarLista(folha);
}

// Title, the keyboard centred on the page, its legend and the list's caption.
void TfRelTeclas::criarTitulo(const FolhaTeclas& folha)
{
    const int topoTeclado = 104;
    const int topoLegenda = topoTeclado + folha.tamanhoTeclado.height() + 12;
    auto* titulo = new TQRBand(QuickRep1, TQRBand::Tipo::Titulo, topoLegenda + 64);
    cabecalhoDoRelatorio(titulo, QStringLiteral("Teclas"), folha.titulo);

    const int esquerda = (718 - folha.tamanhoTeclado.width()) / 2;
    for (const QuadroTecla& q : folha.teclado) {
        auto* tecla = new TQRQuadro(titulo, esquerda + q.geometria.x(), topoTeclado + q.geometria.y(),
                                    q.geometria.width(), q.geometria.height(), q.legenda, q.cor);
        tecla->Font = ui::fontePixels(QStringLiteral("Arial"), q.tamanhoFonte, true);
    }

    new TQRLabel(titulo, 40, topoLegenda, 110, 20, QStringLiteral("Erros por tecla:"));
    int x = 152;
    for (const auto& [texto, cor] : folha.legenda) {
        auto* quadro = new TQRQuadro(titulo, x, topoLegenda, 82, 20, texto, cor);
        quadro->Font = ui::fontePixels(QStringLiteral("Arial"), 11);
        x += 88;
    }
    auto* fracas = new TQRLabel(titulo, 40, topoLegenda + 40, 300, 20, QStringLiteral("Teclas mais fracas:"));
    fracas->Font.setBold(true);
}

void TfRelTeclas::criarLista(const FolhaTeclas& folha)
{
    auto* cabecalho = new TQRBand(QuickRep1, TQRBand::Tipo::CabecalhoColunas, 30);
    auto* detalhe = new TQRBand(QuickRep1, TQRBand::Tipo::Detalhe, 22);
    for (int i = 0; i < int(std::size(kColunas)); ++i) {
        auto* rotulo = new TQRLabel(cabecalho, kColunas[i][0], 4, kColunas[i][1], 16, folha.cabecalho.value(i));
        rotulo->Font.setBold(true);
        new TQRDBText(detalhe, kColunas[i][0], 3, kColunas[i][1], 16, TabelaDeRelatorio::campo(i));
    }
    new TQRShape(cabecalho, 32, 22, 654, 8);
}

void TfRelTeclas::Preview(QWidget* pai) { QuickRep1->Preview(pai); }

bool TfRelTeclas::exportarPdf(const QString& arquivo) { return QuickRep1->exportarPdf(arquivo); }
