#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// What the start copies from the shipped data folder into the working folder. The files of a
// table go together: a table whose files are all missing is copied whole; one with some files
// present and others missing is damaged, and nothing is copied beside the user's own files.
struct PlanoCopia {
    QStringList copiar;                // file names to copy, in the given order
    QStringList tabelasIncompletas;    // "LicaoB.dbf (falta LicaoB.fpt)"
};

PlanoCopia planejarCopia(const QStringList& arquivos, const std::function<bool(const QString&)>& existe);
