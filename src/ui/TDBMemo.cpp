#include "TDBMemo.h"

#include "TDataSource.h"
#include "ui/Mensagens.h"

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    QFont fonte(QStringLiteral("Courier New"));
    fonte.setStyleHint(QFont::Monospace);
    fonte.setPixelSize(15);
    setFont(fonte);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WordWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QPlainTextEdit::textChanged, this, &TDBMemo::textoMudou);
}

void TDBMemo::setDataSource(TDataSource* fonte)
{
    if (fonte_) disconnect(fonte_, nullptr, this, nullptr);
    fonte_ = fonte;
    if (fonte_) {
        connect(fonte_, &TDataSource::dataChange, this, &TDBMemo::carregar);
        connect(fonte_, &TDataSource::stateChange, this, &TDBMemo::estadoMudou);
        connect(fonte_, &TDataSource::updateRecordPedido, this, &TDBMemo::updateRecord);
    }
    carregar();
}

void TDBMemo::setDataField(const QString& campo)
{
    campo_ = campo;
    carregar();
}

void TDBMemo::carregar()
{
    if (modificado_) return;
    QString valor = lerCampo(fonte_, campo_);
    // The tables keep DOS line ends; the text is written back with the ends it came with.
    quebraDos_ = valor.contains(QLatin1String("\r\n"));
    valor.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (toPlainText() == valor) return;
    carregando_ = true;
    setPlainText(valor);
    carregando_ = false;
}

void TDBMemo::estadoMudou()
{
    if (fonte_ && !fonte_->editando()) modificado_ = false;
    carregar();
}

void TDBMemo::textoMudou()
{
    if (!carregando_ && !isReadOnly() && fonte_ && fonte_->ativo()) {
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
    emit change();
}

void TDBMemo::updateRecord()
{
    if (!modificado_ || !fonte_) return;
    modificado_ = false;
    QString valor = toPlainText();
    if (quebraDos_) valor.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    if (!ui::protegido(this, [&] { escreverCampo(fonte_, campo_, valor); })) carregar();
}

void TDBMemo::focusOutEvent(QFocusEvent* e)
{
    updateRecord();
    QPlainTextEdit::focusOutEvent(e);
}
