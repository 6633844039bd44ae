#pragma once
#include "Schema.h"

#include <cstdint>
#include <string>
#include <vector>

namespace xbase {

class File;

constexpr uint8_t kDbfPlain = 0x03;      // FoxPro 2.x without memo
constexpr uint8_t kDbfWithMemo = 0xF5;   // FoxPro 2.x with .fpt
constexpr uint8_t kFlagStructuralCdx = 0x01;
constexpr uint8_t kCodePage1252 = 0x03;
constexpr uint8_t kEndOfFile = 0x1A;
constexpr char kLiveMark = ' ';
constexpr char kDeletedMark = '*';

// The parts of a .dbf header the engine uses.
struct DbfHeader {
    uint8_t version = kDbfPlain;
    uint32_t count = 0;
    uint16_t headerLength = 0;
    uint16_t recordLength = 0;
    uint8_t flags = 0;
    uint8_t codePage = kCodePage1252;
    // This engine's change counter, in reserved bytes 16-19 (little-endian), which FoxPro and
    // the other xBase readers leave alone: every write of a record in place moves it, odd
    // while the write is under way, so that another process holding rows in memory knows
    // when to read them again. Appends do not move it: the count tells those.
    uint32_t changes = 0;
    std::vector<FieldDef> fields;

    bool hasMemo() const;
};

// Checks a field list for a new table and fills in offsets, record and header lengths and
// the version byte. Throws Error naming the table.
DbfHeader layoutHeader(const std::string& tableName, std::vector<FieldDef> fields, bool withCdx);

// Reads the header of an open .dbf and checks it against the file size.
DbfHeader readHeader(const File& file);
// The same without the check of the record count against the file size (for a repair).
DbfHeader readHeaderLayout(const File& file);

// The header of a file whose counts and lengths (bytes 4 to 15) may be garbage, rebuilt from
// the fields the table was made with, when the file's field list is that one. The count is 0:
// the caller counts the records. Throws Error (Damaged) when the field list differs.
DbfHeader readHeaderAs(const File& file, const std::vector<FieldDef>& fields);

// The record count the header holds now (another process may have appended since the open).
uint32_t readCount(const File& file);
constexpr uint64_t kChangesOffset = 16;
// The record count and the change counter as the header holds them now, in one read.
void readCountAndChanges(const File& file, uint32_t& count, uint32_t& changes);
// The change counter's bytes, to be written at kChangesOffset.
std::string changesBytes(uint32_t changes);

// The complete header bytes (headerLength of them), dated today.
std::string headerBytes(const DbfHeader& header);

// Bytes 1..7 of the header: date of last update (today) and record count.
std::string dateAndCount(uint32_t count);

} // namespace xbase
