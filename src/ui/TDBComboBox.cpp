#include "TDBComboBox.h"

#include "TDataSource.h"
#include "ui/Mensagens.h"

TDBComboBox::TDBComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, qOverload<int>(&QComboBox::activated), this, &TDBComboBox::escolhido);
}

void TDBComboBox::setDataSource(TDataSource* fonte)
{
    if (fonte_) disconnect(fonte_, nullptr, this, nullptr);
    fonte_ = fonte;
    if (fonte_) connect(fonte_, &TDataSource::dataChange, this, &TDBComboBox::carregar);
    carregar();
}

void TDBComboBox::setDataField(const QString& campo)
{
    campo_ = campo;
    carregar();
}

void TDBComboBox::setEscolhas(const QStringList& escolhas)
{
    clear();
    addItems(escolhas);
    carregar();
}

void TDBComboBox::carregar()
{
    // A value outside the choices (or an empty one) shows nothing selected.
    const int i = findText(lerCampo(fonte_, campo_), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i != currentIndex()) setCurrentIndex(i);
}

void TDBComboBox::escolhido(int indice)
{
    if (indice < 0 || !fonte_ || !fonte_->ativo()) return;
    const QString valor = itemText(indice);
    if (valor == lerCampo(fonte_, campo_)) return;
    const bool ok = ui::protegido(this, [&] {
        fonte_->edit();
        escreverCampo(fonte_, campo_, valor);
    });
    if (!ok) carregar();
}
