#include "Recorde.h"
#include "ui/Acessibilidade.h"

#include "data/Data1.h"
#include "platform/Ajuda.h"
#include "ui/TDBGrid.h"
#include "ui/TDataSource.h"
#include "ui/Botoes.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TfRecorde::TfRecorde(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Recordes"));
    setFixedSize(523, 272);
    setAttribute(Qt::WA_DeleteOnClose);

    Image1 = ui::figuraEmMoldura(this, QRect(8, 8, 121, 201), QStringLiteral(":/imagens/trofeu.png"));

    DataSource1 = new TDataSource(dm1->TabRec, this);
    DBGrid1 = new TDBGrid(this);
    ui::nomear(DBGrid1, QStringLiteral("Recordes de cada curso"));
    DBGrid1->setGeometry(138, 8, 377, 201);
    DBGrid1->setFundoDica(true);
    DBGrid1->setDataSource(DataSource1);

    ui::linhaHorizontal(this, QRect(8, 220, 507, 4));
    BitBtn1 = ui::botaoSair(this, QRect(335, 232, 88, 32), this);
    BitBtn3 = ui::botaoAjuda(this, QRect(427, 232, 88, 32));
    connect(BitBtn3, &QPushButton::clicked, this, &TfRecorde::BitBtn3Click);
}

void TfRecorde::BitBtn3Click()
{
    plataforma::mostrarAjuda(10, this);
}
