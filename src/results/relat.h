#pragma once
#include <QDialog>
#include <QString>

#include <functional>
#include <string>

class QLabel;
class QPushButton;
class TDataSource;
class TDBGrid;
class TSpinEdit;
class TStatusBar;

// The results list: one student's stored results of one course type over a range of lessons,
// with their count, average speed, average accuracy and share of passed lessons. The charts
// and the printed report show the same selection.
class TfRelat : public QDialog {
    Q_OBJECT
public:
    explicit TfRelat(QWidget* parent = nullptr);

    // Set by the opener before showing.
    QString NomeAluno;
    QString TipoLicao;
    qint32 UltimaLicao = 0;
    // Set by the practice window: "Treinar estas teclas" in the Teclas window starts its drill.
    std::function<bool(const std::u32string&)> aoTreinar;

    QPushButton* BitBtn2;  // "&Gráficos"
    QPushButton* bImp;     // "&Imprimir"
    QPushButton* BitBtn5;  // "&Sair"
    QPushButton* BitBtn1;  // "&Ajuda"
    QPushButton* bExportar;  // "&Exportar"
    QLabel* Label1;
    TSpinEdit* se1;
    QLabel* Label2;
    TSpinEdit* se2;
    QPushButton* b1;       // "&Listar"
    QPushButton* bTeclas;  // "&Teclas": the key figures of the same selection
    TDataSource* DataSource1;
    TDBGrid* DBGrid1;
    QLabel* lTotal;
    QLabel* lIndice;
    QLabel* lVeloc;
    QLabel* lPrec;
    TStatusBar* StatusBar1;

    void FormShow();
    void ListarLicoes();

public slots:
    void b1Click();
    void BitBtn2Click();
    void bImpClick();
    void BitBtn1Click();
    // Writes the listed results to a spreadsheet file.
    void bExportarClick();
    void bTeclasClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void criarBotoes();
    void criarFaixa();
    void criarResumo();
    void mostrarResumo(qint32 total, qint32 somaVeloc, qint32 somaPrec, qint32 aprovados);
    static void ajustarValor(TSpinEdit* spin, int valor);

    bool mostrada_ = false;
};
