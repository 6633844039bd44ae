#pragma once
#include <QFileDialog>
#include <QString>
#include <QStringList>

class QWidget;

// The program's file dialogs. They are Qt's own dialog in Portuguese whatever the system's
// language (texts, the folder's type, dates and sizes in pt-BR), and they start in the folder
// of the last file chosen in this run, else in the user's documents.
namespace ui {

// The dialog set up, not shown: to open an existing file or to save one (suggested name in
// the starting folder). Filters as "Planilha CSV (*.csv)".
QFileDialog* criarDialogoArquivo(QWidget* pai, QFileDialog::AcceptMode modo, const QString& titulo,
                                 const QStringList& filtros, const QString& nomeSugerido = QString());

// Shows the dialog; the file chosen, or empty when cancelled. `filtroEscolhido` gets the
// filter in use when the dialog closed.
QString escolherArquivo(QFileDialog* dialogo, QString* filtroEscolhido = nullptr);

// The folder the next dialog starts in.
QString pastaDosArquivos();

} // namespace ui
