#include "Exibicao.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace plataforma {

QSize areaLivre(const QWidget* janela)
{
    const QScreen* tela = janela && janela->screen() ? janela->screen() : QGuiApplication::primaryScreen();
    return tela ? tela->availableGeometry().size() - QSize(16, 48) : QSize(1264, 976);
}

bool janelaNovaEPreta()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace plataforma
