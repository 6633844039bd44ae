#pragma once
#include <QImage>
#include <QSize>
#include <QString>

namespace ui {

// The program's own pictures are PNG files. Read as PNG, and only as PNG, Qt does not load its
// other picture plugins (GIF, ICO, JPEG and their libraries) to ask each whether it knows the
// file: the menu's start-up reads its pictures a millisecond sooner and holds less.
// A file that cannot be read as PNG gives a null picture (an empty size).
QImage lerFiguraPng(const QString& arquivo);
QSize tamanhoFiguraPng(const QString& arquivo);

} // namespace ui
