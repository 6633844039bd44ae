#pragma once

class QWidget;

namespace ui {

// Gives a widget laid out in pixels its geometry and font size as made, times `fator`: the
// first call notes them, so that the next ones (another student, another size) start from them.
void escalar(QWidget* w, double fator);

// A window laid out in pixels that its screen's free area cannot hold (a large scale of the
// whole program): its contents go into an area that scrolls, and the window keeps to the
// screen. Call once its controls are made.
void caberNaTela(QWidget* janela);

} // namespace ui
