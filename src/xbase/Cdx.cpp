// Writer of FoxPro compact compound indexes (.cdx). Every tag is built from scratch as a
// B+-tree packed left to right; the reader lives in CdxRead.cpp.
#include "Cdx.h"
#include "CdxLayout.h"
#include "Error.h"
#include "File.h"

#include <algorithm>
#include <set>


namespace xbase::cdx {

using namespace layout;

bool layout::entryLess(const Entry& a, const Entry& b)
{
    // std::string compares char as unsigned bytes, as memcmp does.
    const int c = a.key.compare(b.key);
    return c < 0 || (c == 0 && a.recno < b.recno);
}

namespace {

using namespace layout;

uint8_t* bytes(Page& page) { return reinterpret_cast<uint8_t*>(page.data()); }

// ---- Leaves ----

struct PackedEntry {
    uint32_t recno;
    int dup;
    int trail;
    int stored;  // key bytes kept in the node
};

// Compression of entries [first, first + count) as one leaf: entry 0 has no duplicate count.
std::vector<PackedEntry> packLeaf(const std::vector<Entry>& entries, size_t first, size_t count,
                                  char pad)
{
    std::vector<PackedEntry> packed;
    packed.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const std::string& key = entries[first + i].key;
        PackedEntry p;
        p.recno = entries[first + i].recno;
        p.trail = trailCount(key, pad);
        p.dup = i == 0 ? 0 : dupCount(entries[first + i - 1].key, packed.back().trail, key, p.trail);
        p.stored = int(key.size()) - p.dup - p.trail;
        packed.push_back(p);
    }
    return packed;
}

// Sizes of the leaves, filled left to right while the packed entries and key bytes fit.
std::vector<size_t> leafSizes(const std::vector<Entry>& entries, int keyLength, char pad)
{
    std::vector<size_t> sizes;
    size_t count = 0;
    int storedBytes = 0;
    int prevTrail = 0;
    uint32_t maxRecno = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& key = entries[i].key;
        const int trail = trailCount(key, pad);
        const int dup = count == 0 ? 0 : dupCount(entries[i - 1].key, prevTrail, key, trail);
        const uint32_t newMax = std::max(maxRecno, entries[i].recno);
        const int entryBytes = leafWidths(keyLength, newMax).entryBytes;
        const int stored = keyLength - dup - trail;
        if (count > 0
            && kLeafHeaderSize + int(count + 1) * entryBytes + storedBytes + stored > int(kPageSize)) {
            sizes.push_back(count);
            count = 0;
            storedBytes = 0;
            maxRecno = 0;
            --i;  // this entry starts the next leaf, where it has no duplicate count
            continue;
        }
        ++count;
        storedBytes += stored;
        prevTrail = trail;
        maxRecno = newMax;
    }
    if (count > 0 || sizes.empty())
        sizes.push_back(count);  // an empty tag is one empty leaf
    return sizes;
}

} // namespace

int layout::leafBytes(const std::vector<Entry>& entries, size_t first, size_t count, int keyLength,
                      char pad)
{
    uint32_t maxRecno = 0;
    int stored = 0;
    int prevTrail = 0;
    for (size_t i = first; i < first + count; ++i) {
        const std::string& key = entries[i].key;
        const int trail = trailCount(key, pad);
        const int dup = i == first ? 0 : dupCount(entries[i - 1].key, prevTrail, key, trail);
        stored += int(key.size()) - dup - trail;
        prevTrail = trail;
        maxRecno = std::max(maxRecno, entries[i].recno);
    }
    return int(count) * leafWidths(keyLength, maxRecno).entryBytes + stored;
}

