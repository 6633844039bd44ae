#include "Copia.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

TfCopia::TfCopia(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Copiando os arquivos"));
    setFixedSize(298, 95);
    setAttribute(Qt::WA_DeleteOnClose);  // the copy window frees itself when it closes

    Label1 = new QLabel(QStringLiteral("Aguarde um momento..."), this);
    Label1->setGeometry(8, 8, 281, 20);
    Pb1 = new QProgressBar(this);
    Pb1->setGeometry(8, 34, 281, 20);
    Pb1->setRange(0, 100);
    Pb1->setValue(0);
    Pb2 = new QProgressBar(this);
    Pb2->setGeometry(8, 62, 281, 20);
    Pb2->setRange(0, 100);
    Pb2->setValue(0);
}

void TfCopia::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
}

void TfCopia::keyPressEvent(QKeyEvent* event)
{
    // Escape must not close the window in the middle of the copy.
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}
