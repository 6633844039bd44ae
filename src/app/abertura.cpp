#include "abertura.h"

#include "IconeSobDemanda.h"

#include "ui/FiguraPng.h"

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>

TfAbertura::TfAbertura(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(399, 199);
    // A splash is never listed in a task bar: without an icon of its own, the program's picture
    // (a quarter of a megabyte) is not sent to the display for it while the program starts.
    setWindowIcon(QIcon(new IconeSobDemanda(QString())));
    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, 400, 200);
    // Not through the pixmap cache, which would keep the picture long after the splash is gone.
    Image1->setPixmap(QPixmap::fromImage(ui::lerFiguraPng(QStringLiteral(":/imagens/abertura.png"))));
    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->geometry().center() - rect().center());
}