Page layout::encodeLeaf(const std::vector<Entry>& entries, size_t first, size_t count, int keyLength,
                        char pad, bool isRoot, uint32_t left, uint32_t right)
{
    const std::vector<PackedEntry> packed = packLeaf(entries, first, count, pad);
    uint32_t maxRecno = 0;
    for (const PackedEntry& p : packed)
        maxRecno = std::max(maxRecno, p.recno);
    const LeafWidths w = leafWidths(keyLength, maxRecno);

    Page page(kPageSize, '\0');
    uint8_t* node = bytes(page);
    writeLe16(node + 0, kLeafBit | (isRoot ? kRootBit : 0));
    writeLe16(node + 2, uint32_t(count));
    writeLe32(node + 4, left);
    writeLe32(node + 8, right);
    writeLe32(node + 14, uint32_t((uint64_t(1) << w.recBits) - 1));
    node[18] = uint8_t((1u << w.dupBits) - 1);
    node[19] = uint8_t((1u << w.trailBits) - 1);
    node[20] = uint8_t(w.recBits);
    node[21] = uint8_t(w.dupBits);
    node[22] = uint8_t(w.trailBits);
    node[23] = uint8_t(w.entryBytes);

    int keyEnd = int(kPageSize);  // key remainders are packed from the end backwards
    for (size_t i = 0; i < count; ++i) {
        const PackedEntry& p = packed[i];
        const uint64_t v = uint64_t(p.recno) | (uint64_t(p.dup) << w.recBits)
                           | (uint64_t(p.trail) << (w.recBits + w.dupBits));
        uint8_t* slot = node + kLeafHeaderSize + i * w.entryBytes;
        for (int b = 0; b < w.entryBytes; ++b)
            slot[b] = uint8_t(v >> (8 * b));
        keyEnd -= p.stored;
        entries[first + i].key.copy(page.data() + keyEnd, size_t(p.stored), size_t(p.dup));
    }
    const int freeSpace = keyEnd - kLeafHeaderSize - int(count) * w.entryBytes;
    writeLe16(node + 12, uint32_t(freeSpace));
    return page;
}

// ---- Interior nodes ----

Page layout::encodeInterior(const std::vector<ChildRef>& children, size_t first, size_t count,
                            int keyLength, bool isRoot, uint32_t left, uint32_t right)
{
    Page page(kPageSize, '\0');
    uint8_t* node = bytes(page);
    writeLe16(node + 0, kInterior | (isRoot ? kRootBit : 0));
    writeLe16(node + 2, uint32_t(count));
    writeLe32(node + 4, left);
    writeLe32(node + 8, right);
    for (size_t i = 0; i < count; ++i) {
        const ChildRef& child = children[first + i];
        uint8_t* slot = node + kNodeHeaderSize + i * (keyLength + 8);
        child.last->key.copy(reinterpret_cast<char*>(slot), size_t(keyLength));
        writeBe32(slot + keyLength, child.last->recno);
        writeBe32(slot + keyLength + 4, child.offset);
    }
    return page;
}

