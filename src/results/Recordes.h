#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;
class TLabel3D;
namespace plataforma {
class SomWave;
}

// The announcement of a new record: blinking labels and a fanfare.
class TfRecordes : public QDialog {
    Q_OBJECT
public:
    explicit TfRecordes(QWidget* parent = nullptr);
    ~TfRecordes() override;

    QLabel* Image1;
    TLabel3D* Label1;  // "Novo Recorde"
    TLabel3D* Label2;  // "<score> pontos"
    QPushButton* BitBtn1;
    QTimer* Timer1;    // blinks Label2
    QTimer* Timer2;    // blinks Label1
    plataforma::SomWave* Lwave1;

public slots:
    void Timer1Timer();
    void Timer2Timer();
    void MagicButton1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
