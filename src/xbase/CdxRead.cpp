// Reader of FoxPro compact compound indexes (.cdx). The whole file is loaded and every tree
// is walked from its root; nothing read is trusted before it has been checked, so a damaged
// file ends in an Error, never in a crash or an endless loop.
#include "Cdx.h"
#include "CdxLayout.h"
#include "Error.h"
#include "File.h"

#include <set>

namespace xbase::cdx {
namespace {

using namespace layout;

// Deeper than any real tree (a 240-byte key gives two entries per node: 2^32 keys in 32 levels).
constexpr int kMaxDepth = 40;

struct TagHeader {
    uint32_t root = 0;
    int keyLength = 0;
    uint8_t options = 0;
    std::string expression;
    std::string forExpression;
};

// One node as met on the walk, for the sibling check of its level.
struct NodeLink {
    uint32_t offset;
    uint32_t left;
    uint32_t right;
};

class Reader {
public:
    explicit Reader(const std::string& path) : path_(path)
    {
        File file;
        file.open(path, true);
        data_ = file.readAt(0, static_cast<std::size_t>(file.size()));
        if (data_.size() < kTagHeaderSize + kPageSize)
            fail("arquivo curto demais (" + std::to_string(data_.size()) + " bytes)");
    }

    uint64_t size() const { return data_.size(); }

    // The directory: tag names (trailing blanks removed) with their header offsets.
    std::vector<Entry> directory()
    {
        const TagHeader header = readHeader(0, "diretório de tags");
        std::vector<NodeShape> nodes;
        std::vector<Entry> entries = walkTree(header.root, header.keyLength, ' ', "diretório de tags", nodes);
        for (const NodeShape& node : nodes)
            usedPages_.insert(node.offset);
        for (Entry& e : entries) {
            const size_t end = e.key.find_last_not_of(std::string(" \0", 2));
            e.key.erase(end == std::string::npos ? 0 : end + 1);
            if (e.key.empty())
                fail("diretório de tags com nome vazio");
        }
        return entries;
    }

    // What a tag is (name, expressions, key length and type, options), without its tree.
    Tag definition(const Entry& directoryEntry, const KeyTypeOf& keyTypeOf) const
    {
        const TagHeader header = readHeader(directoryEntry.recno, "tag '" + directoryEntry.key + "'");
        Tag tag;
        tag.name = directoryEntry.key;
        tag.expression = header.expression;
        tag.forExpression = header.forExpression;
        tag.keyLength = header.keyLength;
        tag.options = header.options;
        tag.keyType = keyTypeOf ? keyTypeOf(header.expression) : KeyType::Character;
        return tag;
    }

    TagShape tag(const Entry& directoryEntry, const KeyTypeOf& keyTypeOf)
    {
        const std::string where = "tag '" + directoryEntry.key + "'";
        const TagHeader header = readHeader(directoryEntry.recno, where);
        TagShape shape;
        shape.headerOffset = directoryEntry.recno;
        shape.tag = definition(directoryEntry, keyTypeOf);
        Tag& tag = shape.tag;
        tag.entries = walkTree(header.root, header.keyLength, padByte(tag.keyType), where, shape.nodes);
        for (const Entry& e : tag.entries)
            if (e.recno == 0)
                fail(where + ": número de registro 0");
        usedPages_.insert(shape.headerOffset);
        usedPages_.insert(shape.headerOffset + kPageSize);
        for (const NodeShape& node : shape.nodes)
            usedPages_.insert(node.offset);
        return shape;
    }

    // The free-page list, as far as it is sound: it ends at the first link that is not a
    // free page inside the file, so a damaged list costs pages, never a tree.
    std::vector<uint32_t> freePages() const
    {
        std::vector<uint32_t> pages;
        std::set<uint32_t> seen;
        const auto* bytes = reinterpret_cast<const uint8_t*>(data_.data());
        uint32_t page = readLe32(bytes + kHeaderFreeList);
        while (page != 0 && page != kNoPage && page % kPageSize == 0 && page >= kTagHeaderSize
               && uint64_t(page) + kPageSize <= data_.size() && usedPages_.count(page) == 0
               && seen.insert(page).second) {
            pages.push_back(page);
            page = readLe32(bytes + page);
        }
        return pages;
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw Error(ErrorKind::Damaged, "Índice danificado '" + path_ + "': " + what);
    }

    static std::string at(uint32_t offset) { return " na posição " + std::to_string(offset); }

    const uint8_t* block(uint32_t offset, uint32_t size, const std::string& what) const
    {
        if (offset % kPageSize != 0)
            fail(what + at(offset) + " não está alinhado em 512 bytes");
        if (uint64_t(offset) + size > data_.size())
            fail(what + at(offset) + " fica fora do arquivo");
        return reinterpret_cast<const uint8_t*>(data_.data()) + offset;
    }

