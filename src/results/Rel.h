#pragma once
#include <QWidget>

class TQRBand;
class TQRDBText;
class TQRLabel;
class TQRShape;
class TQRSysData;
class TQuickRep;

// The form that carries the results report. Made once when the program starts and never shown
// as a window: only QuickRep1 is used, filled in and previewed by the results list.
class TfAlunos4 : public QWidget {
    Q_OBJECT
public:
    explicit TfAlunos4(QWidget* parent = nullptr);
    ~TfAlunos4() override;

    TQuickRep* QuickRep1;

    TQRBand* QRBand1;  // title
    TQRLabel* QRLabel1;
    TQRLabel* QRLabel2;
    TQRLabel* LNome;
    TQRLabel* LTipo;
    TQRLabel* qrl1;
    TQRSysData* QRSysData1;

    TQRBand* QRBand2;  // column header
    TQRLabel* QRLabel3;
    TQRLabel* QRLabel4;
    TQRLabel* QRLabel5;
    TQRLabel* QRLabel6;
    TQRShape* QRShape1;

    TQRBand* QRBand3;  // one per result
    TQRDBText* QRDBText1;
    TQRDBText* QRDBText2;
    TQRLabel* QRLabel7;
    TQRDBText* QRDBText3;
    TQRDBText* QRDBText4;

    TQRBand* SummaryBand1;
    TQRShape* QRShape2;
    TQRLabel* qrl2;
    TQRLabel* qrl3;
    TQRLabel* qrl4;
    TQRLabel* qrl5;

private:
    void criarTitulo();
    void criarCabecalho();
    void criarDetalhe();
    void criarResumo();
};

// The program's report form (null until the program entry makes it).
extern TfAlunos4* fAlunos4;
