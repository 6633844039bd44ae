#include "Recordes.h"

#include "platform/SomWave.h"
#include "ui/Cores.h"
#include "ui/TLabel3D.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

TfRecordes::TfRecordes(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Novo recorde"));
    setFixedSize(407, 210);
    setAttribute(Qt::WA_DeleteOnClose);
    const ui::Cores& cores = ui::cores();
    setStyleSheet(QStringLiteral("TfRecordes { background: %1; }").arg(cores.fundoResultado.name()));

    Image1 = new QLabel(this);
    Image1->setGeometry(8, 8, 110, 194);
    Image1->setPixmap(QPixmap(QStringLiteral(":/imagens/trofeu.png")));

    Label1 = new TLabel3D(QStringLiteral("Novo Recorde"), this);
    QFont f1(QStringLiteral("Arial"));
    f1.setPixelSize(32);
    f1.setBold(true);
    Label1->setFont(f1);
    Label1->setEstilo(TLabel3D::Estilo::Extrusion);
    Label1->setProfundidade(12);
    Label1->setCorSombra(Qt::yellow);
    Label1->setStyleSheet(QStringLiteral("color: %1;").arg(cores.tituloRecorde.name()));
    Label1->setGeometry(132, 14, 268, 60);
    Label1->setAlignment(Qt::AlignCenter);

    Label2 = new TLabel3D(QStringLiteral("1200 pontos"), this);
    QFont f2(QStringLiteral("Arial Black"));
    f2.setPixelSize(29);
    f2.setWeight(QFont::Black);
    Label2->setFont(f2);
    Label2->setEstilo(TLabel3D::Estilo::Shadow);
    Label2->setProfundidade(5);
    Label2->setCorSombra(Qt::black);
    Label2->setStyleSheet(QStringLiteral("color: %1;").arg(cores.pontosRecorde.name()));
    Label2->setGeometry(132, 90, 268, 50);
    Label2->setAlignment(Qt::AlignCenter);

    BitBtn1 = new QPushButton(QIcon(QStringLiteral(":/imagens/ok16.png")), QStringLiteral("OK"), this);
    BitBtn1->setGeometry(228, 168, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TfRecordes::MagicButton1Click);

    Timer1 = new QTimer(this);
    Timer1->setInterval(600);
    connect(Timer1, &QTimer::timeout, this, &TfRecordes::Timer1Timer);
    Timer1->start();
    Timer2 = new QTimer(this);
    Timer2->setInterval(500);
    connect(Timer2, &QTimer::timeout, this, &TfRecordes::Timer2Timer);
    Timer2->start();

    Lwave1 = new plataforma::SomWave(QStringLiteral(":/sons/fanfarra.wav"), this);
}

TfRecordes::~TfRecordes() = default;

void TfRecordes::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The fanfare plays whatever the sound setting.
    Lwave1->tocar();
}

void TfRecordes::closeEvent(QCloseEvent* event)
{
    Lwave1->parar();
    QDialog::closeEvent(event);
}

void TfRecordes::Timer1Timer() { Label2->setVisible(!Label2->isVisible()); }
void TfRecordes::Timer2Timer() { Label1->setVisible(!Label1->isVisible()); }

void TfRecordes::MagicButton1Click()
{
    Timer2->stop();
    close();
}
