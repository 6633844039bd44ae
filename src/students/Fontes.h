#pragma once
#include <QFont>
#include <QString>

// The fonts the student windows are drawn in, asked for by name and size in pixels.
inline QFont fonteEmPixels(const QString& familia, int pixels)
{
    QFont f(familia);
    f.setPixelSize(pixels);
    return f;
}
