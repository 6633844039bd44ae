#pragma once
#include <QLineEdit>
#include <QPointer>

#include "TDataSource.h"

// A text entry on one field of the current record. Typing starts editing the record; the text
// is written to the field when the entry loses the focus or the record is saved.
class TDBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);

    void setDataSource(TDataSource* fonte);
    TDataSource* dataSource() const { return fonte_; }
    void setDataField(const QString& campo);
    QString dataField() const { return campo_; }
    // Every letter typed becomes upper case.
    void setUpperCase(bool sim) { maiusculas_ = sim; }

    // Writes a pending text into the record now.
    void updateRecord();

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    void carregar();
    void textoEditado(const QString& texto);
    void estadoMudou();

    QPointer<TDataSource> fonte_;
    QString campo_;
    bool maiusculas_ = false;
    bool modificado_ = false;
};
