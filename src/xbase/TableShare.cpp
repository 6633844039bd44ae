// Sharing a table's files with other processes: the locks a post takes and what it reads
// again under them.
#include "TableImpl.h"


namespace xbase {

namespace {

constexpr uint64_t kCdxChangeCounterOffset = 8;  // big-endian, in the directory header

uint32_t bigEndian32(const std::string& b)
{
    return (uint32_t(uint8_t(b[0])) << 24) | (uint32_t(uint8_t(b[1])) << 16) | (uint32_t(uint8_t(b[2])) << 8)
           | uint8_t(b[3]);
}

bool stillNamed(const File& file, const std::string& path) { return file.isNamed(path); }

} // namespace

// Each turn follows a rename of the table under this open: a pack another process finished,
// or one a crash cut short and this open finished. Only a table packed again and again by
// others turns many times.
bool Table::Impl::openShared(const std::string& path)
{
    constexpr int kTurns = 50;
    bool packFinished = false;
    for (int turn = 0; turn < kTurns; ++turn) {
        dbf.open(path, readOnly);
        // Waits while another process packs.
        openLock = locks::Lock(dbf.descriptor(), locks::openLock(), tableName, true);
        if (!stillNamed(dbf, path)) {
            openLock.release();
            dbf.close();
            continue;
        }
        if (fileExists(packCommitPath(path))) {
            // No pack runs while another holds the table open, so this one was cut short: it
            // is finished by whoever has the table alone.
            openLock.release();
            dbf.close();
            File writable;
            writable.open(path, false);
            const locks::Lock alone(writable.descriptor(), locks::openLock(), tableName);
            if (stillNamed(writable, path) && recoverPack(path))
                packFinished = true;
            continue;
        }
        recoverPack(path);  // removes the temporary files of a pack that never committed
        return packFinished;
    }
    throw Error(ErrorKind::Busy, tableName + " está em uso por outro computador; tente de novo");
}

// Only what changed is read again: nothing when only the count grew (the new rows are read
// when needed), every row when another process wrote one in place (the change counter moved,
// or stands odd because a writer died in the middle).
void Table::Impl::readFresh()
{
    // No post of another process is halfway meanwhile.
    const AppendHold appending(*this, true);
    uint32_t onDisk = 0, changes = 0;
    xbase::readCountAndChanges(dbf, onDisk, changes);
    if (header.headerLength + uint64_t(onDisk) * recordLength() > dbf.size())
        throw Error(ErrorKind::Damaged, "Arquivo de tabela '" + dbfPath + "' danificado: o cabeçalho conta "
                    + std::to_string(onDisk) + " registros, mais do que o arquivo tem");
    if (changes != dbfChanges || changes % 2 != 0 || onDisk < header.count)
        forgetRecords();
    dbfChanges = changes;
    resizeRecords(onDisk);
    if (hasCdx() && !readOnly) {
        lockIndex();  // the tags read again when another process changed them
    } else if (hasCdx()) {
        const bool renamed = followRenamedCdx();
        const uint32_t changes = readCdxChanges();
        if (renamed || changes != cdxChanges) {
            // A writer that died in the middle of a change left the counter odd: its tags
            // wait for the next writer to mend them.
            if (!reloadTags(changes) || changes % 2 != 0)
                remakeTags();
        }
    }
    orderChanged();
    if (current > count()) {
        current = 0;
        atEof = atBof = true;
    }
}

locks::Lock Table::Impl::lockAppend(bool shared) const
{
    return locks::Lock(dbf.descriptor(), locks::appendLock(hasCdx()), tableName, shared);
}

locks::Lock Table::Impl::lockRecord(uint32_t recno) const
{
    return locks::Lock(dbf.descriptor(), locks::recordLock(hasCdx(), recno, recordOffset(recno)), tableName);
}

void Table::Impl::readAppendedRecords()
{
    uint32_t onDisk = 0, changes = 0;
    xbase::readCountAndChanges(dbf, onDisk, changes);
    if (changes != dbfChanges || changes % 2 != 0)
        forgetRecords();
    dbfChanges = changes;
    if (onDisk > header.count)
        resizeRecords(onDisk);
}

void Table::Impl::rereadRecord(uint32_t recno)
{
    const std::size_t page = (recno - 1) / pageRecords;
    if (!pageLoaded[page]) {
        needPage(page);  // read now: fresh
        return;
    }
    dbf.readAt(recordOffset(recno), record(recno), recordLength());
}

// Not made durable: after a power cut every process reads the table anew.
void Table::Impl::noteRecordsChanging()
{
    if (readOnly)
        return;
    dbfChanges += dbfChanges % 2 == 0 ? 1 : 2;
    dbf.writeAt(kChangesOffset, changesBytes(dbfChanges));
}

// A write in place undone: the record as it was, and so the counter.
void Table::Impl::restoreRecordsChanges(uint32_t before)
{
    if (readOnly || dbfChanges == before)
        return;
    dbfChanges = before;
    dbf.writeAt(kChangesOffset, changesBytes(dbfChanges));
}

void Table::Impl::noteRecordsChanged()
{
    if (readOnly)
        return;
    dbfChanges += dbfChanges % 2 == 0 ? 2 : 1;
    dbf.writeAt(kChangesOffset, changesBytes(dbfChanges));
}

uint32_t Table::Impl::readCdxChanges() const
{
    return bigEndian32(cdxLockFile.readAt(kCdxChangeCounterOffset, 4));
}

// A rebuild of the tags renames a new .cdx over the old one, so the file is opened again when
// its name has moved on: a descriptor kept from before would lock and read the replaced file.
bool Table::Impl::followRenamedCdx()
{
    if (stillNamed(cdxLockFile, cdxPath))
        return false;
    cdxLockFile.close();
    cdxLockFile.open(cdxPath, readOnly);
    return true;
}

bool Table::Impl::reloadTags(uint32_t changes)
{
    index.close();
    const bool loaded = loadTags();
    cdxChanges = changes;
    return loaded;
}

locks::Lock Table::Impl::lockIndex()
{
    if (readOnly || !hasCdx())
        return {};
    const bool renamed = followRenamedCdx();
    locks::Lock lock(cdxLockFile.descriptor(), locks::indexLock(), tableName);
    const uint32_t changes = readCdxChanges();
    if (renamed || changes != cdxChanges || changes % 2 != 0) {
        const bool loaded = reloadTags(changes);
        if (changes % 2 != 0 || !loaded) {  // a writer ended between its record and its tags
            forgetRecords();  // the records as that writer left them
            if (loaded)
                repairTags(true);
            else
                remakeTags();
            noteIndexChanged();
        }
    }
    return lock;
}

// Durable before any tag page changes: a power cut from here on leaves it odd on disk.
void Table::Impl::noteIndexChanging()
{
    if (readOnly || !hasCdx())
        return;
    cdxChanges += cdxChanges % 2 == 0 ? 1 : 2;
    writeCdxChanges(environment().syncOnPost);
}

void Table::Impl::noteIndexChanged()
{
    if (readOnly || !hasCdx())
        return;
    cdxChanges += cdxChanges % 2 == 0 ? 2 : 1;
    writeCdxChanges();
}

void Table::Impl::writeCdxChanges(bool durable)
{
    if (readOnly || !hasCdx())
        return;
    const uint8_t bytes[4] = {uint8_t(cdxChanges >> 24), uint8_t(cdxChanges >> 16), uint8_t(cdxChanges >> 8),
                              uint8_t(cdxChanges)};
    File rebuilt;
    File* file = &cdxLockFile;
    if (!stillNamed(cdxLockFile, cdxPath)) {  // the tags were rebuilt while the lock was held: the new file takes the count
        rebuilt.open(cdxPath, false);
        file = &rebuilt;
    }
    file->writeAt(kCdxChangeCounterOffset, bytes, sizeof bytes);
    if (durable)
        file->sync();
}

} // namespace xbase
