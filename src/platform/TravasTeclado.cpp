#include "TravasTeclado.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace plataforma {
namespace {

// Under Wayland a client cannot ask for the lock lights: the compositor sends the locked
// modifiers with the keyboard's state, which Qt hands on with every key event. The state of the
// last key typed in the program stands for the lights; before the first, they are unknown.
class TravasPelasTeclas : public QObject {
public:
    std::optional<EstadoTravas> estado;

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
            // The core modifiers come first in every keymap: Lock is bit 1, Mod2 (Num Lock) bit 4.
            const quint32 mods = static_cast<QKeyEvent*>(e)->nativeModifiers();
            estado = EstadoTravas{(mods & (1u << 1)) != 0, (mods & (1u << 4)) != 0};
        }
        return false;
    }
};

std::optional<EstadoTravas> travasNoWayland()
{
    static TravasPelasTeclas* travas = [] {
        auto* t = new TravasPelasTeclas;
        t->setParent(qGuiApp);
        return t;
    }();
    // Installed again at every look, which puts it first: a window that takes every key of a
    // run with a filter of its own (the practice window) installs it later, and would hide them.
    qGuiApp->installEventFilter(travas);
    return travas->estado;
}

} // namespace
} // namespace plataforma

// After Qt's event names: Xlib's macros (KeyPress among them) would clash with them.
#if defined(TARVEX_COM_XKB)
#include <X11/XKBlib.h>
#elif defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace plataforma {

#if defined(TARVEX_COM_XKB)
namespace {

// The indicator's bit in the state mask, found by name (servers number them differently).
bool indicadorLigado(Display* d, const char* nome, unsigned estado)
{
    const Atom atomo = XInternAtom(d, nome, True);
    if (atomo == None) return false;
    int indice = -1;
    Bool ligado = False;
    if (XkbGetNamedIndicator(d, atomo, &indice, &ligado, nullptr, nullptr)) return ligado;
    return indice >= 0 && (estado & (1u << indice));
}

} // namespace
#endif

std::optional<EstadoTravas> estadoTravas()
{
    if (qGuiApp && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return travasNoWayland();
#if defined(TARVEX_COM_XKB)
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        Display* d = x11->display();
        unsigned estado = 0;
        if (!d || XkbGetIndicatorState(d, XkbUseCoreKbd, &estado) != Success) return std::nullopt;
        return EstadoTravas{indicadorLigado(d, "Caps Lock", estado), indicadorLigado(d, "Num Lock", estado)};
    }
#elif defined(Q_OS_WIN)
    return EstadoTravas{(GetKeyState(VK_CAPITAL) & 1) != 0, (GetKeyState(VK_NUMLOCK) & 1) != 0};
#endif
    return std::nullopt;
}

} // namespace plataforma
