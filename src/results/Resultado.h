#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// The result of the lesson just finished, on a sheet of notepaper, with a pass or fail mark for
// speed, accuracy and the whole lesson. The end of a lesson fills it and shows it.
class TfResultado : public QDialog {
    Q_OBJECT
public:
    explicit TfResultado(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label6;  // title
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* LabelX;
    QLabel* Label1;  // lesson number
    QLabel* Label2;  // speed
    QLabel* Label3;  // accuracy
    QLabel* Label4;  // duration
    QLabel* Label5;  // "Aprovado" / "Reprovado"
    QLabel* Iv1;     // speed failed
    QLabel* Iv2;     // speed passed
    QLabel* Ip1;
    QLabel* Ip2;
    QLabel* Ir1;     // lesson failed (sad face)
    QLabel* Ir2;     // lesson passed (smiling face)
    QPushButton* BitBtn1;

    // Fills the labels and shows exactly one mark of each pair.
    void preencher(int licao, int velocidade, int precisao, const QString& duracao,
                   const QString& resultado, bool velocidadeAtingida, bool precisaoAtingida);

    // One more line under the result, naming the key missed most (an empty text adds none).
    void mostrarTeclaMaisErrada(const QString& texto);
    QLabel* TeclaMaisErrada = nullptr;

public slots:
    void Sp1Click();
};
