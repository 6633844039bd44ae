#pragma once
#include "xbase/Table.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class TApTable;

// A field of the current record of a TApTable, read and written by name or position.
class TField {
public:
    TField(TApTable* table, int index) : table_(table), index_(index) {}
    QString asString() const;
    qint64 asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    bool isNull() const;
    void setAsString(const QString& value) const;
    void setAsInteger(qint64 value) const;
    void setAsFloat(double value) const;
    void setAsBoolean(bool value) const;
    QString fieldName() const;
    int index() const { return index_; }
    int size() const;  // width in the record
    bool isMemo() const;

private:
    TApTable* table_;
    int index_;
};

// The component face of the table engine: a table named by a directory (DatabaseName) and a
// file name (TableName), with an active tag (IndexName), a cursor, a filter and a range.
// Data-aware controls follow it through dataChanged() and stateChanged().
// Engine failures are thrown as xbase::Error; windows catch them (ui::protegido) and go on.
class TApTable : public QObject {
    Q_OBJECT
public:
    using State = xbase::Table::State;

    explicit TApTable(QObject* parent = nullptr);
    ~TApTable() override;

    void setDatabaseName(const QString& dir);
    QString databaseName() const;
    // A table is closed before its file name changes.
    void setTableName(const QString& name);
    QString tableName() const;
    void setIndexName(const QString& tag);
    QString indexName() const;
    void setReadOnly(bool readOnly);
    bool readOnly() const;

    // A writable table that still holds deleted records (a pack put off while other computers
    // had it open) is packed here when it is alone; otherwise they wait for a later open.
    void open();
    void close();
    bool active() const;

    void first();
    void next();
    void prior();
    void last();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;
    void go(int recno);        // physical record number, 1-based
    int recNo() const;         // 0 when none (also while inserting)
    int recordCount() const;   // visible records: filter, range, deletion applied

    void setFilter(const QString& expression);  // "" removes the filter
    QString filter() const;
    void setRange(const QString& low, const QString& high);
    void cancelRange();
    bool findKey(const QString& value);
    bool locate(const QString& field, const QString& value);

    State state() const;
    bool editing() const;  // Edit or Insert
    void edit();
    void insert();
    bool post();           // false when the before-post rule refused the write
    void cancel();
    void deleteRecord();
    // False when put off because other computers have the table open: the deleted records
    // stay invisible and the next open that finds the table alone packs it.
    bool pack();
    void refresh();
    // The records and the count as the file holds them now (others may have changed them).
    void readFresh();

    TField fieldByName(const QString& name);   // throws "%s: Campo '%s' não encontrado"
    TField fields(int index);                   // 0-based position
    int fieldCount() const;
    QStringList fieldNames() const;
    int findField(const QString& name) const;  // -1 when missing

    xbase::Table& engine() { return *table_; }
    const xbase::Table& engine() const { return *table_; }

    // Events, called by the engine around an insert and before every write.
    std::function<void(TApTable&)> beforeInsert;
    std::function<void(TApTable&)> onNewRecord;
    std::function<bool(TApTable&)> beforePost;  // false aborts the write silently
    std::function<void(TApTable&)> afterPost;   // after a write that went through
    // Inside the post, where no other computer can post: a rule on the table as the file holds
    // it. Throwing refuses the write (see xbase::Table::beforeWrite).
    std::function<void(TApTable&)> beforeWrite;

    // Tells the data-aware controls that the record's data changed (after a field write).
    void notifyDataChanged();

signals:
    void dataChanged();   // position or data of the current record changed
    void stateChanged();  // Browse / Edit / Insert / Inactive changed

private:
    void changed();
    std::unique_ptr<xbase::Table> table_;
    QString databaseName_;
    QString tableName_;
    QString indexName_;
    bool readOnly_ = false;
    State lastState_ = State::Inactive;
};
