#include "abertura.h"

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>

TfAbertura::TfAbertura(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(399, 199);
    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, 400, 200);
    // Not through the pixmap cache, which would keep the picture long after the splash is gone.
    Image1->setPixmap(QPixmap::fromImage(QImage(QStringLiteral(":/imagens/abertura.png"))));
    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->geometry().center() - rect().center());
}
