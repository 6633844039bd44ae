#include "Exibicao.h"

#include <QGuiApplication>

namespace plataforma {

bool janelaNovaEPreta()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace plataforma
