#pragma once
#include <QColor>
#include <QPalette>

class QWidget;

// The colours the windows paint with, in one place: the normal scheme, or the high-contrast
// one (light text on black) for a student who sees little. Every text against its background
// reaches the scheme's minimum contrast.
namespace ui {

struct Cores {
    bool altoContraste = false;
    double contrasteMinimo = 4.5;
    // Windows and dialogs without colours of their own (the program's palette; unset in the
    // normal scheme, which keeps the style's).
    QColor fundo, texto, fundoBotao, textoBotao, fundoCampo, textoCampo, destaque, textoDestaque;
    // The practice: the figures panel, the text panel with the line and the copy, the cursor.
    QColor fundoFiguras, textoFiguras;
    QColor fundoLicao, fundoLinha, textoLinha, textoCopia, cursor, cursorErro;
    // The keyboard guide: a key not lit, and each finger's colour (thumb to little finger) on
    // the lit keys and the finger buttons. A key's letters are black or white, as they read.
    QColor teclaApagada;
    QColor dedos[5];
    // The result window: its background (under the notepad), and the texts on the notepad.
    // The new-record window stands on the same background.
    QColor fundoResultado, papelResultado, textoResultado, textoSobreFundoResultado;
    QColor tituloRecorde, pontosRecorde;
};

const Cores& coresNormais();
const Cores& coresAltoContraste();
// The scheme in use: the normal one until a student with high contrast is chosen.
const Cores& cores();
// Changes the scheme of the run, and the program's palette with it. Windows made after take
// it; the practice window repaints itself when it shows.
void usarAltoContraste(bool ligado);

// One colour of a widget's own palette.
void colorir(QWidget* w, QPalette::ColorRole papel, const QColor& cor);

} // namespace ui
