#include "RelTurma.h"

#include "ui/Fontes.h"
#include "ui/TQuickRep.h"
#include "ui/TabelaDeRelatorio.h"

namespace {

// Width of each column on the page (718 report pixels across, 4 between columns), in the
// order of the class sheet; the titles are the sheet's, one word a line.
const int kLarguras[] = {136, 58, 76, 40, 36, 56, 52, 50, 52, 60, 62};
const int kEntreColunas = 4;

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), int(s.size())); }

QString textoCelula(const dominio::Celula& c)
{
    return c.tipo == dominio::Celula::Tipo::Numero ? qs(dominio::numeroBr(c.numero, c.casas)) : qs(c.texto);
}

} // namespace

TfRelTurma::TfRelTurma(const dominio::Planilha& turma, const dominio::TotaisTurma& totais, QObject* parent)
    : QObject(parent)
{
    QVector<QStringList> linhas;
    for (const auto& linha : turma.linhas) {
        QStringList textos;
        for (const dominio::Celula& c : linha) textos << textoCelula(c);
        linhas << textos;
    }
    linhas_ = new TabelaDeRelatorio(int(turma.cabecalho.size()), linhas, this);

    QuickRep1 = new TQuickRep(this);
    QuickRep1->DataSet = linhas_->tabela();
    QuickRep1->ReportTitle = QStringLiteral("Relatório da Turma");
    QuickRep1->PrintIfEmpty = true;
    QuickRep1->Font = ui::fontePixels(QStringLiteral("Arial"), 11);
    criarBandas(turma, totais);
}

void TfRelTurma::criarBandas(const dominio::Planilha& turma, const dominio::TotaisTurma& totais)
{
    auto* titulo = new TQRBand(QuickRep1, TQRBand::Tipo::Titulo, 110);
    cabecalhoDoRelatorio(titulo, QStringLiteral("Relatório da Turma"),
                         QStringLiteral("Onde está cada aluno: lição, médias e aprovação"));

    auto* cabecalho = new TQRBand(QuickRep1, TQRBand::Tipo::CabecalhoColunas, 52);
    auto* detalhe = new TQRBand(QuickRep1, TQRBand::Tipo::Detalhe, 22);
    int esquerda = 0;
    for (std::size_t i = 0; i < turma.cabecalho.size() && i < std::size(kLarguras); ++i) {
        const int largura = kLarguras[i];
        const QString texto = qs(turma.cabecalho[i]).replace(QLatin1Char(' '), QLatin1Char('\n'));
        auto* rotulo = new TQRLabel(cabecalho, esquerda, 2, largura, 42, texto);
        rotulo->Font = ui::fontePixels(QStringLiteral("Arial"), 9, true);
        auto* valor = new TQRDBText(detalhe, esquerda, 3, largura, 16, TabelaDeRelatorio::campo(int(i)));
        // Name, type and level to the left, the figures to the right, titles above their values.
        valor->Alignment = i < 3 ? Qt::AlignLeft : Qt::AlignRight;
        rotulo->Alignment = valor->Alignment;
        esquerda += largura + kEntreColunas;
    }
    new TQRShape(cabecalho, 0, 46, 718, 6);

    auto* resumo = new TQRBand(QuickRep1, TQRBand::Tipo::Resumo, 70);
    new TQRShape(resumo, 0, 0, 718, 4);
    const std::vector<std::string> textos = dominio::textosTotais(totais);
    for (std::size_t i = 0; i < textos.size(); ++i) {
        auto* l = new TQRLabel(resumo, 12 + int(i % 3) * 240, 16 + int(i / 3) * 24, 230, 18, qs(textos[i]));
        l->Font = ui::fontePixels(QStringLiteral("Arial"), 13);
    }
}

void TfRelTurma::Preview(QWidget* pai) { QuickRep1->Preview(pai); }

bool TfRelTurma::exportarPdf(const QString& arquivo) { return QuickRep1->exportarPdf(arquivo); }
