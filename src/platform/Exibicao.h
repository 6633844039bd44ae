#pragma once

namespace plataforma {

// What the display system does with the pixels of a new window that nobody painted. On X11 (and
// offscreen) the buffer is all zeros, which is opaque black, and pages never written cost no
// memory; under Wayland zeros are transparent and the compositor shows whatever lies behind.
bool janelaNovaEPreta();

} // namespace plataforma
