#include "IconeSobDemanda.h"

#include "ui/FiguraPng.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

namespace {

// A window asks for its icon more than once while it is made, and at start-up the menu's window
// is made right after the splash's: the picture decoded for the first ask serves the asks of the
// next second, then it is let go.
constexpr int kGuardaMs = 1000;

struct Recente {
    QString arquivo;
    QImage imagem;
};

Recente& recente()
{
    static Recente r;
    return r;
}

QImage decodificar(const QString& arquivo)
{
    Recente& r = recente();
    if (r.arquivo == arquivo && !r.imagem.isNull()) return r.imagem;
    r = {arquivo, ui::lerFiguraPng(arquivo)};
    if (!r.imagem.isNull() && QCoreApplication::instance())
        QTimer::singleShot(kGuardaMs, QCoreApplication::instance(), [] { recente() = {}; });
    return r.imagem;
}

} // namespace

IconeSobDemanda::IconeSobDemanda(const QString& arquivo)
    : arquivo_(arquivo), tamanho_(arquivo.isEmpty() ? QSize() : ui::tamanhoFiguraPng(arquivo))
{
}

// Like a plain file icon: the picture at its own size, or scaled down (never up) to fit.
QSize IconeSobDemanda::actualSize(const QSize& tamanho, QIcon::Mode, QIcon::State)
{
    if (tamanho_.isEmpty()) return {};
    if (tamanho_.width() <= tamanho.width() && tamanho_.height() <= tamanho.height()) return tamanho_;
    return tamanho_.scaled(tamanho, Qt::KeepAspectRatio);
}

QPixmap IconeSobDemanda::pixmap(const QSize& tamanho, QIcon::Mode modo, QIcon::State estado)
{
    if (arquivo_.isEmpty()) return {};
    QImage imagem = decodificar(arquivo_);
    if (imagem.isNull()) return {};
    const QSize final = actualSize(tamanho, modo, estado);
    if (final != imagem.size()) imagem = imagem.scaled(final, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return QPixmap::fromImage(std::move(imagem));
}

void IconeSobDemanda::paint(QPainter* pintor, const QRect& area, QIcon::Mode modo, QIcon::State estado)
{
    const QPixmap figura = pixmap(area.size(), modo, estado);
    const QRect alvo(area.topLeft() + QPoint((area.width() - figura.width()) / 2, (area.height() - figura.height()) / 2),
                     figura.size());
    pintor->drawPixmap(alvo, figura);
}

QList<QSize> IconeSobDemanda::availableSizes(QIcon::Mode, QIcon::State)
{
    if (tamanho_.isEmpty()) return {};
    return {tamanho_};
}

QIconEngine* IconeSobDemanda::clone() const { return new IconeSobDemanda(arquivo_); }
