#pragma once
// Inside of Table, shared by Table.cpp (cursor, fields, writes) and TableTags.cpp (tags,
// order, ranges). Not part of the interface.
#include "Cdx.h"
#include "Dbf.h"
#include "Expr.h"
#include "File.h"
#include "Locks.h"
#include "Memo.h"
#include "Table.h"

#include <map>

namespace xbase {

constexpr std::size_t kNoPosition = static_cast<std::size_t>(-1);
// What a power cut writes whole or not at all.
constexpr uint64_t kSectorSize = 512;

// One tag of the structural index; its entries are in the Index, in index order.
struct TagState {
    cdx::Tag tag;  // name, expressions, key length and type
    Expression key;
    Expression forClause;  // valid only when the tag has a FOR clause
    bool isUnique() const;  // a unique tag is rebuilt when a key changes, not patched
    bool holds(const uint8_t* rec) const;  // the FOR clause lets the record in
    // Disagrees with the records and cannot be mended through a read-only open (a writer died
    // between a record and its tags, until the next writer mends it): refused as the order.
    bool stale = false;
};

struct Table::Impl {
    // Files
    std::string tableName;
    std::string dbfPath;
    std::string fptPath;
    std::string cdxPath;
    bool readOnly = false;
    File dbf;
    MemoFile memo;
    DbfHeader header;
    // Every counted record, deleted ones included, in file order; read a page at a time when
    // first needed (TableRecords.cpp), so that an open reads the header and an append reads
    // no other row. What a page not loaded holds is never looked at.
    mutable std::vector<uint8_t> records;
    mutable std::vector<bool> pageLoaded;
    mutable int pagesLoadedAlone = 0;  // since the last full read: many of them make a scan
    uint32_t pageRecords = 1;
    std::vector<uint8_t> blankRecord;

    // Sharing the files with other processes (TableShare.cpp). Every post holds the append
    // lock, so posts of one table follow each other; an edit holds its record's lock from
    // edit() to post() or cancel(); the tags change under the index lock, taken through a
    // descriptor of the .cdx of our own, and the .cdx's change counter goes up before the
    // record is written (odd: a change under way) and after its tags (even), so that the
    // others read the tags again, and rebuild them when a writer died in between.
    File cdxLockFile;
    uint32_t cdxChanges = 0;  // the change counter as last read or written
    // The table's own change counter (header bytes 16-19): moved by every write in place, so
    // that a fresh read knows when the rows it holds may be stale (Dbf.h).
    uint32_t dbfChanges = 0;
    // The append lock is held by this open (a post, a fresh read): a page read needs no other.
    mutable bool holdingAppend = false;
    locks::Lock editLock;
    // Held from open to close on the .dbf: shared, and exclusive only while this open packs.
    // An open waits while another packs, and a pack is put off while another has the table open.
    locks::Lock openLock;
    // Opens the .dbf the path names under a shared open lock, after a pack another process
    // finished or a crash cut short; true when this open finished such a pack.
    bool openShared(const std::string& path);
    // The count, the records and (when the change counter moved) the tags as the files hold
    // them now.
    void readFresh();
    bool hasCdx() const { return (header.flags & kFlagStructuralCdx) != 0; }
    // The append lock, noted as held by this open until the hold ends.
    class AppendHold {
    public:
        AppendHold(const Impl& table, bool shared);
        ~AppendHold();
        AppendHold(const AppendHold&) = delete;
        AppendHold& operator=(const AppendHold&) = delete;
        void release();

    private:
        const Impl& table_;
        locks::Lock lock_;
        bool taken_ = false;
    };
    locks::Lock lockAppend(bool shared = false) const;
    locks::Lock lockRecord(uint32_t recno) const;
    // Takes in the count other processes left (their appended records are read when needed),
    // and forgets the rows read so far when another process changed some in place.
    void readAppendedRecords();
    // Re-reads one record from the file.
    void rereadRecord(uint32_t recno);
    // Around a write in place: the counter odd while it writes, then even.
    void noteRecordsChanging();
    void noteRecordsChanged();
    void restoreRecordsChanges(uint32_t before);
    // The index lock, with the tags read again when another process changed them.
    locks::Lock lockIndex();
    bool followRenamedCdx();            // the .cdx the name points to now; true when it moved
    bool reloadTags(uint32_t changes);  // the tags as the .cdx holds them (loadTags) at that counter
    void noteIndexChanging();  // the counter to the next odd number, durable
    void noteIndexChanged();   // the counter to the next even number
    uint32_t readCdxChanges() const;
    void writeCdxChanges(bool durable = false);

    // Tags and the visible order
    cdx::Index index;
    std::vector<TagState> tags;
    int activeTag = -1;
    std::string activeTagName;
    std::string filterText;
    Expression filter;
    bool hasRange = false;
    std::string rangeLow, rangeHigh;  // key bytes
    std::size_t rangeBegin = 0, rangeEnd = 0;

    // Cursor
    uint32_t current = 0;  // 0: no record
    bool atEof = true;
    bool atBof = true;

    // Pending change
    State state = State::Inactive;
    std::vector<uint8_t> buffer;
    std::map<int, std::string> pendingMemos;  // field index -> Windows-1252 text
    uint32_t savedCurrent = 0;
    bool savedEof = true, savedBof = true;

