#include "TDataSource.h"

#include "data/TApTable.h"

TDataSource::TDataSource(TApTable* dataSet, QObject* parent) : QObject(parent)
{
    setDataSet(dataSet);
}

void TDataSource::setDataSet(TApTable* dataSet)
{
    if (dataSet_) disconnect(dataSet_, nullptr, this, nullptr);
    dataSet_ = dataSet;
    alterado_ = false;
    if (dataSet_) {
        connect(dataSet_, &TApTable::dataChanged, this, &TDataSource::dataChange);
        connect(dataSet_, &TApTable::stateChanged, this, &TDataSource::tabelaMudouEstado);
    }
    emit dataChange();
}

bool TDataSource::ativo() const { return dataSet_ && dataSet_->active(); }
bool TDataSource::editando() const { return ativo() && dataSet_->editing(); }

void TDataSource::tabelaMudouEstado()
{
    // Every new edit, insert or return to browsing starts with nothing typed.
    alterado_ = false;
    emit stateChange();
}

void TDataSource::edit()
{
    if (!ativo() || dataSet_->editing()) return;
    if (dataSet_->isEmpty())
        dataSet_->insert();
    else
        dataSet_->edit();
}

void TDataSource::updateRecord()
{
    if (editando()) emit updateRecordPedido();
}

bool TDataSource::post()
{
    if (!editando()) return true;
    updateRecord();
    return dataSet_->post();
}

bool TDataSource::checkBrowseMode()
{
    if (!editando()) return true;
    updateRecord();
    if (!alterado_) {
        dataSet_->cancel();
        return true;
    }
    return dataSet_->post();
}

namespace {

QString texto(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// Puts the engine's cursor back where it was, end-of-table and start flags included.
void restaurar(xbase::Table& t, uint32_t recno, bool eof, bool bof)
{
    try {
        if (eof) {
            t.last();
            t.next();
        } else if (recno > 0) {
            t.goTo(recno);
            if (bof) t.prior();
        } else {
            t.first();
        }
    } catch (const std::exception&) {
        // The table changed under us; its first record is as good a place as any.
        t.first();
    }
}

} // namespace

bool lerRegistros(TApTable* tabela, const QVector<int>& campos, QVector<QStringList>& linhas,
                  QVector<int>* recnos)
{
    linhas.clear();
    if (recnos) recnos->clear();
    if (!tabela || !tabela->active() || tabela->editing()) return false;

    // The engine itself is walked so that no control hears of the round trip.
    xbase::Table& t = tabela->engine();
    const uint32_t recno = t.recNo();
    const bool eof = t.eof();
    const bool bof = t.bof();
    try {
        for (t.first(); !t.eof(); t.next()) {
            QStringList linha;
            for (int c : campos) linha << texto(t.asString(c));
            linhas << linha;
            if (recnos) *recnos << static_cast<int>(t.recNo());
        }
    } catch (...) {
        restaurar(t, recno, eof, bof);
        throw;
    }
    restaurar(t, recno, eof, bof);
    return true;
}

QString lerCampo(TDataSource* fonte, const QString& campo)
{
    if (!fonte || !fonte->ativo() || campo.isEmpty()) return QString();
    TApTable* t = fonte->dataSet();
    if (t->findField(campo) < 0) return QString();
    // An empty table has no current record to read.
    if (!t->editing() && t->isEmpty()) return QString();
    try {
        return t->fieldByName(campo).asString();
    } catch (const std::exception&) {
        return QString();
    }
}

void escreverCampo(TDataSource* fonte, const QString& campo, const QString& valor)
{
    if (!fonte || !fonte->editando()) return;
    fonte->dataSet()->fieldByName(campo).setAsString(valor);
    fonte->marcarAlterado();
}
