#include "Escala.h"

#include <QFont>
#include "platform/Exibicao.h"

#include <QRect>
#include <QScrollArea>
#include <QStyle>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace ui {
namespace {

const char* const kGeometria = "geometriaComoFeita";
const char* const kFonte = "fonteComoFeita";

int vezes(int n, double f) { return int(std::lround(n * f)); }

} // namespace

void escalar(QWidget* w, double fator)
{
    if (!w->property(kGeometria).isValid()) {
        w->setProperty(kGeometria, w->geometry());
        w->setProperty(kFonte, w->font().pixelSize());
    }
    const QRect g = w->property(kGeometria).toRect();
    w->setGeometry(vezes(g.x(), fator), vezes(g.y(), fator), vezes(g.width(), fator), vezes(g.height(), fator));
    if (const int px = w->property(kFonte).toInt(); px > 0) {
        QFont f = w->font();
        f.setPixelSize(std::max(1, vezes(px, fator)));
        w->setFont(f);
    }
}

void caberNaTela(QWidget* janela)
{
    const QSize livre = plataforma::areaLivre(janela);
    const QSize feita = janela->size();
    if (feita.width() <= livre.width() && feita.height() <= livre.height()) return;
    auto* conteudo = new QWidget;
    conteudo->setFixedSize(feita);
    for (QWidget* w : janela->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w->isWindow()) continue;
        const bool escondido = w->isHidden();
        w->setParent(conteudo);
        w->setHidden(escondido);
    }
    auto* area = new QScrollArea(janela);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(conteudo);
    // Room for the scroll bar beside the contents where the screen has it.
    const int barra = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize quer = feita;
    if (feita.height() > livre.height()) quer.rwidth() += barra;
    if (feita.width() > livre.width()) quer.rheight() += barra;
    const QSize cabe = quer.boundedTo(livre);
    janela->setFixedSize(cabe);
    area->setGeometry(0, 0, cabe.width(), cabe.height());
}

} // namespace ui