    TagHeader readHeader(uint32_t offset, const std::string& where) const
    {
        const uint8_t* h = block(offset, kTagHeaderSize, where + ": cabeçalho");
        TagHeader header;
        header.root = readLe32(h + kHeaderRoot);
        header.keyLength = int(readLe16(h + kHeaderKeyLength));
        header.options = h[kHeaderOptions];
        if (header.keyLength < 1 || header.keyLength > kMaxKeyLength)
            fail(where + ": tamanho de chave " + std::to_string(header.keyLength) + " inválido");
        if (!(header.options & kOptCompact))
            fail(where + ": formato de índice não suportado (não compacto)");
        if (readLe16(h + kHeaderOrder) != 0)
            fail(where + ": ordem descendente não suportada");
        header.expression = poolText(h, kHeaderKeyPos, kHeaderKeyLen, where);
        header.forExpression = poolText(h, kHeaderForPos, kHeaderForLen, where);
        return header;
    }

    std::string poolText(const uint8_t* header, int posField, int lenField, const std::string& where) const
    {
        const uint32_t pos = readLe16(header + posField);
        const uint32_t len = readLe16(header + lenField);
        if (pos + len > uint32_t(kPoolSize))
            fail(where + ": expressão fora do cabeçalho");
        const char* text = reinterpret_cast<const char*>(header + kHeaderPool + pos);
        std::string s(text, len);
        return s.substr(0, s.find('\0'));
    }

    // ---- Trees ----

    struct Walk {
        int keyLength;
        char pad;
        std::string where;
        std::set<uint32_t> visited;
        std::vector<std::vector<NodeLink>> levels;  // by depth, left to right
        int leafDepth = -1;
        std::vector<Entry> entries;
        std::vector<NodeShape> nodes;  // in the order met, the root first
    };

    std::vector<Entry> walkTree(uint32_t root, int keyLength, char pad, const std::string& where,
                                std::vector<NodeShape>& nodes)
    {
        Walk walk{keyLength, pad, where, {}, {}, -1, {}, {}};
        walkNode(walk, root, 0);
        checkSiblings(walk);
        checkOrder(walk);
        nodes = std::move(walk.nodes);
        return std::move(walk.entries);
    }

    // Reads the subtree at offset and returns the index of its last entry in walk.entries
    // (-1 for an empty root leaf).
    long walkNode(Walk& walk, uint32_t offset, int depth)
    {
        const std::string what = walk.where + ": nó";
        if (depth > kMaxDepth)
            fail(what + at(offset) + ": árvore profunda demais");
        const uint8_t* node = block(offset, kPageSize, what);
        if (!walk.visited.insert(offset).second)
            fail(what + at(offset) + " visitado duas vezes (laço entre nós)");

        const uint32_t attributes = readLe16(node);
        const bool isRoot = depth == 0;
        if (attributes > (kLeafBit | kRootBit))
            fail(what + at(offset) + ": atributos inválidos " + std::to_string(attributes));
        if (bool(attributes & kRootBit) != isRoot)
            fail(what + at(offset) + (isRoot ? ": a raiz não está marcada como raiz"
                                             : ": nó interno marcado como raiz"));
        if (size_t(depth) == walk.levels.size())
            walk.levels.emplace_back();
        walk.levels[depth].push_back({offset, readLe32(node + 4), readLe32(node + 8)});
        const std::size_t shape = walk.nodes.size();
        walk.nodes.push_back({offset, bool(attributes & kLeafBit), walk.entries.size(), 0, {}});

        if (attributes & kLeafBit) {
            if (walk.leafDepth == -1)
                walk.leafDepth = depth;
            else if (walk.leafDepth != depth)
                fail(what + at(offset) + ": folhas em níveis diferentes");
            readLeaf(walk, node, offset, isRoot);
            walk.nodes[shape].count = walk.entries.size() - walk.nodes[shape].first;
            return long(walk.entries.size()) - 1;
        }
        return readInterior(walk, node, offset, depth, shape);
    }

    long readInterior(Walk& walk, const uint8_t* node, uint32_t offset, int depth, std::size_t shape)
    {
        const std::string what = walk.where + ": nó" + at(offset);
        const int keyLength = walk.keyLength;
        const uint32_t count = readLe16(node + 2);
        if (count == 0)
            fail(what + ": nó interno sem chaves");
        if (count * uint32_t(keyLength + 8) > uint32_t(kInteriorSpace))
            fail(what + ": " + std::to_string(count) + " chaves não cabem no nó");
        // Copy the entries first: walking the children must not depend on this node's bytes.
        struct Child {
            std::string key;
            uint32_t recno;
            uint32_t offset;
        };
        std::vector<Child> children;
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* slot = node + kNodeHeaderSize + i * (keyLength + 8);
            children.push_back({std::string(reinterpret_cast<const char*>(slot), size_t(keyLength)),
                                readBe32(slot + keyLength), readBe32(slot + keyLength + 4)});
        }
        long last = -1;
        for (const Child& child : children) {
            walk.nodes[shape].children.push_back(walk.nodes.size());
            last = walkNode(walk, child.offset, depth + 1);
            if (last < 0)
                fail(what + ": filho vazio" + at(child.offset));
            const Entry& greatest = walk.entries[size_t(last)];
            if (greatest.key != child.key || greatest.recno != child.recno)
                fail(what + ": a chave do nó interno não é a última do filho" + at(child.offset));
        }
        return last;
    }

