#pragma once
#include "Environment.h"
#include "Error.h"
#include "Schema.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace xbase {

// A FoxPro 2.x table (.dbf) with its optional .fpt memo file and structural .cdx index,
// seen through one cursor. All texts in and out are UTF-8.
//
// Navigation sees the visible records only: in the order of the active tag (file order
// without one), under the filter and the range, and without deleted records while
// environment().deleted is on.
//
// Durability: when post() returns, the record, the header's record count, the memo blocks and
// every tag are on disk (fsynced). The writes are ordered so that a power cut at any moment,
// which keeps any of the writes not yet synced, leaves the post under way finished or undone
// at the next open, without a question (see writePending in Table.cpp): what a record points at
// and what a count counts is durable first, and the index is marked as changing before its
// pages change.
class Table {
public:
    enum class State { Inactive, Browse, Edit, Insert };

    Table();
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Makes a new empty table (0x03, or 0xF5 with a memo field; code page 1252), with its .fpt
    // when it has memo fields and its structural .cdx when tags are given. Replaces files of
    // the same names. Offsets in the FieldDefs are ignored and computed.
    static void create(const std::string& dir, const std::string& fileName,
                       const std::vector<FieldDef>& fields, const std::vector<TagDef>& tags = {});
    // Makes the table only where none is yet, so that two computers making it at the same
    // moment never empty or half-open each other's: it is made whole in a folder of its own
    // beside, then its files are put in place (companions first) only where none is. Returns
    // false when the table was there already.
    static bool createIfMissing(const std::string& dir, const std::string& fileName,
                                const std::vector<FieldDef>& fields, const std::vector<TagDef>& tags = {});

    // Opens dir/fileName (".dbf" added when missing). Opens the .fpt when the table has memo
    // fields and the .cdx when the header's structural flag is set. Checks the header against
    // the file size. Starts on the first visible record, with no tag active. Holds the table
    // open until close() (see pack()); while another process packs it, the open waits for
    // environment().lockWaitMilliseconds, then throws "<table> está em uso por outro
    // computador; tente de novo".
    void open(const std::string& dir, const std::string& fileName, bool readOnly = false);
    void close();  // a pending edit or insert is dropped
    bool isOpen() const;
    bool isReadOnly() const;
    const std::string& tableName() const;  // file name as given to open, used in messages
    std::string path() const;

    // Structure
    int fieldCount() const;
    const FieldDef& fieldDef(int index) const;
    const std::vector<FieldDef>& fields() const;
    int findField(const std::string& name) const;   // case-insensitive; -1 when missing
    int fieldIndex(const std::string& name) const;  // throws "%s: Campo '%s' não encontrado"
    std::vector<std::string> tagNames() const;

    // Active tag ("" = file order). Throws for an unknown tag. Keeps the current record.
    void setIndexName(const std::string& tag);
    const std::string& indexName() const;

    // Navigation over the visible records.
    void first();
    void last();
    void next();   // past the last visible record: eof() true, record unchanged
    void prior();  // before the first: bof() true, record unchanged
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;             // no visible record
    void goTo(uint32_t recno);        // physical 1-based number; throws when out of range
    uint32_t recNo() const;           // physical 1-based number; 0 when none (also while inserting)
    uint32_t physicalCount() const;   // header count, deleted records included
    uint32_t count() const;           // visible records: filter, range and deletion applied
    bool isDeleted() const;

    // Filter expression (see Expr.h); "" removes it. Goes to the first visible record.
    // Throws Error when the text does not parse or names an unknown field.
    void setFilter(const std::string& expression);
    const std::string& filter() const;
    // Range on the active tag: only records whose key, compared over the length of each
    // bound, lies between low and high are visible. Goes to the first visible record.
    void setRange(const std::string& low, const std::string& high);
    void clearRange();
    // Exact key search on the active tag (the value padded with blanks to the key length).
    // On success the cursor stands on the first matching visible record and true is returned;
    // otherwise the cursor does not move and false is returned.
    bool findKey(const std::string& value);
    // First visible record, in the current order, whose field text equals value.
    bool locate(const std::string& field, const std::string& value);

