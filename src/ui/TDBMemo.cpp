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
    ligarControle(fonte_, fonte, this, &TDBMemo::carregar, &TDBMemo::estadoMudou, &TDBMemo::updateRecord);
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
    // Memos keep DOS line ends (CR LF); the control shows plain line feeds.
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
    QString valor = toPlainText();
    valor.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    // A text the field cannot hold stays in the control, still pending, for correction.
    if (ui::protegido(this, [&] { escreverCampo(fonte_, campo_, valor); })) modificado_ = false;
}

void TDBMemo::focusOutEvent(QFocusEvent* e)
{
    updateRecord();
    QPlainTextEdit::focusOutEvent(e);
}
