#include "Exigencia.h"
#include "ui/Acessibilidade.h"

#include "Fontes.h"
#include "data/Data1.h"
#include "platform/Ajuda.h"
#include "ui/Mensagens.h"
#include "ui/TDBGrid.h"
#include "ui/TDataSource.h"
#include "ui/Botoes.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

const int kContextoAjuda = 9;

} // namespace

TfExig::TfExig(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Exigências"));
    setFixedSize(523, 343);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(admin::fontePixels(QStringLiteral("Arial"), 13));

    Image1 = ui::figuraEmMoldura(this, QRect(8, 8, 121, 327), QStringLiteral(":/imagens/exigencias.png"), &Panel4);

    DataSource1 = new TDataSource(dm1->TabExig, this);
    DBGrid1 = new TDBGrid(this);
    ui::nomear(DBGrid1, QStringLiteral("Exigências de cada curso e nível"));
    DBGrid1->setGeometry(138, 8, 377, 265);
    DBGrid1->setFundoDica(true);
    DBGrid1->setDataSource(DataSource1);

    ui::linhaHorizontal(this, QRect(138, 288, 377, 4));
    BitBtn3 = ui::botaoAjuda(this, QRect(327, 303, 88, 32));
    connect(BitBtn3, &QPushButton::clicked, this, &TfExig::BitBtn3Click);
    BitBtn1 = ui::botaoSair(this, QRect(427, 303, 88, 32), this);
}

void TfExig::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (mostrado_) return;
    mostrado_ = true;
    ui::protegido(this, [this] { FormShow(); });
}

void TfExig::FormShow()
{
    // The practice window leaves its own filter on this table; the list shows every row.
    dm1->TabExig->setFilter(QString());
    DBGrid1->recarregar();
}

void TfExig::BitBtn3Click()
{
    plataforma::mostrarAjuda(kContextoAjuda, this);
}
