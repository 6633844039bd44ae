#include "TDBEdit.h"

#include "TDataSource.h"
#include "ui/Mensagens.h"

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, &TDBEdit::textoEditado);
    connect(this, &QLineEdit::returnPressed, this, &TDBEdit::updateRecord);
}

void TDBEdit::setDataSource(TDataSource* fonte)
{
    ligarControle(fonte_, fonte, this, &TDBEdit::carregar, &TDBEdit::estadoMudou, &TDBEdit::updateRecord);
}

void TDBEdit::setDataField(const QString& campo)
{
    campo_ = campo;
    carregar();
}

void TDBEdit::carregar()
{
    // What the user is typing is not overwritten by the record's old value.
    if (modificado_) return;
    const QString valor = lerCampo(fonte_, campo_);
    if (text() != valor) setText(valor);
}

void TDBEdit::estadoMudou()
{
    if (fonte_ && !fonte_->editando()) modificado_ = false;
    carregar();
}

void TDBEdit::textoEditado(const QString& texto)
{
    if (maiusculas_) {
        const QString maior = texto.toUpper();
        if (maior != texto) {
            const int pos = cursorPosition();
            setText(maior);
            setCursorPosition(pos);
        }
    }
    if (!fonte_ || !fonte_->ativo()) return;
    if (!modificado_) {
        modificado_ = true;
        if (!ui::protegido(this, [this] { fonte_->edit(); })) {
            modificado_ = false;
            carregar();
            return;
        }
    }
    fonte_->marcarAlterado();
}

void TDBEdit::updateRecord()
{
    if (!modificado_ || !fonte_) return;
    modificado_ = false;
    const QString valor = text();
    if (!ui::protegido(this, [&] { escreverCampo(fonte_, campo_, valor); })) carregar();
}

void TDBEdit::focusOutEvent(QFocusEvent* e)
{
    updateRecord();
    QLineEdit::focusOutEvent(e);
}
