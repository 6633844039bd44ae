#include "Cores.h"

#include <QApplication>
#include <QPalette>

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
    QApplication::setPalette(ligado ? paletaDe(coresAltoContraste()) : QPalette());
}

} // namespace ui