    void readLeaf(Walk& walk, const uint8_t* node, uint32_t offset, bool isRoot)
    {
        const std::string what = walk.where + ": folha" + at(offset);
        const int keyLength = walk.keyLength;
        const uint32_t count = readLe16(node + 2);
        const uint32_t freeSpace = readLe16(node + 12);
        const uint32_t recMask = readLe32(node + 14);
        const int recBits = node[20], dupBits = node[21], trailBits = node[22];
        const int entryBytes = node[23];

        if (entryBytes < 1 || entryBytes > 8 || recBits < 1 || recBits > 32 || dupBits > 8
            || trailBits > 8 || recBits + dupBits + trailBits > 8 * entryBytes)
            fail(what + ": larguras de bits inválidas");
        if (recMask != uint32_t((uint64_t(1) << recBits) - 1)
            || node[18] != uint8_t((1u << dupBits) - 1) || node[19] != uint8_t((1u << trailBits) - 1))
            fail(what + ": máscaras não conferem com as larguras de bits");
        if (kLeafHeaderSize + count * uint32_t(entryBytes) > kPageSize)
            fail(what + ": " + std::to_string(count) + " chaves não cabem no nó");
        if (count == 0 && !isRoot)
            fail(what + ": folha vazia");

        const int entriesEnd = kLeafHeaderSize + int(count) * entryBytes;
        int keyStart = int(kPageSize);
        std::string prev(size_t(keyLength), walk.pad);
        for (uint32_t i = 0; i < count; ++i) {
            uint64_t v = 0;
            const uint8_t* slot = node + kLeafHeaderSize + i * entryBytes;
            for (int b = 0; b < entryBytes; ++b)
                v |= uint64_t(slot[b]) << (8 * b);
            const uint32_t recno = uint32_t(v & recMask);
            const int dup = i == 0 ? 0 : int((v >> recBits) & node[18]);
            const int trail = int((v >> (recBits + dupBits)) & node[19]);
            const int stored = keyLength - dup - trail;
            if (stored < 0)
                fail(what + ": contagens de compressão maiores que a chave");
            keyStart -= stored;
            if (keyStart < entriesEnd)
                fail(what + ": bytes de chave invadem as entradas");
            std::string key = prev.substr(0, size_t(dup));
            key.append(reinterpret_cast<const char*>(node) + keyStart, size_t(stored));
            key.append(size_t(trail), walk.pad);
            walk.entries.push_back({key, recno});
            prev = std::move(key);
        }
        if (freeSpace != uint32_t(keyStart - entriesEnd))
            fail(what + ": espaço livre " + std::to_string(freeSpace) + " não confere (esperado "
                 + std::to_string(keyStart - entriesEnd) + ")");
    }

    // Each level, read left to right, must be linked exactly as it lies in the tree.
    void checkSiblings(const Walk& walk) const
    {
        for (const auto& level : walk.levels) {
            for (size_t i = 0; i < level.size(); ++i) {
                const uint32_t left = i == 0 ? kNoPage : level[i - 1].offset;
                const uint32_t right = i + 1 == level.size() ? kNoPage : level[i + 1].offset;
                if (level[i].left != left || level[i].right != right)
                    fail(walk.where + ": nó" + at(level[i].offset) + ": ligações de irmãos erradas");
            }
        }
    }

    void checkOrder(const Walk& walk) const
    {
        for (size_t i = 1; i < walk.entries.size(); ++i) {
            const Entry& a = walk.entries[i - 1];
            const Entry& b = walk.entries[i];
            if (b.key < a.key || (b.key == a.key && b.recno <= a.recno))
                fail(walk.where + ": chaves fora de ordem (entrada " + std::to_string(i + 1) + ")");
        }
    }

    std::string path_;
    std::string data_;
    std::set<uint32_t> usedPages_;  // headers and nodes of the trees read so far
};

} // namespace

FileShape layout::readShape(const std::string& path, const KeyTypeOf& keyTypeOf)
{
    Reader reader(path);
    FileShape file;
    for (const Entry& entry : reader.directory())
        file.tags.push_back(reader.tag(entry, keyTypeOf));
    file.freePages = reader.freePages();
    file.size = reader.size();
    return file;
}

std::vector<Tag> read(const std::string& path, const KeyTypeOf& keyTypeOf)
{
    std::vector<Tag> tags;
    for (TagShape& shape : layout::readShape(path, keyTypeOf).tags)
        tags.push_back(std::move(shape.tag));
    return tags;
}

std::vector<Tag> definitions(const std::string& path, const KeyTypeOf& keyTypeOf)
{
    Reader reader(path);
    std::vector<Tag> tags;
    for (const Entry& entry : reader.directory())
        tags.push_back(reader.definition(entry, keyTypeOf));
    return tags;
}

std::vector<std::string> tagNames(const std::string& path)
{
    Reader reader(path);
    std::vector<std::string> names;
    for (const Entry& entry : reader.directory())
        names.push_back(entry.key);
    return names;
}

} // namespace xbase::cdx
