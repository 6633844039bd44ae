#include "TLabel3D.h"

#include <QPainter>

TLabel3D::TLabel3D(const QString& texto, QWidget* parent) : QLabel(texto, parent) {}

void TLabel3D::setEstilo(Estilo estilo) { estilo_ = estilo; update(); }
void TLabel3D::setProfundidade(int pixels) { profundidade_ = std::max(0, pixels); updateGeometry(); update(); }
void TLabel3D::setCorSombra(const QColor& cor) { sombra_ = cor; update(); }
void TLabel3D::setCorLuz(const QColor& cor) { luz_ = cor; update(); }

QSize TLabel3D::sizeHint() const
{
    const QSize base = QLabel::sizeHint();
    return base + QSize(profundidade_ + 1, profundidade_ + 1);
}

void TLabel3D::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    const QRect area = contentsRect().adjusted(1, 1, -profundidade_, -profundidade_);
    const int flags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    const QString t = text();
    auto escrever = [&](int dx, int dy, const QColor& cor) {
        p.setPen(cor);
        p.drawText(area.translated(dx, dy), flags, t);
    };
    const int d = profundidade_;
    switch (estilo_) {
    case Estilo::Raised:
        escrever(-1, -1, luz_);
        escrever(d, d, sombra_);
        break;
    case Estilo::Recessed:
        escrever(-1, -1, sombra_);
        escrever(1, 1, luz_);
        break;
    case Estilo::Shadow: escrever(d, d, sombra_); break;
    case Estilo::Extrusion:
        for (int i = d; i >= 1; --i) escrever(i, i, sombra_);
        break;
    }
    escrever(0, 0, palette().color(QPalette::WindowText));
}
