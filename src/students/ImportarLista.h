#pragma once
#include <QString>
#include <QStringList>

class QWidget;

// Registers the students of a class list file (one name a line, optionally course type and
// level) through the students table and its record rules. Either every accepted name is
// registered or, when the file cannot be read or a write fails, none is.
struct ResumoImportacao {
    QString erro;             // not empty: nothing was registered, and why
    QStringList registrados;  // names as stored
    QStringList recusados;    // "linha 4: NOME: motivo"
};

ResumoImportacao importarLista(const QString& arquivo);

// The summary shown to the teacher.
QString textoResumo(const ResumoImportacao& resumo);

// The summary in a message box: an error when nothing was registered, a warning when a name
// was refused, plain news when every name was registered.
void mostrarResumo(QWidget* pai, const ResumoImportacao& resumo);
