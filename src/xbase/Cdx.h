#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace xbase::cdx {

// Padding of a key: character keys are padded with blanks, numeric and date keys with zeros.
enum class KeyType { Character, Numeric };

struct Entry {
    std::string key;  // full key, key-length bytes
    uint32_t recno;   // 1-based record number
};

// One tag of a compound index, with all its keys in index order
// (ascending key bytes, then ascending record number).
struct Tag {
    std::string name;           // upper case
    std::string expression;     // key expression as stored
    std::string forExpression;  // empty when none
    int keyLength = 0;
    KeyType keyType = KeyType::Character;
    uint8_t options = 0x60;     // 0x01 unique, 0x08 FOR clause, 0x20 compact, 0x40 compound
    std::vector<Entry> entries;
};

// Decides the key type of a tag from its expression (the table knows its fields).
using KeyTypeOf = std::function<KeyType(const std::string& expression)>;

// Reads every tag of a .cdx file, walking each tree from its root and checking what it reads:
// pages inside the file and 512-aligned, key counts and offsets inside the node, bit widths,
// sibling and child loops, key order. Throws Error naming the file and the fault.
// Without keyTypeOf every tag is taken as a character tag.
// Tags come in the directory's order (by name), each with its entries in index order.
std::vector<Tag> read(const std::string& path, const KeyTypeOf& keyTypeOf = {});

// Tag names only (the directory), in the directory's order.
std::vector<std::string> tagNames(const std::string& path);

// Writes a complete, fresh .cdx with the given tags (FoxPro 2.x compact compound index,
// MACHINE collation). Entries are sorted by (key, recno) first; keys are padded or cut to
// keyLength. The file is written beside and renamed over the old one when complete.
void write(const std::string& path, std::vector<Tag> tags);

} // namespace xbase::cdx