    // Field values of the current record (or of the record being edited or inserted).
    // Text of C fields has trailing blanks removed; N/F as written without blanks; L as "T",
    // "F" or ""; D in environment().dateFormat ("" when blank); M the memo text.
    std::string asString(int index) const;
    long long asInteger(int index) const;  // blank or not a number: 0
    double asFloat(int index) const;
    bool asBoolean(int index) const;       // T t Y y true
    bool isBlank(int index) const;
    std::string asString(const std::string& name) const;
    // A character field of the current record as the file holds it, a pending edit aside.
    std::string storedString(int index) const;
    // The records not marked deleted, each with its number and the text of a character field,
    // read from the file now: for beforeWrite, when no other process can change them.
    std::vector<std::pair<uint32_t, std::string>> storedTexts(int index) const;
    long long asInteger(const std::string& name) const;
    double asFloat(const std::string& name) const;
    bool asBoolean(const std::string& name) const;

    // Writing needs Edit or Insert state. A text longer than a C field is cut; a text that
    // Windows-1252 cannot hold, a number too wide for its field or a bad date throws Error.
    void setString(int index, const std::string& value);
    void setInteger(int index, long long value);
    void setFloat(int index, double value);
    void setBoolean(int index, bool value);
    void setString(const std::string& name, const std::string& value);
    void setInteger(const std::string& name, long long value);
    void setFloat(const std::string& name, double value);
    void setBoolean(const std::string& name, bool value);

    State state() const;
    void edit();    // Browse -> Edit on the current record; throws when there is none
    void insert();  // beforeInsert, blank buffer, onNewRecord; -> Insert
    // Runs beforePost; when it returns false nothing is written and the state stays.
    // Returns true when the record was written. An inserted record is appended and becomes
    // the current record.
    bool post();
    void cancel();  // drops the pending change; Insert returns to the record current before
    // Marks the current record deleted; the cursor moves to the next visible record, else the
    // previous one; with none left eof() is true.
    void deleteRecord();
    // Rewrites the table without its deleted records (new file, renamed over the old one) and
    // rebuilds every tag; the memo file is kept as it is (the deleted records' memos stay as
    // unused blocks). Goes to first().
    // Needs the table to itself: while another open holds it (another computer, or another
    // Table on the same file in this program) nothing is done and false is returned; the
    // deleted records stay invisible until a later pack finds the table alone.
    bool pack();
    // The same when some record is deleted, and only then: the records are read (to find
    // one) only when the table is alone, so that an open among many costs no read of them.
    bool packDeletedIfAlone();
    uint32_t deletedCount() const;  // records marked deleted, waiting for a pack
    // Rewrites the table with these fields, as a pack rewrites it (the deleted records left
    // out): a field of the same name and type keeps its values (a text cut or padded to its new
    // length), a new field starts blank. Only for a table without tags or filter whose memo
    // fields, if any, stay (Invalid otherwise). Needs the table to itself, as pack() does: false, with
    // nothing done, while another open holds it.
    bool changeLayout(const std::vector<FieldDef>& fields);
    // Re-reads the files (records added by another program become visible).
    void refresh();
    // Reads what other processes changed since: the count, every record and, when they
    // changed, the tags. One read of the record area: cheap enough before every scan. The
    // cursor, tag, filter and range stay.
    void readFresh();
    // Rebuilds every tag that disagrees with the records (written to the .cdx unless the
    // table is read-only) and returns their names. Opening a table of up to
    // kFullTagCheckLimit records does this by itself; a larger one only has the number of
    // entries of its tags compared with its records.
    std::vector<std::string> checkTags();
    static constexpr uint32_t kFullTagCheckLimit = 5000;

    // Hooks for the data module.
    std::function<void(Table&)> beforeInsert;
    std::function<void(Table&)> onNewRecord;
    std::function<bool(Table&)> beforePost;  // false aborts the write silently
    // Runs inside post() after beforePost, under the append lock (no other process can post)
    // and once the records they appended are read, before anything is written: a rule that
    // must see the table as the file holds it. Throwing refuses the write; the state stays.
    std::function<void(Table&)> beforeWrite;

private:
    bool packAlone(bool onlyWithDeleted);
    // Runs `work` under the exclusive open lock; false when another open holds the table or
    // work returns false. A failure's message starts with `failure`.
    bool whileAlone(const std::function<bool()>& work, const char* failure);
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace xbase
