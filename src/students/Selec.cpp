#include "Selec.h"
#include "ui/Acessibilidade.h"

#include "Fontes.h"
#include "ui/Mensagens.h"
#include "ui/TSpinEdit.h"
#include "ui/TStatusBar.h"

#include <QLabel>
#include <QPushButton>

TFSelec* FSelec = nullptr;

TFSelec::TFSelec(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Lições"));
    setFixedSize(298, 149);
    setFont(fonteEmPixels(QStringLiteral("Verdana"), 13));

    Label1 = new QLabel(QStringLiteral("Selecione a lição:"), this);
    Label1->setGeometry(24, 30, 160, 20);

    se1 = new TSpinEdit(this);
    ui::rotular(Label1, se1);
    se1->setGeometry(24, 56, 80, 28);
    se1->setMinValue(1);
    se1->setMaxValue(1);
    se1->setMaxLength(3);
    se1->setValue(1);
    connect(se1, &TSpinEdit::change, this, &TFSelec::se1Change);

    BitBtn1 = new QPushButton(QIcon(QStringLiteral(":/imagens/ok16.png")), QStringLiteral("OK"), this);
    BitBtn1->setGeometry(186, 54, 88, 32);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    sb2 = new TStatusBar(this);
    sb2->setFont(fonteEmPixels(QStringLiteral("Arial"), 11));
    sb2->setPaineis({150, 50});
    sb2->setGeometry(0, 149 - 22, 298, 22);

    setTabOrder(BitBtn1, se1);
}

void TFSelec::se1Change()
{
    if (se1->value() > se1->maxValue()) {
        ui::aviso(this, QStringLiteral("Acesso negado! "));
        se1->setValue(se1->maxValue());
    }
    if (se1->value() < 1) se1->setValue(1);
}

void TFSelec::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Enter at once takes the lesson offered.
    BitBtn1->setFocus();
}
