#include "Falador.h"

#include "platform/Voz.h"

#include <QEvent>
#include <QWidget>

QString Falador::frase(const QWidget* janela)
{
    QString r = janela->windowTitle();
    if (!janela->accessibleDescription().isEmpty()) r += QStringLiteral(". ") + janela->accessibleDescription();
    return r;
}

bool Falador::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show || !plataforma::falando() || !watched->isWidgetType()) return false;
    const auto* janela = static_cast<QWidget*>(watched);
    if (janela->isWindow() && !janela->windowTitle().isEmpty()) plataforma::dizer(frase(janela));
    return false;
}
