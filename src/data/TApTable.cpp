#include "TApTable.h"

#include "xbase/Error.h"

#include <QDir>
#include <QFileInfo>

namespace {

std::string utf8(const QString& s) { return s.toUtf8().toStdString(); }
QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// The file name as it stands in the directory, found without regard to case.
QString nomeNoDiretorio(const QString& dir, const QString& nome)
{
    const QString procurado = nome.endsWith(QLatin1String(".dbf"), Qt::CaseInsensitive)
                                  ? nome : nome + QLatin1String(".dbf");
    if (QFileInfo::exists(QDir(dir).filePath(procurado))) return procurado;
    const QStringList entradas = QDir(dir).entryList(QDir::Files);
    for (const QString& e : entradas)
        if (e.compare(procurado, Qt::CaseInsensitive) == 0) return e;
    return procurado;
}

} // namespace

// ---- TField ----------------------------------------------------------------------------

QString TField::asString() const { return qs(table_->engine().asString(index_)); }
qint64 TField::asInteger() const { return table_->engine().asInteger(index_); }
double TField::asFloat() const { return table_->engine().asFloat(index_); }
bool TField::asBoolean() const { return table_->engine().asBoolean(index_); }
bool TField::isNull() const { return table_->engine().isBlank(index_); }
QString TField::fieldName() const { return qs(table_->engine().fieldDef(index_).name); }
int TField::size() const { return table_->engine().fieldDef(index_).length; }
bool TField::isMemo() const { return table_->engine().fieldDef(index_).type == xbase::FieldType::Memo; }

void TField::setAsString(const QString& value) const
{
    table_->engine().setString(index_, utf8(value));
    table_->notifyDataChanged();
}

void TField::setAsInteger(qint64 value) const
{
    table_->engine().setInteger(index_, value);
    table_->notifyDataChanged();
}

void TField::setAsFloat(double value) const
{
    table_->engine().setFloat(index_, value);
    table_->notifyDataChanged();
}

void TField::setAsBoolean(bool value) const
{
    table_->engine().setBoolean(index_, value);
    table_->notifyDataChanged();
}

// ---- TApTable --------------------------------------------------------------------------

TApTable::TApTable(QObject* parent) : QObject(parent), table_(std::make_unique<xbase::Table>())
{
    table_->beforeInsert = [this](xbase::Table&) { if (beforeInsert) beforeInsert(*this); };
    table_->onNewRecord = [this](xbase::Table&) { if (onNewRecord) onNewRecord(*this); };
    table_->beforePost = [this](xbase::Table&) { return beforePost ? beforePost(*this) : true; };
    table_->beforeWrite = [this](xbase::Table&) { if (beforeWrite) beforeWrite(*this); };
}

TApTable::~TApTable() = default;

void TApTable::setDatabaseName(const QString& dir) { databaseName_ = dir; }
QString TApTable::databaseName() const { return databaseName_; }

void TApTable::setTableName(const QString& name)
{
    if (name != tableName_ && active()) close();
    tableName_ = name;
}

QString TApTable::tableName() const { return tableName_; }

void TApTable::setIndexName(const QString& tag)
{
    indexName_ = tag;
    if (active()) {
        table_->setIndexName(utf8(tag));
        changed();
    }
}

QString TApTable::indexName() const { return indexName_; }
void TApTable::setReadOnly(bool readOnly) { readOnly_ = readOnly; }
bool TApTable::readOnly() const { return readOnly_; }

void TApTable::open()
{
    if (active()) return;
    table_->open(utf8(databaseName_), utf8(nomeNoDiretorio(databaseName_, tableName_)), readOnly_);
    if (!readOnly_) {
        try {
            table_->packDeletedIfAlone();
        } catch (const xbase::Error&) {
            // The old files stand whole, the deleted records invisible: a later open tries again.
        }
    }
    if (!indexName_.isEmpty()) table_->setIndexName(utf8(indexName_));
    table_->first();
    changed();
}

void TApTable::close()
{
    if (!active()) return;
    table_->close();
    changed();
}

bool TApTable::active() const { return table_->isOpen(); }

void TApTable::first() { table_->first(); changed(); }
void TApTable::next() { table_->next(); changed(); }
void TApTable::prior() { table_->prior(); changed(); }
void TApTable::last() { table_->last(); changed(); }
bool TApTable::eof() const { return table_->eof(); }
bool TApTable::bof() const { return table_->bof(); }
bool TApTable::isEmpty() const { return table_->isEmpty(); }
void TApTable::go(int recno) { table_->goTo(static_cast<uint32_t>(recno)); changed(); }
int TApTable::recNo() const { return static_cast<int>(table_->recNo()); }
int TApTable::recordCount() const { return static_cast<int>(table_->count()); }

void TApTable::setFilter(const QString& expression)
{
    table_->setFilter(utf8(expression));
    changed();
}

QString TApTable::filter() const { return qs(table_->filter()); }

void TApTable::setRange(const QString& low, const QString& high)
{
    table_->setRange(utf8(low), utf8(high));
    changed();
}

void TApTable::cancelRange()
{
    table_->clearRange();
    changed();
}

bool TApTable::findKey(const QString& value)
{
    const bool achou = table_->findKey(utf8(value));
    if (achou) changed();
    return achou;
}

bool TApTable::locate(const QString& field, const QString& value)
{
    const bool achou = table_->locate(utf8(field), utf8(value));
    if (achou) changed();
    return achou;
}

TApTable::State TApTable::state() const { return table_->state(); }
bool TApTable::editing() const { return state() == State::Edit || state() == State::Insert; }

void TApTable::edit() { table_->edit(); changed(); }
void TApTable::insert() { table_->insert(); changed(); }

bool TApTable::post()
{
    bool gravou = false;
    try {
        gravou = table_->post();
    } catch (...) {
        changed();  // the controls show what the table holds, a failed post too
        throw;
    }
    changed();
    if (gravou && afterPost) afterPost(*this);
    return gravou;
}

void TApTable::cancel() { table_->cancel(); changed(); }
void TApTable::deleteRecord() { table_->deleteRecord(); changed(); }
bool TApTable::pack()
{
    const bool feito = table_->pack();
    changed();
    return feito;
}

void TApTable::refresh() { table_->refresh(); changed(); }
void TApTable::readFresh() { table_->readFresh(); changed(); }

TField TApTable::fieldByName(const QString& name)
{
    return TField(this, table_->fieldIndex(utf8(name)));
}

TField TApTable::fields(int index)
{
    if (index < 0 || index >= fieldCount())
        throw xbase::Error(xbase::ErrorKind::Invalid, utf8(tableName_) + ": posição de campo inválida: " + std::to_string(index));
    return TField(this, index);
}

int TApTable::fieldCount() const { return active() ? table_->fieldCount() : 0; }

QStringList TApTable::fieldNames() const
{
    QStringList nomes;
    for (int i = 0; i < fieldCount(); ++i) nomes << qs(table_->fieldDef(i).name);
    return nomes;
}

int TApTable::findField(const QString& name) const { return table_->findField(utf8(name)); }

void TApTable::notifyDataChanged() { emit dataChanged(); }

void TApTable::changed()
{
    emit dataChanged();
    const State agora = table_->state();
    if (agora != lastState_) {
        lastState_ = agora;
        emit stateChanged();
    }
}
