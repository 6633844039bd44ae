#include "Cores.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace ui {
namespace {

bool altoContrasteLigado = false;

QPalette paletaDe(const Cores& c)
{
    QPalette p;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Window, c.fundo);
        p.setColor(g, QPalette::WindowText, c.texto);
        p.setColor(g, QPalette::Button, c.fundoBotao);
        p.setColor(g, QPalette::ButtonText, c.textoBotao);
        p.setColor(g, QPalette::Base, c.fundoCampo);
        p.setColor(g, QPalette::AlternateBase, c.fundoCampo);
        p.setColor(g, QPalette::Text, c.textoCampo);
        p.setColor(g, QPalette::Highlight, c.destaque);
        p.setColor(g, QPalette::HighlightedText, c.textoDestaque);
        p.setColor(g, QPalette::ToolTipBase, c.fundoCampo);
        p.setColor(g, QPalette::ToolTipText, c.textoCampo);
        p.setColor(g, QPalette::PlaceholderText, c.texto);
        p.setColor(g, QPalette::BrightText, c.destaque);
        p.setColor(g, QPalette::Light, c.texto);
        p.setColor(g, QPalette::Midlight, c.fundoBotao.lighter(200));
        p.setColor(g, QPalette::Mid, QColor(128, 128, 128));
        p.setColor(g, QPalette::Dark, QColor(160, 160, 160));
        p.setColor(g, QPalette::Shadow, c.texto);
    }
    p.setColor(QPalette::Disabled, QPalette::Window, c.fundo);
    p.setColor(QPalette::Disabled, QPalette::Base, c.fundoCampo);
    p.setColor(QPalette::Disabled, QPalette::Button, c.fundoBotao);
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, r, QColor(150, 150, 150));
    return p;
}

// The style draws the box of a check box and the circle of a radio button in shades of the
// window's colour, which vanish on black: here they are outlined in white and filled in
// yellow when on. (A style sheet would do it too, but would stop the windows' fonts from
// reaching their controls.)
class EstiloAltoContraste : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement elemento, const QStyleOption* opcao, QPainter* p,
                       const QWidget* w) const override
    {
        if (elemento != PE_IndicatorCheckBox && elemento != PE_IndicatorRadioButton)
            return QProxyStyle::drawPrimitive(elemento, opcao, p, w);
        const Cores& c = coresAltoContraste();
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(QPen((opcao->state & State_Enabled) ? c.texto : QColor(150, 150, 150), 2));
        p->setBrush((opcao->state & (State_On | State_NoChange)) ? c.destaque : c.fundoCampo);
        const QRectF r = QRectF(opcao->rect).adjusted(1, 1, -1, -1);
        if (elemento == PE_IndicatorRadioButton) p->drawEllipse(r);
        else p->drawRect(r);
        p->restore();
    }
};

} // namespace

const Cores& coresNormais()
{
    static const Cores c = [] {
        Cores r;
        // The windows' own palette is the style's.
        r.fundoFiguras = Qt::black;
        r.textoFiguras = QColor(0, 255, 255);
        r.fundoLicao = Qt::white;
        r.fundoLinha = QColor(255, 255, 0);
        r.textoLinha = Qt::blue;
        r.textoCopia = Qt::black;
        r.cursor = Qt::black;
        r.cursorErro = QColor(200, 0, 0);  // a full red reads 3.7:1 on the yellow
        r.teclaApagada = QColor(192, 192, 192);
        r.dedos[0] = QColor(0, 0, 255);
        r.dedos[1] = QColor(0, 255, 255);
        r.dedos[2] = QColor(255, 0, 0);
        r.dedos[3] = QColor(255, 255, 0);
        r.dedos[4] = QColor(0, 255, 0);
        r.fundoResultado = QColor(0, 0, 128);
        r.papelResultado = Qt::white;
        r.textoResultado = Qt::blue;
        r.textoSobreFundoResultado = Qt::white;
        r.tituloRecorde = QColor(255, 0, 0);
        r.pontosRecorde = QColor(255, 255, 0);
        return r;
    }();
    return c;
}

const Cores& coresAltoContraste()
{
    static const Cores c = [] {
        Cores r;
        r.altoContraste = true;
        r.contrasteMinimo = 7;
        r.fundo = Qt::black;
        r.texto = Qt::white;
        r.fundoBotao = Qt::black;
        r.textoBotao = Qt::white;
        r.fundoCampo = Qt::black;
        r.textoCampo = Qt::white;
        r.destaque = QColor(255, 255, 0);
        r.textoDestaque = Qt::black;
        r.fundoFiguras = Qt::black;
        r.textoFiguras = QColor(255, 255, 0);
        r.fundoLicao = Qt::black;
        r.fundoLinha = Qt::black;
        r.textoLinha = QColor(255, 255, 0);
        r.textoCopia = Qt::white;
        r.cursor = Qt::white;
        r.cursorErro = QColor(255, 120, 120);  // the normal red reads 5:1 on black
        r.teclaApagada = QColor(40, 40, 40);   // dark enough for white letters, its bevel still seen
        r.dedos[0] = QColor(0, 0, 255);
        r.dedos[1] = QColor(0, 255, 255);
        r.dedos[2] = QColor(255, 140, 0);  // orange: red reads 5:1 with either black or white
        r.dedos[3] = QColor(255, 255, 0);
        r.dedos[4] = QColor(0, 255, 0);
        r.fundoResultado = Qt::black;
        r.papelResultado = Qt::black;
        r.textoResultado = QColor(255, 255, 0);
        r.textoSobreFundoResultado = Qt::white;
        r.tituloRecorde = QColor(255, 255, 0);
        r.pontosRecorde = Qt::white;
        return r;
    }();
    return c;
}

const Cores& cores() { return altoContrasteLigado ? coresAltoContraste() : coresNormais(); }

void usarAltoContraste(bool ligado)
{
    if (ligado == altoContrasteLigado) return;
    altoContrasteLigado = ligado;
    // A palette that sets nothing gives the program the style's palette back.
    static const QString estiloDoSistema = QApplication::style()->name();
    QStyle* base = QStyleFactory::create(estiloDoSistema);
    if (!base) base = QStyleFactory::create(QStringLiteral("Fusion"));
    QApplication::setStyle(ligado ? new EstiloAltoContraste(base) : base);
    QApplication::setPalette(ligado ? paletaDe(coresAltoContraste()) : QPalette());
    // A widget under a style sheet (every window made over the menu) keeps the palette it was
    // polished with: the sheets are applied again so that the windows made before take the new
    // scheme whole, not a black background under black letters.
    for (QWidget* w : QApplication::allWidgets())
        if (!w->styleSheet().isEmpty()) w->setStyleSheet(w->styleSheet());
}

void colorir(QWidget* w, QPalette::ColorRole papel, const QColor& cor)
{
    QPalette pal = w->palette();
    pal.setColor(papel, cor);
    w->setPalette(pal);
}

} // namespace ui
