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

// The font made for dyslexic readers (Debian's fonts-opendyslexic), its fixed-width cut first
// so that the copy stands under the line letter by letter; empty when it is not installed.
QString familiaDislexia();

} // namespace ui
