#pragma once
#include <QComboBox>
#include <QPointer>

#include "TDataSource.h"

// A drop-down list on one field of the current record, with fixed choices: only these can be
// chosen. Choosing one starts editing the record and writes the field at once.
class TDBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDBComboBox(QWidget* parent = nullptr);

    void setDataSource(TDataSource* fonte);
    void setDataField(const QString& campo);
    void setEscolhas(const QStringList& escolhas);

private:
    void carregar();
    void escolhido(int indice);

    QPointer<TDataSource> fonte_;
    QString campo_;
};
