#pragma once
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

#include "ui/Fontes.h"

// Fonts and pictures shared by the administration windows.
namespace admin {

using ui::fontePixels;

const QColor kMarinho(0, 0, 128);

} // namespace admin
