#pragma once
#include "ui/Fontes.h"

// The student windows ask for their fonts by name and size in pixels.
inline QFont fonteEmPixels(const QString& familia, int pixels) { return ui::fontePixels(familia, pixels); }
