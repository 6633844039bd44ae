#pragma once
// Internal to the .cdx reader and writer: page layout constants, byte-order helpers and the
// leaf compression rules both sides share.
#include "Cdx.h"

#include <cstdint>
#include <string>
#include <vector>

namespace xbase::cdx::layout {

constexpr uint32_t kPageSize = 512;
constexpr uint32_t kTagHeaderSize = 1024;
constexpr uint32_t kNoPage = 0xFFFFFFFF;
constexpr int kMaxKeyLength = 240;
constexpr int kDirectoryKeyLength = 10;
constexpr int kNodeHeaderSize = 12;   // attributes, count, left, right
constexpr int kLeafHeaderSize = 24;   // node header + free space, masks and bit widths
constexpr int kInteriorSpace = kPageSize - kNodeHeaderSize;

// Node attributes.
constexpr uint16_t kInterior = 0;
constexpr uint16_t kRootBit = 1;
constexpr uint16_t kLeafBit = 2;

// Tag header fields.
constexpr int kHeaderRoot = 0;
constexpr int kHeaderFreeList = 4;
constexpr int kHeaderCounter = 8;
constexpr int kHeaderKeyLength = 12;
constexpr int kHeaderOptions = 14;
constexpr int kHeaderSignature = 15;
constexpr int kHeaderOrder = 502;
constexpr int kHeaderForPos = 504;
constexpr int kHeaderForLen = 506;
constexpr int kHeaderKeyPos = 508;
constexpr int kHeaderKeyLen = 510;
constexpr int kHeaderPool = 512;
constexpr int kPoolSize = 512;

constexpr uint8_t kOptUnique = 0x01;
constexpr uint8_t kOptFor = 0x08;
constexpr uint8_t kOptCompact = 0x20;
constexpr uint8_t kOptCompound = 0x40;
constexpr uint8_t kOptDirectory = 0x80;

inline char padByte(KeyType type) { return type == KeyType::Character ? ' ' : '\0'; }

inline uint32_t readLe16(const uint8_t* p) { return p[0] | (p[1] << 8); }
inline uint32_t readLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint32_t readBe32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline void writeLe16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void writeLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
inline void writeBe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (24 - 8 * i));
}

// Bits needed to write n (at least 1).
inline int bitsFor(uint64_t n)
{
    int bits = 1;
    while (bits < 64 && (n >> bits) != 0)
        ++bits;
    return bits;
}

// Widths of the packed leaf entries of one node.
struct LeafWidths {
    int recBits = 0;
    int dupBits = 0;
    int trailBits = 0;
    int entryBytes = 0;
};

// Duplicate and trailing counts take as many bits as the key length needs; the record number
// takes the rest of three bytes, and whole bytes are added while the largest record number
// of the node does not fit.
inline LeafWidths leafWidths(int keyLength, uint32_t maxRecno)
{
    LeafWidths w;
    w.dupBits = w.trailBits = bitsFor(uint64_t(keyLength));
    w.entryBytes = 3;
    w.recBits = 24 - 2 * w.dupBits;
    while (w.recBits < 32 && (uint64_t(maxRecno) >> w.recBits) != 0) {
        ++w.entryBytes;
        w.recBits = w.recBits + 8 > 32 ? 32 : w.recBits + 8;  // the mask field holds 32 bits
    }
    return w;
}

// Number of pad bytes at the end of a key.
inline int trailCount(const std::string& key, char pad)
{
    int n = 0;
    for (auto it = key.rbegin(); it != key.rend() && *it == pad; ++it)
        ++n;
    return n;
}

// Leading bytes shared with the previous key of the node, never reaching into either key's
// padding.
inline int dupCount(const std::string& prev, int prevTrail, const std::string& key, int trail)
{
    const int keyLength = int(key.size());
    const int cap = keyLength - (prevTrail > trail ? prevTrail : trail);
    int n = 0;
    while (n < cap && prev[n] == key[n])
        ++n;
    return n;
}

using Page = std::string;  // kPageSize bytes (a tag header: kTagHeaderSize)

bool entryLess(const Entry& a, const Entry& b);

// Bytes the packed entries and stored key bytes of entries [first, first + count) take in one
// leaf; the leaf fits when this is at most kLeafSpace.
constexpr int kLeafSpace = kPageSize - kLeafHeaderSize;
int leafBytes(const std::vector<Entry>& entries, std::size_t first, std::size_t count, int keyLength,
              char pad);

Page encodeLeaf(const std::vector<Entry>& entries, std::size_t first, std::size_t count, int keyLength,
                char pad, bool isRoot, uint32_t left, uint32_t right);

inline int interiorCapacity(int keyLength) { return kInteriorSpace / (keyLength + 8); }

struct ChildRef {
    const Entry* last;  // greatest entry of the child's subtree
    uint32_t offset;
};

Page encodeInterior(const std::vector<ChildRef>& children, std::size_t first, std::size_t count,
                    int keyLength, bool isRoot, uint32_t left, uint32_t right);

// ---- A file as read, with the shape of its trees (for the in-place upkeep)

struct NodeShape {
    uint32_t offset = 0;
    bool leaf = false;
    std::size_t first = 0, count = 0;  // a leaf's entries in the tag's entry list
    std::vector<std::size_t> children; // an interior node's children, as indexes into nodes
};

struct TagShape {
    Tag tag;
    uint32_t headerOffset = 0;
    std::vector<NodeShape> nodes;  // nodes[0] is the root
};

struct FileShape {
    std::vector<TagShape> tags;      // in the directory's order
    std::vector<uint32_t> freePages; // the free-page list, head first
    uint64_t size = 0;
};

FileShape readShape(const std::string& path, const KeyTypeOf& keyTypeOf);

} // namespace xbase::cdx::layout
