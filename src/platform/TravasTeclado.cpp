#include "TravasTeclado.h"

#include <QGuiApplication>

#if defined(TARVEX_COM_XKB)
#include <X11/XKBlib.h>
#include <cstring>
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
