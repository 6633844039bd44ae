#pragma once
#include <QPlainTextEdit>
#include <QPointer>

#include "TDataSource.h"

// A multi-line text on a memo field of the current record, in Courier New with words wrapped
// at the right edge. Typing starts editing the record; the text is written when the memo
// loses the focus or the record is saved. change() is emitted whenever the text changes,
// also when another record is shown.
class TDBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TDBMemo(QWidget* parent = nullptr);

    void setDataSource(TDataSource* fonte);
    void setDataField(const QString& campo);

    void updateRecord();

signals:
    void change();

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    void carregar();
    void estadoMudou();
    void textoMudou();

    QPointer<TDataSource> fonte_;
    QString campo_;
    bool modificado_ = false;
    bool carregando_ = false;
};