    // --- records
    uint32_t count() const { return header.count; }
    std::size_t recordLength() const { return header.recordLength; }
    const uint8_t* record(uint32_t recno) const
    {
        needPage((recno - 1) / pageRecords);
        return records.data() + std::size_t(recno - 1) * header.recordLength;
    }
    uint8_t* record(uint32_t recno)
    {
        needPage((recno - 1) / pageRecords);
        return records.data() + std::size_t(recno - 1) * header.recordLength;
    }
    void needPage(std::size_t page) const
    {
        if (!pageLoaded[page])
            loadPage(page);
    }
    // --- records read when needed (TableRecords.cpp)
    void loadPage(std::size_t page) const;
    void needAllRecords() const;  // before a scan of every record
    void readPages(std::size_t first, std::size_t end) const;
    // Room for newCount records: the pages past the old count, and the old last page when
    // the count grew into it, wait to be read.
    void resizeRecords(uint32_t newCount);
    void forgetRecords();  // every page read again when next needed
    void recordsReplaced(std::vector<uint8_t> all, uint32_t newCount);  // every page loaded
    uint64_t recordOffset(uint32_t recno) const
    {
        return header.headerLength + uint64_t(recno - 1) * header.recordLength;
    }
    const uint8_t* currentRecord() const;
    bool isEditing() const { return state == State::Edit || state == State::Insert; }
    void requireOpen() const;
    void requireEditing() const;
    void requireWritable() const;
    void store(const FieldDef& field, const std::string& bytes);  // into the edit buffer

    // --- posting (Table.cpp)
    struct PostMark {
        uint64_t dbfSize = 0;
        uint32_t count = 0;
        uint32_t current = 0;
        uint32_t cdxChanges = 0;
        uint32_t dbfChanges = 0;
        MemoFile::Mark memo;
        std::vector<uint8_t> oldRecord;  // the record before an edit; empty for an append
        std::string oldTail;             // bytes an append will overwrite
    };
    PostMark markBeforePost() const;
    void writePending();
    void syncDbf();  // fsync of the .dbf, unless posts are not synced (bulk loading)
    void appendRecord(uint32_t recno, const std::vector<uint8_t>& image);
    void writeInPlace(uint32_t recno, const uint8_t* image);
    void finishCutChange();  // at open: a redo note a power cut left
    // Whether a record written over old (null: appended) changes an entry of some tag.
    bool changesTags(const uint8_t* oldRec, const uint8_t* newRec) const;
    void rollbackPost(const PostMark& mark);
    // The new table, whole on disk, left open in file (the memo file is kept as it is).
    void writePacked(const DbfHeader& layout, const std::vector<uint8_t>& live, uint32_t liveCount,
                     const std::string& newDbf, File& file) const;
    void packAlone();  // under the exclusive open lock
    void relayoutAlone(const std::vector<FieldDef>& fields);  // the same
    // The files replaced by a table of that header and those records, under the exclusive lock.
    void replaceAlone(DbfHeader layout, std::vector<uint8_t> live, uint32_t liveCount);

    // --- loading (Table.cpp)
    void load(const std::string& path, bool readOnlyMode);
    // A post a power cut or a kill stopped left something for a writer to mend.
    bool cutPostLeftBehind() const;
    void lowerCountPastRecords();
    void dropCutAppend();
    void setCount(uint32_t newCount);  // in the header too, unless read-only
    void loadCheckedTags(bool packFinished);
    void unload();

    // --- order and visibility (TableTags.cpp)
    std::size_t orderSize() const;
    uint32_t recnoAt(std::size_t position) const;
    std::size_t positionOfRecord(uint32_t recno) const;
    bool passes(const uint8_t* rec) const;  // deletion and filter
    bool visibleAt(std::size_t position, uint32_t& recno) const;
    bool scanForward(std::size_t from, uint32_t& recno) const;
    bool scanBackward(std::size_t from, uint32_t& recno) const;  // from is exclusive
    void orderChanged();  // range bounds after a change of tag or entries

    // --- tags (TableTags.cpp)
    cdx::KeyTypeOf keyTypes() const;
    // The tags as the .cdx holds them; false when their trees did not load (a power cut in
    // the middle of a change), and then only their definitions are held.
    bool loadTags();
    // Every tag made anew from the records and their definitions (the .cdx written anew); a
    // read-only open marks them stale instead.
    void remakeTags();
    // The tags are no longer offered as orders (stale), until an open or a post mends them.
    void dropTagsFromUse();
    bool tagChanges(const TagState& tag, const uint8_t* oldRec, const uint8_t* newRec) const;
    int findTag(const std::string& name) const;
    std::string keyOf(const TagState& tag, const uint8_t* rec) const;
    std::string searchKey(const TagState& tag, const std::string& value) const;
    std::vector<cdx::Entry> entriesOf(const TagState& tag) const;  // from the records
    void rebuildAllTags();  // every tag from the records, the .cdx written anew
    // Brings every tag, in memory and in the .cdx, up to date after a record changed
    // (oldRec null for an append).
    void updateTags(uint32_t recno, const uint8_t* oldRec, const uint8_t* newRec);
    // --- checks at open (TableCheck.cpp)
    // Rebuilds the tags that disagree with the records (written back unless read-only);
    // returns their names.
    std::vector<std::string> repairTags(bool full);
};

// Temporary and commit names of a pack, and the open's recovery of a pack cut short
// (TableCheck.cpp). recoverPack returns true when it finished one.
std::string packCommitPath(const std::string& dbfPath);
bool recoverPack(const std::string& dbfPath);

} // namespace xbase
