#pragma once
#include "xbase/Error.h"

#include <QString>
#include <QStringList>
#include <functional>

// What the start offers for a working table that did not open, by the kind of the failure.
enum class Remedio {
    Reparar,       // its files are damaged, or its index or memo file is missing beside it
    TentarDeNovo,  // another computer holds it for a moment
    Desistir,      // nothing the program can mend; the windows that need it say why
};
Remedio remedioPara(xbase::ErrorKind tipo, bool dbfExiste);

// What the start copies from the shipped data folder into the working folder. The files of a
// table go together: a table whose files are all missing is copied whole; one with some files
// present and others missing is damaged, and nothing is copied beside the user's own files:
// one whose .dbf is there is offered the repair when it is opened, one without it is reported.
struct PlanoCopia {
    QStringList copiar;                // file names to copy, in the given order
    QStringList tabelasIncompletas;    // "LicaoB.dbf (falta LicaoB.fpt)"
};

PlanoCopia planejarCopia(const QStringList& arquivos, const std::function<bool(const QString&)>& existe);
