#pragma once
#include "domain/Planilha.h"

#include <QString>

class QWidget;

namespace ui {

// Writes the sheet to `arquivo`: an OpenDocument spreadsheet when the name ends in ".ods",
// otherwise CSV. The file is replaced whole or not at all. False with `erro` set on failure.
bool gravarPlanilha(const QString& arquivo, const dominio::Planilha& planilha, QString* erro = nullptr);

// Asks where to save (CSV or .ods, `nomeSugerido` in the home folder) and writes the sheet;
// a failure is shown in the error box. Returns the file written, empty when none.
QString exportarPlanilha(QWidget* pai, const dominio::Planilha& planilha, const QString& nomeSugerido);

} // namespace ui
