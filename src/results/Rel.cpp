#include "Rel.h"

#include "data/Data1.h"
#include "ui/TQuickRep.h"
#include "ui/Fontes.h"

TfAlunos4* fAlunos4 = nullptr;

TfAlunos4::TfAlunos4(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Relatório"));

    QuickRep1 = new TQuickRep(this);
    QuickRep1->DataSet = dm1 ? dm1->TabRelat : nullptr;
    QuickRep1->ReportTitle = QStringLiteral("Relatório");
    QuickRep1->MargemMm = 10;
    QuickRep1->PrintIfEmpty = false;
    QuickRep1->Font = ui::fontePixels(QStringLiteral("Arial"), 13);

    criarTitulo();
    criarCabecalho();
    criarDetalhe();
    criarResumo();

    if (!fAlunos4) fAlunos4 = this;
}

TfAlunos4::~TfAlunos4()
{
    if (fAlunos4 == this) fAlunos4 = nullptr;
}

void TfAlunos4::criarTitulo()
{
    QRBand1 = new TQRBand(QuickRep1, TQRBand::Tipo::Titulo, 163);  // about 43 mm
    QRLabel1 = new TQRLabel(QRBand1, 12, 4, 200, 16, QStringLiteral("Tarvex 3"));
    QRLabel1->Font = ui::fontePixels(QStringLiteral("Arial"), 11);
    QRSysData1 = new TQRSysData(QRBand1, 640, 4, 68, 16);
    QRSysData1->Alignment = Qt::AlignRight;

    QRLabel2 = new TQRLabel(QRBand1, 224, 30, 300, 36, QStringLiteral("Relatório das Lições"));
    QRLabel2->Font = ui::fontePixels(QStringLiteral("Arial"), 29);

    const QFont sansSerif = ui::fontePixels(QStringLiteral("MS Sans Serif"), 13);
    LNome = new TQRLabel(QRBand1, 12, 84, 400, 18);
    LTipo = new TQRLabel(QRBand1, 12, 106, 400, 18);
    qrl1 = new TQRLabel(QRBand1, 12, 128, 400, 18);
    for (TQRLabel* l : {LNome, LTipo, qrl1}) l->Font = sansSerif;
}

void TfAlunos4::criarCabecalho()
{
    QRBand2 = new TQRBand(QuickRep1, TQRBand::Tipo::CabecalhoColunas, 32);
    QRLabel3 = new TQRLabel(QRBand2, 48, 6, 66, 16, QStringLiteral("Velocidade"));
    QRLabel4 = new TQRLabel(QRBand2, 168, 6, 56, 16, QStringLiteral("Precisão"));
    QRLabel5 = new TQRLabel(QRBand2, 272, 6, 30, 16, QStringLiteral("Lição"));
    QRLabel6 = new TQRLabel(QRBand2, 344, 6, 70, 16, QStringLiteral("Resultado"));
    for (TQRLabel* l : {QRLabel3, QRLabel4, QRLabel5, QRLabel6}) l->Font.setBold(true);
    QRShape1 = new TQRShape(QRBand2, 32, 24, 645, 8);
}

void TfAlunos4::criarDetalhe()
{
    // Numbers end under the end of their caption; the "%" follows the accuracy at once.
    QRBand3 = new TQRBand(QuickRep1, TQRBand::Tipo::Detalhe, 32);
    QRDBText1 = new TQRDBText(QRBand3, 48, 8, 66, 16, QStringLiteral("VELOCIDADE"));
    QRDBText2 = new TQRDBText(QRBand3, 168, 8, 46, 16, QStringLiteral("PRECISAO"));
    QRLabel7 = new TQRLabel(QRBand3, 216, 8, 12, 16, QStringLiteral("%"));
    QRDBText3 = new TQRDBText(QRBand3, 272, 8, 30, 16, QStringLiteral("LICAO"));
    QRDBText4 = new TQRDBText(QRBand3, 344, 8, 80, 16, QStringLiteral("RESULTADO"));
    for (TQRDBText* t : {QRDBText1, QRDBText2, QRDBText3}) t->Alignment = Qt::AlignRight;
}

void TfAlunos4::criarResumo()
{
    SummaryBand1 = new TQRBand(QuickRep1, TQRBand::Tipo::Resumo, 88);
    QRShape2 = new TQRShape(SummaryBand1, 32, 0, 645, 4);
    qrl2 = new TQRLabel(SummaryBand1, 40, 20, 300, 18);
    qrl5 = new TQRLabel(SummaryBand1, 376, 20, 300, 18);
    qrl3 = new TQRLabel(SummaryBand1, 40, 48, 300, 18);
    qrl4 = new TQRLabel(SummaryBand1, 376, 48, 300, 18);
}
