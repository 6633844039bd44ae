#include "TDBLookupComboBox.h"

#include "TDataSource.h"
#include "data/TApTable.h"
#include "ui/Mensagens.h"

#include <QSignalBlocker>

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, qOverload<int>(&QComboBox::activated), this, &TDBLookupComboBox::itemEscolhido);
}

void TDBLookupComboBox::setListSource(TDataSource* fonte) { fonte_ = fonte; }

void TDBLookupComboBox::setKeyValue(const QString& chave)
{
    chave_ = chave;
    mostrarChave();
}

void TDBLookupComboBox::recarregar()
{
    if (!fonte_ || !fonte_->ativo()) return;
    TApTable* t = fonte_->dataSet();
    const int chave = t->findField(campoChave_);
    const int lista = t->findField(campoLista_.isEmpty() ? campoChave_ : campoLista_);
    if (chave < 0 || lista < 0) return;

    QVector<QStringList> linhas;
    ui::protegido(this, [&] { lerRegistros(t, {chave, lista}, linhas); });
    const QSignalBlocker bloqueio(this);
    clear();
    for (const QStringList& l : linhas) addItem(l.at(1), l.at(0));
    mostrarChave();
}

void TDBLookupComboBox::mostrarChave()
{
    const QSignalBlocker bloqueio(this);
    const int i = chave_.isEmpty() ? -1 : findData(chave_, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(i);
    // A key no longer in the list is still shown (greyed), so the user sees what is chosen.
    setPlaceholderText(i < 0 ? chave_ : QString());
}

void TDBLookupComboBox::itemEscolhido(int indice)
{
    if (indice < 0) return;
    chave_ = itemData(indice).toString();
    setPlaceholderText(QString());
    if (fonte_ && fonte_->ativo()) {
        ui::protegido(this, [this] {
            if (fonte_->checkBrowseMode()) fonte_->dataSet()->locate(campoChave_, chave_);
        });
    }
    emit escolhido(chave_);
}

void TDBLookupComboBox::showEvent(QShowEvent* e)
{
    recarregar();
    QComboBox::showEvent(e);
}

void TDBLookupComboBox::showPopup()
{
    recarregar();
    QComboBox::showPopup();
}
