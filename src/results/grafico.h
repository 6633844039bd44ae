#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStackedWidget;
class QTimer;
class TChart;
class TLabel3D;

// The progress charts: speed or accuracy of the listed results as a line, area or bar chart,
// ten results a page, flat or in (animated) 3-D. Reads the results table under the filter
// the results list has set, once, when it is created.
class TfGrafico : public QDialog {
    Q_OBJECT
public:
    explicit TfGrafico(QWidget* parent = nullptr);
    ~TfGrafico() override;

    TChart* GraficoAtual() const;
    void Listar();

    QStackedWidget* Notebook1;
    TChart* DBChart1;  // speed: line, area, bar
    TChart* DBChart2;
    TChart* DBChart3;
    TChart* DBChart4;  // accuracy: line, area, bar
    TChart* DBChart5;
    TChart* DBChart6;

    TLabel3D* Label1;  // "Tarvex 3"
    QRadioButton* rb1;
    QRadioButton* rb2;
    QPushButton* bit1;
    QPushButton* bit2;
    QPushButton* bit3;
    QCheckBox* CheckBox1;
    QScrollBar* ScrollBar2;
    QCheckBox* cb2;

    QPushButton* BFirstPage;
    QPushButton* bPrev;
    QPushButton* Next;
    QPushButton* BLastPage;
    QPushButton* BitBtn4;
    QPushButton* BitBtn3;

    QLabel* p3;  // page text
    QLabel* p2;  // chart name
    QLabel* p1;  // "3D" or "2D"

    QTimer* Timer1;
    int Timer1Tag = 0;  // the animation counter, 0 to 100
    bool AnimacaoDescendo = false;

public slots:
    void bit1Click();
    void bit2Click();
    void bit3Click();
    void rb1Click();
    void rb2Click();
    void CheckBox1Click();
    void ScrollBar2Change();
    void cb2Click();
    void Timer1Timer();
    void BFirstPageClick();
    void bPrevClick();
    void NextClick();
    void BLastPageClick();
    void BitBtn4Click();

private:
    void FormCreate();
    void criarGraficos();
    void criarPainelDireito();
    void criarBotoes();
    void criarStatus();
    void lerResultados();
    QString TextoPagina(const QString& inicio = QStringLiteral("Página ")) const;
    void mostrarPagina(int pagina);
};