namespace {

// ---- Whole trees ----

// Node counts of a tree, leaves first: level 0 holds the leaf sizes, every higher level the
// number of children of each node, up to a single root.
std::vector<std::vector<size_t>> treeShape(const std::vector<Entry>& entries, int keyLength, char pad)
{
    std::vector<std::vector<size_t>> levels{leafSizes(entries, keyLength, pad)};
    const size_t capacity = size_t(interiorCapacity(keyLength));
    while (levels.back().size() > 1) {
        const size_t below = levels.back().size();
        std::vector<size_t> level;
        for (size_t done = 0; done < below; done += capacity)
            level.push_back(std::min(capacity, below - done));
        levels.push_back(level);
    }
    return levels;
}

size_t pageCount(const std::vector<std::vector<size_t>>& shape)
{
    size_t n = 0;
    for (const auto& level : shape)
        n += level.size();
    return n;
}

// The pages of a tree, root first then level by level down to the leaves, to be stored
// contiguously from byte offset base (the root is therefore at base).
std::vector<Page> buildTree(const std::vector<Entry>& entries, int keyLength, char pad, uint32_t base)
{
    const auto shape = treeShape(entries, keyLength, pad);
    const size_t height = shape.size();

    // Offsets, top level first.
    std::vector<uint32_t> levelStart(height);
    uint32_t next = base;
    for (size_t l = height; l-- > 0;) {
        levelStart[l] = next;
        next += uint32_t(shape[l].size()) * kPageSize;
    }
    auto offsetOf = [&](size_t level, size_t index) { return levelStart[level] + uint32_t(index) * kPageSize; };
    auto sibling = [&](size_t level, size_t index, bool right) -> uint32_t {
        if (!right)
            return index == 0 ? kNoPage : offsetOf(level, index - 1);
        return index + 1 == shape[level].size() ? kNoPage : offsetOf(level, index + 1);
    };

    std::vector<std::vector<Page>> pages(height);
    std::vector<ChildRef> refs;  // the nodes of the level just built, for their parents
    size_t first = 0;
    for (size_t i = 0; i < shape[0].size(); ++i) {
        const size_t count = shape[0][i];
        pages[0].push_back(encodeLeaf(entries, first, count, keyLength, pad, height == 1,
                                      sibling(0, i, false), sibling(0, i, true)));
        if (count > 0)
            refs.push_back({&entries[first + count - 1], offsetOf(0, i)});
        first += count;
    }
    for (size_t l = 1; l < height; ++l) {
        std::vector<ChildRef> parents;
        size_t child = 0;
        for (size_t i = 0; i < shape[l].size(); ++i) {
            const size_t count = shape[l][i];
            pages[l].push_back(encodeInterior(refs, child, count, keyLength, l + 1 == height,
                                              sibling(l, i, false), sibling(l, i, true)));
            parents.push_back({refs[child + count - 1].last, offsetOf(l, i)});
            child += count;
        }
        refs = std::move(parents);
    }

    std::vector<Page> ordered;
    for (size_t l = height; l-- > 0;)
        for (Page& page : pages[l])
            ordered.push_back(std::move(page));
    return ordered;
}

// ---- Tag headers ----

Page headerPage(uint32_t root, int keyLength, uint8_t options, const std::string& expression,
                const std::string& forExpression)
{
    Page page(kTagHeaderSize, '\0');
    uint8_t* h = bytes(page);
    writeLe32(h + kHeaderRoot, root);
    writeLe32(h + kHeaderFreeList, 0);
    writeLe32(h + kHeaderCounter, 0);
    writeLe16(h + kHeaderKeyLength, uint32_t(keyLength));
    h[kHeaderOptions] = options;
    h[kHeaderSignature] = 1;
    writeLe16(h + kHeaderOrder, 0);
    const uint32_t keyLen = uint32_t(expression.size() + 1);  // lengths include the NUL
    writeLe16(h + kHeaderForPos, keyLen);
    writeLe16(h + kHeaderForLen, uint32_t(forExpression.size() + 1));
    writeLe16(h + kHeaderKeyPos, 0);
    writeLe16(h + kHeaderKeyLen, keyLen);
    expression.copy(page.data() + kHeaderPool, expression.size());
    forExpression.copy(page.data() + kHeaderPool + keyLen, forExpression.size());
    return page;
}

// ---- Checks and preparation of the caller's tags ----

[[noreturn]] void fail(const std::string& path, const std::string& what)
{
    throw Error(ErrorKind::Invalid, "Não foi possível gravar o índice '" + path + "': " + what);
}

void prepareTag(const std::string& path, Tag& tag, std::set<std::string>& names)
{
    if (tag.name.empty() || tag.name.size() > size_t(kDirectoryKeyLength))
        fail(path, "nome de tag inválido '" + tag.name + "' (de 1 a 10 caracteres)");
    for (char c : tag.name)
        if (c == ' ' || c == '\0' || (c >= 'a' && c <= 'z'))
            fail(path, "nome de tag inválido '" + tag.name + "' (maiúsculas, sem espaços)");
    if (!names.insert(tag.name).second)
        fail(path, "tag '" + tag.name + "' repetida");
    if (tag.keyLength < 1 || tag.keyLength > kMaxKeyLength)
        fail(path, "tag '" + tag.name + "': tamanho de chave " + std::to_string(tag.keyLength)
                       + " fora do intervalo de 1 a 240");
    if (tag.expression.find('\0') != std::string::npos
        || tag.forExpression.find('\0') != std::string::npos
        || tag.expression.size() + tag.forExpression.size() + 2 > size_t(kPoolSize))
        fail(path, "tag '" + tag.name + "': expressão inválida ou longa demais");

    const char pad = padByte(tag.keyType);
    for (Entry& e : tag.entries)
        e.key.resize(size_t(tag.keyLength), pad);
    std::sort(tag.entries.begin(), tag.entries.end(), entryLess);
    if (tag.options & kOptUnique) {
        auto sameKey = [](const Entry& a, const Entry& b) { return a.key == b.key; };
        tag.entries.erase(std::unique(tag.entries.begin(), tag.entries.end(), sameKey),
                          tag.entries.end());
    }

    tag.options = uint8_t((tag.options & kOptUnique) | kOptCompact | kOptCompound);
    if (!tag.forExpression.empty())
        tag.options |= kOptFor;
}

std::vector<Entry> directoryEntries(const std::vector<Tag>& tags, const std::vector<uint32_t>& headerOffsets)
{
    std::vector<Entry> entries;
    for (size_t i = 0; i < tags.size(); ++i) {
        std::string key = tags[i].name;
        key.resize(size_t(kDirectoryKeyLength), ' ');
        entries.push_back({key, headerOffsets[i]});
    }
    std::sort(entries.begin(), entries.end(), entryLess);
    return entries;
}

// ---- File ----

} // namespace

