#pragma once
#include <QComboBox>
#include <QPointer>

#include "TDataSource.h"

// A drop-down list (list only) of one field's values over every visible record of a table.
// Picking a value moves the table to the first record with that key. The shown key stays
// until another is picked, even when the table moves or the record goes away.
class TDBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDBLookupComboBox(QWidget* parent = nullptr);

    void setListSource(TDataSource* fonte);
    void setKeyField(const QString& campo) { campoChave_ = campo; }
    void setListField(const QString& campo) { campoLista_ = campo; }

    // The key shown; empty when nothing was ever picked.
    QString keyValue() const { return chave_; }
    void setKeyValue(const QString& chave);

    // Re-reads the list from the table (done when the list is shown or opened).
    void recarregar();
    void showPopup() override;

signals:
    void escolhido(const QString& chave);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void itemEscolhido(int indice);
    void mostrarChave();

    QPointer<TDataSource> fonte_;
    QString campoChave_;
    QString campoLista_;
    QString chave_;
};
