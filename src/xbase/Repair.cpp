#include "Repair.h"

#include "Cdx.h"
#include "Dbf.h"
#include "DbfValue.h"
#include "Error.h"
#include "File.h"
#include "Locks.h"
#include "Memo.h"
#include "Table.h"

#include "SystemError.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace xbase {
namespace {

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.find_last_of('.'));
}

std::string fileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void writeWhole(const std::string& path, const std::string& bytes)
{
    File file;
    file.create(path);
    file.writeAt(0, bytes);
    file.sync();
}

std::string backupFolder(const std::string& dbfPath)
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string folder = joinPath(directoryOf(dbfPath), baseName(dbfPath) + "-danificado-" + stamp);
    for (int n = 2; fileExists(joinPath(folder, fileName(dbfPath))); ++n)
        folder = joinPath(directoryOf(dbfPath), baseName(dbfPath) + "-danificado-" + stamp + "-" + std::to_string(n));
    return folder;
}

} // namespace

RepairReport repairTable(const std::string& dbfPath, const std::string& tagSource, const std::vector<FieldDef>& layout)
{
    RepairReport report;
    // The files are replaced: no other computer may have the table open meanwhile.
    File held;
    held.open(dbfPath, false);
    locks::Lock alone(held.descriptor(), locks::openLock(), fileName(dbfPath));
    DbfHeader header;
    uint64_t size = 0;
    {
        File dbf;
        dbf.open(dbfPath, true);
        try {
            header = readHeaderLayout(dbf);
        } catch (const Error& e) {
            const std::string refused = std::string(e.what()) + ". O cabeçalho está danificado: a tabela não pode ser reparada.";
            if (layout.empty())
                throw Error(ErrorKind::Damaged, refused);
            try {
                header = readHeaderAs(dbf, layout);  // every record is then checked by its mark
            } catch (const Error&) {
                throw Error(ErrorKind::Damaged, refused);
            }
        }
        size = dbf.size();
    }
    const std::string original = readWholeFile(dbfPath);
    const std::string fptPath = companionPath(dbfPath, "fpt");
    const std::string cdxPath = companionPath(dbfPath, "cdx");

    report.backupDir = backupFolder(dbfPath);
    makeFolder(report.backupDir);
    for (const std::string& path : {dbfPath, fptPath, cdxPath})
        if (fileExists(path))
            writeWhole(joinPath(report.backupDir, fileName(path)), readWholeFile(path));

    // Records: every whole one inside the count; past it, only those that begin like a record.
    const std::size_t length = header.recordLength;
    const uint64_t whole = size > header.headerLength ? (size - header.headerLength) / length : 0;
    std::string records;
    for (uint64_t r = 0; r < whole; ++r) {
        const std::string rec = original.substr(header.headerLength + r * length, length);
        if (r >= header.count && rec[0] != kLiveMark && rec[0] != kDeletedMark) {
            ++report.recordsDropped;
            continue;
        }
        records += rec;
    }
    report.recordsKept = static_cast<uint32_t>(records.size() / length);
    if (whole < header.count)
        report.recordsDropped += static_cast<uint32_t>(header.count - whole);

    // Memo pointers that lead nowhere are emptied; a memo file that cannot be read is begun anew.
    if (header.hasMemo()) {
        MemoFile memo;
        bool memoReadable = false;
        try {
            memo.open(fptPath, true);
            memoReadable = true;
        } catch (const Error&) {
            MemoFile::create(fptPath + ".tmp", 64);
            renameFile(fptPath + ".tmp", fptPath);
        }
        for (uint32_t r = 0; r < report.recordsKept; ++r) {
            for (const FieldDef& f : header.fields) {
                if (f.type != FieldType::Memo)
                    continue;
                char* pointer = records.data() + std::size_t(r) * length + f.offset;
                bool sound = false;
                try {
                    const uint32_t block = memoBlock(reinterpret_cast<const uint8_t*>(pointer), dbfPath);
                    sound = block == 0 || (memoReadable && (memo.read(block), true));
                } catch (const Error&) {
                }
                if (!sound) {
                    std::fill(pointer, pointer + f.length, ' ');
                    ++report.memosCleared;
                }
            }
        }
    }

    // The tags: read from the table's own index, else from the given one.
    std::vector<cdx::Tag> tags;
    if (header.flags & kFlagStructuralCdx) {
        try {
            tags = cdx::read(cdxPath);
        } catch (const Error&) {
            if (!tagSource.empty())
                tags = cdx::read(tagSource);
        }
        for (cdx::Tag& tag : tags)
            tag.entries.clear();
        if (tags.empty())
            header.flags &= static_cast<uint8_t>(~kFlagStructuralCdx);
    }

    header.count = report.recordsKept;
    replaceFileDurably(dbfPath, headerBytes(header) + records + static_cast<char>(kEndOfFile));
    if (!tags.empty())
        cdx::write(cdxPath, tags);
    syncDirectoryOf(dbfPath);
    alone.release();
    held.close();

    Table table;
    table.open(directoryOf(dbfPath), fileName(dbfPath));
    table.checkTags();
    for (const cdx::Tag& tag : tags)
        report.tagsRebuilt.push_back(tag.name);
    return report;
}

} // namespace xbase
