#pragma once
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

// Fonts and pictures shared by the administration windows.
namespace admin {

// A font asked for by name and size in pixels.
inline QFont fontePixels(const QString& familia, int pixels)
{
    QFont f(familia);
    f.setPixelSize(pixels);
    return f;
}

const QColor kMarinho(0, 0, 128);

} // namespace admin
