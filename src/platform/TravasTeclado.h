#pragma once
#include <optional>

namespace plataforma {

// The keyboard's lock lights as the system keeps them. On X11 the XKB indicator state; under
// Wayland the locked modifiers of the last key typed (unknown before the first); on Windows the
// toggle state of the keys; elsewhere unknown (nullopt).
struct EstadoTravas {
    bool caps = false;
    bool num = false;
};
std::optional<EstadoTravas> estadoTravas();

} // namespace plataforma
