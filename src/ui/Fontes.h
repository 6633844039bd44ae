#pragma once
#include <QFont>
#include <QString>

namespace ui {

// A font asked for by name and size in pixels, as the windows are laid out in pixels.
inline QFont fontePixels(const QString& familia, int pixels, bool negrito = false)
{
    QFont f(familia);
    f.setPixelSize(pixels);
    f.setBold(negrito);
    return f;
}

} // namespace ui