void write(const std::string& path, std::vector<Tag> tags)
{
    std::set<std::string> names;
    for (Tag& tag : tags)
        prepareTag(path, tag, names);

    // Tag pages do not depend on where they are stored, so their sizes are known up front.
    std::vector<size_t> tagPages;
    for (const Tag& tag : tags)
        tagPages.push_back(2 + pageCount(treeShape(tag.entries, tag.keyLength, padByte(tag.keyType))));

    // The directory sits at 1024, before the tags; its entries hold the tags' header offsets,
    // which depend on its own size. Grow it until it holds still.
    size_t directoryPages = 1;
    std::vector<uint32_t> headerOffsets;
    std::vector<Entry> directory;
    for (;;) {
        headerOffsets.clear();
        uint64_t next = kTagHeaderSize + directoryPages * kPageSize;
        for (size_t pages : tagPages) {
            headerOffsets.push_back(uint32_t(next));
            next += pages * kPageSize;
        }
        if (next > 0xFFFFFFFFull)
            fail(path, "índice grande demais");
        directory = directoryEntries(tags, headerOffsets);
        const size_t needed = pageCount(treeShape(directory, kDirectoryKeyLength, ' '));
        if (needed <= directoryPages)
            break;
        directoryPages = needed;
    }

    std::string content = headerPage(kTagHeaderSize, kDirectoryKeyLength,
                                     kOptCompact | kOptCompound | kOptDirectory, "", "");
    for (Page& page : buildTree(directory, kDirectoryKeyLength, ' ', kTagHeaderSize))
        content += page;
    for (size_t i = 0; i < tags.size(); ++i) {
        const Tag& tag = tags[i];
        const uint32_t root = headerOffsets[i] + kTagHeaderSize;
        content += headerPage(root, tag.keyLength, tag.options, tag.expression, tag.forExpression);
        for (Page& page : buildTree(tag.entries, tag.keyLength, padByte(tag.keyType), root))
            content += page;
    }
    // Beside the old file and renamed over it: a crash keeps one whole index or the other.
    replaceFileDurably(path, content);
}

} // namespace xbase::cdx
