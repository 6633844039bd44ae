#pragma once
#include <cstdint>
#include <functional>
#include <memory>
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

// The tags' definitions (everything but their entries), read from the directory and the tag
// headers alone: what rebuilds the tags when a tree was left half-written.
std::vector<Tag> definitions(const std::string& path, const KeyTypeOf& keyTypeOf = {});

// Tag names only (the directory), in the directory's order.
std::vector<std::string> tagNames(const std::string& path);

// Writes a complete, fresh .cdx with the given tags (FoxPro 2.x compact compound index,
// MACHINE collation). Entries are sorted by (key, recno) first; keys are padded or cut to
// keyLength. The file is written beside and renamed over the old one when complete.
void write(const std::string& path, std::vector<Tag> tags);

// A .cdx kept open for upkeep: every tag is held in memory as the tree it is on disk, and a
// change of a key is written to the pages it touches (the leaf, and the nodes a split or a
// join changes), so the file stays a valid compound index after every call. Pages given up
// by joins go to the file's free-page list and are used again before the file grows.
class Index {
public:
    Index();
    ~Index();
    Index(const Index&) = delete;
    Index& operator=(const Index&) = delete;

    // Reads and checks every tag as read() does. Throws Error.
    void open(const std::string& path, const KeyTypeOf& keyTypeOf, bool readOnly);
    void close();

    std::size_t tagCount() const;
    const Tag& tag(std::size_t t) const;  // name, expressions, key length and type; no entries
    std::size_t size(std::size_t t) const;
    const Entry& at(std::size_t t, std::size_t position) const;
    // Position of the first entry not less than (key, recno), key padded to the key length;
    // size(t) when every entry is less.
    std::size_t lowerBound(std::size_t t, const std::string& key, uint32_t recno) const;

    // Adds or removes one entry and writes the pages that changed. erase() returns false when
    // the tag does not hold the entry. On a write error the tags are read again from the
    // file, and the Error goes on to the caller.
    void insert(std::size_t t, const Entry& entry);
    bool erase(std::size_t t, const Entry& entry);

    // Writes the whole file anew with these tags, as write() does, and holds them.
    void rewrite(std::vector<Tag> tags);
    // The same at a path whose file could not be opened (a tree left half-written).
    void replace(const std::string& path, const KeyTypeOf& keyTypeOf, std::vector<Tag> tags);
    // Makes every page written so far durable (fsync).
    void sync();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace xbase::cdx
