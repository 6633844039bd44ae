#pragma once
#include <QSize>

class QWidget;

namespace plataforma {

// The room a window has on its screen (the primary one before it is shown), less a window
// manager's frame and title: a larger scale of the whole program leaves less.
QSize areaLivre(const QWidget* janela);

// What the display system does with the pixels of a new window that nobody painted. On X11 (and
// offscreen) the buffer is all zeros, which is opaque black, and pages never written cost no
// memory; under Wayland zeros are transparent and the compositor shows whatever lies behind.
bool janelaNovaEPreta();

} // namespace plataforma
