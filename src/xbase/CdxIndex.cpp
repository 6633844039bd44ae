// In-place upkeep of a .cdx: each tag's B+-tree mirrored in memory node for node, with the
// page every node lives on. A change edits the leaf, splits a node that overflows into two
// siblings, joins a node that runs low with its sibling, and writes back only the pages it
// touched.
#include "Cdx.h"
#include "CdxLayout.h"
#include "Error.h"
#include "Environment.h"
#include "File.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <set>

namespace xbase::cdx {

using namespace layout;

namespace {

struct Node {
    uint32_t page = 0;
    bool leaf = true;
    bool dirty = false;    // to be written at the end of the change
    bool removed = false;  // given up by the change: its page is free
    Node* parent = nullptr;
    Node* left = nullptr;   // siblings on the same level
    Node* right = nullptr;
    std::vector<Entry> entries;                   // a leaf's
    std::vector<std::unique_ptr<Node>> children;  // an interior node's
    mutable int bytes = -1;  // a leaf's packed size, -1 until worked out after a change

    // The greatest entry of the subtree (null for an empty root leaf).
    const Entry* last() const
    {
        const Node* n = this;
        while (!n->leaf)
            n = n->children.back().get();
        return n->entries.empty() ? nullptr : &n->entries.back();
    }
};

struct TagTree {
    Tag info;  // without entries
    uint32_t header = 0;
    char pad = ' ';
    std::unique_ptr<Node> root;
    std::vector<Node*> leaves;  // left to right
    std::size_t size = 0;
    bool rootMoved = false;

    // Position of each leaf's first entry, made again after a change when asked for.
    mutable std::vector<std::size_t> starts;
    mutable bool startsValid = false;
    mutable std::size_t lastLeaf = 0;  // where the last lookup ended: walks go leaf by leaf

    void invalidate() { startsValid = false; }
    void makeStarts() const
    {
        if (startsValid)
            return;
        starts.resize(leaves.size());
        std::size_t n = 0;
        for (std::size_t i = 0; i < leaves.size(); ++i) {
            starts[i] = n;
            n += leaves[i]->entries.size();
        }
        startsValid = true;
        lastLeaf = 0;
    }
};

// Joins leave a quarter of a node free, so that a key change (a removal and an insertion)
// does not join and split the same nodes over and over.
constexpr int kJoinedLeafBytes = kLeafSpace * 3 / 4;

} // namespace

struct Index::Impl {
    std::string path;
    KeyTypeOf keyTypeOf;
    bool readOnly = true;
    File file;
    std::vector<TagTree> tags;
    std::vector<uint32_t> freePages;  // a stack: the head of the file's list is at the back
    bool freeListChanged = false;
    uint64_t end = 0;  // where the next new page goes

    // The change being made
    std::vector<Node*> dirty;
    std::vector<std::unique_ptr<Node>> removed;
    std::vector<uint32_t> freed;
    std::set<uint32_t> fresh;  // pages this change took: no node of the tree on disk is there

    // What the file held where the change writes, so that a change cut short by a failed
    // write (full disk, file-size limit) is written back and the file stays the index it was.
    struct Undo {
        uint64_t offset;
        std::string old;
    };
    std::vector<Undo> undo;
    uint64_t sizeBefore = 0;

    void write(uint64_t offset, const void* data, std::size_t length)
    {
        std::string old;
        if (offset < sizeBefore)
            old = file.readAt(offset, std::size_t(std::min<uint64_t>(length, sizeBefore - offset)));
        undo.push_back({offset, std::move(old)});
        file.writeAt(offset, data, length);
    }
    void write(uint64_t offset, const std::string& data) { write(offset, data.data(), data.size()); }

    void writeBack()
    {
        try {
            for (auto it = undo.rbegin(); it != undo.rend(); ++it)
                if (!it->old.empty())
                    file.writeAt(it->offset, it->old);
            file.truncate(sizeBefore);
        } catch (const Error&) {
            // Nothing new is written here, only old bytes in place; should it fail all the
            // same, the check at the next open finds the tag that disagrees and rebuilds it.
        }
        undo.clear();
    }

    void load()
    {
        FileShape shape = readShape(path, keyTypeOf);
        tags.clear();
        for (TagShape& tagShape : shape.tags) {
            TagTree tree;
            tree.header = tagShape.headerOffset;
            tree.pad = padByte(tagShape.tag.keyType);
            std::vector<Entry> entries = std::move(tagShape.tag.entries);
            tree.info = std::move(tagShape.tag);
            tree.size = entries.size();
            std::vector<std::vector<Node*>> levels;
            tree.root = build(tree, tagShape, 0, entries, nullptr, 0, levels);
            for (const auto& level : levels)
                for (std::size_t i = 0; i < level.size(); ++i) {
                    level[i]->left = i == 0 ? nullptr : level[i - 1];
                    level[i]->right = i + 1 == level.size() ? nullptr : level[i + 1];
                }
            tags.push_back(std::move(tree));
        }
        freePages.assign(shape.freePages.rbegin(), shape.freePages.rend());
        freeListChanged = false;
        end = (shape.size + kPageSize - 1) / kPageSize * kPageSize;
    }

    std::unique_ptr<Node> build(TagTree& tree, const TagShape& shape, std::size_t index,
                                std::vector<Entry>& entries, Node* parent, std::size_t depth,
                                std::vector<std::vector<Node*>>& levels)
    {
        const NodeShape& s = shape.nodes[index];
        auto node = std::make_unique<Node>();
        node->page = s.offset;
        node->leaf = s.leaf;
        node->parent = parent;
        if (levels.size() == depth)
            levels.emplace_back();
        levels[depth].push_back(node.get());
        if (s.leaf) {
            const auto first = entries.begin() + std::ptrdiff_t(s.first);
            node->entries.assign(std::make_move_iterator(first),
                                 std::make_move_iterator(first + std::ptrdiff_t(s.count)));
            tree.leaves.push_back(node.get());
        } else {
            for (std::size_t child : s.children)
                node->children.push_back(build(tree, shape, child, entries, node.get(), depth + 1, levels));
        }
        return node;
    }

    // ---- Finding

    // The leaf where entry belongs: the first whose greatest entry is not less than it, or
    // the last leaf.
    static std::size_t leafFor(const TagTree& tree, const Entry& entry)
    {
        const auto it = std::partition_point(tree.leaves.begin(), tree.leaves.end() - 1, [&](const Node* leaf) {
            return entryLess(leaf->entries.back(), entry);
        });
        return std::size_t(it - tree.leaves.begin());
    }

    static std::size_t indexOf(const std::vector<Node*>& nodes, const Node* node)
    {
        return std::size_t(std::find(nodes.begin(), nodes.end(), node) - nodes.begin());
    }

    static std::size_t childIndex(const Node* parent, const Node* child)
    {
        std::size_t i = 0;
        while (parent->children[i].get() != child)
            ++i;
        return i;
    }

    // ---- Pages

    // Every change of a node's content or links marks it; its packed size is then worked out
    // again when asked for.
    void markDirty(Node* node)
    {
        node->bytes = -1;
        if (!node->dirty) {
            node->dirty = true;
            dirty.push_back(node);
        }
    }

    uint32_t allocate()
    {
        if (!freePages.empty()) {
            const uint32_t page = freePages.back();
            freePages.pop_back();
            freeListChanged = true;
            // A page this change gave up may still be in the tree on disk.
            if (std::find(freed.begin(), freed.end(), page) == freed.end())
                fresh.insert(page);
            return page;
        }
        const uint32_t page = uint32_t(end);
        if (end + kPageSize > 0xFFFFFFFFull)
            throw Error(ErrorKind::System, "Não foi possível gravar o índice '" + path + "': índice grande demais");
        end += kPageSize;
        fresh.insert(page);
        return page;
    }

    void release(std::unique_ptr<Node> node)
    {
        node->removed = true;
        freePages.push_back(node->page);
        freed.push_back(node->page);
        freeListChanged = true;
        removed.push_back(std::move(node));
    }

    // The parent holds the greatest entry of each child: after the greatest entry of node
    // changed, its parent changes, and so on up while the node is its parent's last child.
    void lastChanged(Node* node)
    {
        for (Node* n = node; n->parent; n = n->parent) {
            markDirty(n->parent);
            if (n != n->parent->children.back().get())
                break;
        }
    }

    // ---- Splits

    static int bytesOf(const TagTree& tree, const Node& leaf)
    {
        if (leaf.bytes < 0)
            leaf.bytes = leafBytes(leaf.entries, 0, leaf.entries.size(), tree.info.keyLength, tree.pad);
        return leaf.bytes;
    }

    bool fits(const TagTree& tree, const Node& node) const
    {
        if (!node.leaf)
            return int(node.children.size()) <= interiorCapacity(tree.info.keyLength);
        return bytesOf(tree, node) <= kLeafSpace;
    }

    // Where to cut an overflowing leaf: the cut after which both halves fit and hold about
    // the same bytes. Each entry's stored bytes are worked out once; the first entry of the
    // right half stores its whole key, as the first entry of every leaf does.
    std::size_t leafCut(const TagTree& tree, const std::vector<Entry>& entries) const
    {
        const int keyLength = tree.info.keyLength;
        const std::size_t n = entries.size();
        std::vector<int> stored(n), dup(n);
        std::vector<uint32_t> maxBefore(n + 1, 0), maxFrom(n + 1, 0);
        int prevTrail = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const int trail = trailCount(entries[i].key, tree.pad);
            dup[i] = i == 0 ? 0 : dupCount(entries[i - 1].key, prevTrail, entries[i].key, trail);
            stored[i] = keyLength - dup[i] - trail;
            prevTrail = trail;
            maxBefore[i + 1] = std::max(maxBefore[i], entries[i].recno);
        }
        for (std::size_t i = n; i-- > 0;)
            maxFrom[i] = std::max(maxFrom[i + 1], entries[i].recno);
        int total = 0;
        for (int s : stored)
            total += s;

        std::size_t best = n / 2;
        int bestDifference = -1;
        int left = 0;  // stored bytes of the entries before the cut
        for (std::size_t cut = 1; cut < n; ++cut) {
            left += stored[cut - 1];
            const int leftBytes = left + int(cut) * leafWidths(keyLength, maxBefore[cut]).entryBytes;
            const int rightBytes = total - left + dup[cut]
                                   + int(n - cut) * leafWidths(keyLength, maxFrom[cut]).entryBytes;
            if (leftBytes > kLeafSpace || rightBytes > kLeafSpace)
                continue;
            const int difference = std::abs(leftBytes - rightBytes);
            if (bestDifference < 0 || difference < bestDifference) {
                best = cut;
                bestDifference = difference;
            }
        }
        return best;
    }

    // Moves the upper part of node into a new right sibling; a root that splits gets a new
    // root above it.
    void split(TagTree& tree, Node* node)
    {
        auto right = std::make_unique<Node>();
        Node* r = right.get();
        r->leaf = node->leaf;
        r->page = allocate();
        if (node->leaf) {
            const auto cut = node->entries.begin() + std::ptrdiff_t(leafCut(tree, node->entries));
            r->entries.assign(std::make_move_iterator(cut), std::make_move_iterator(node->entries.end()));
            node->entries.erase(cut, node->entries.end());
            tree.leaves.insert(tree.leaves.begin() + std::ptrdiff_t(indexOf(tree.leaves, node)) + 1, r);
            tree.invalidate();
        } else {
            const auto cut = node->children.begin() + std::ptrdiff_t(node->children.size() / 2);
            for (auto it = cut; it != node->children.end(); ++it) {
                (*it)->parent = r;
                r->children.push_back(std::move(*it));
            }
            node->children.erase(cut, node->children.end());
        }
        r->left = node;
        r->right = node->right;
        if (node->right) {
            node->right->left = r;
            markDirty(node->right);
        }
        node->right = r;
        markDirty(node);
        markDirty(r);

        if (!node->parent) {
            auto root = std::make_unique<Node>();
            root->leaf = false;
            root->page = allocate();
            node->parent = r->parent = root.get();
            root->children.push_back(std::move(tree.root));
            root->children.push_back(std::move(right));
            tree.root = std::move(root);
            tree.rootMoved = true;
            markDirty(tree.root.get());
        } else {
            Node* parent = node->parent;
            r->parent = parent;
            parent->children.insert(parent->children.begin() + std::ptrdiff_t(childIndex(parent, node)) + 1,
                                    std::move(right));
            markDirty(parent);
            if (!fits(tree, *parent))
                split(tree, parent);
        }
        // A half that still overflows (record numbers that widen every entry) splits again.
        if (!fits(tree, *node))
            split(tree, node);
        if (!fits(tree, *r))
            split(tree, r);
    }

    // ---- Joins

    bool canJoin(const TagTree& tree, const Node& a, const Node& b) const
    {
        if (a.leaf) {
            const int keyLength = tree.info.keyLength;
            // Joined, the two take about what they take apart: most pairs are ruled out so.
            if (bytesOf(tree, a) + bytesOf(tree, b) > kJoinedLeafBytes + keyLength + int(a.entries.size() + b.entries.size()))
                return false;
            std::vector<Entry> both = a.entries;
            both.insert(both.end(), b.entries.begin(), b.entries.end());
            return leafBytes(both, 0, both.size(), keyLength, tree.pad) <= kJoinedLeafBytes;
        }
        return int(a.children.size() + b.children.size()) <= interiorCapacity(tree.info.keyLength) * 3 / 4;
    }

    // Joins node with a sibling under the same parent when both fit in one node.
    void joinSmall(TagTree& tree, Node* node)
    {
        Node* parent = node->parent;
        if (!parent)
            return;
        Node* a = nullptr;  // b moves into a, its left neighbour
        Node* b = nullptr;
        if (node->right && node->right->parent == parent && canJoin(tree, *node, *node->right)) {
            a = node;
            b = node->right;
        } else if (node->left && node->left->parent == parent && canJoin(tree, *node->left, *node)) {
            a = node->left;
            b = node;
        } else {
            return;
        }
        if (a->leaf) {
            a->entries.insert(a->entries.end(), std::make_move_iterator(b->entries.begin()),
                              std::make_move_iterator(b->entries.end()));
            b->entries.clear();
        } else {
            for (auto& child : b->children) {
                child->parent = a;
                a->children.push_back(std::move(child));
            }
            b->children.clear();
        }
        markDirty(a);
        remove(tree, b);
    }

    // Takes an emptied node out of its level and its parent and frees its page.
    void remove(TagTree& tree, Node* node)
    {
        Node* parent = node->parent;
        const bool wasLast = node == parent->children.back().get();
        if (node->left) {
            node->left->right = node->right;
            markDirty(node->left);
        }
        if (node->right) {
            node->right->left = node->left;
            markDirty(node->right);
        }
        if (node->leaf) {
            tree.leaves.erase(tree.leaves.begin() + std::ptrdiff_t(indexOf(tree.leaves, node)));
            tree.invalidate();
        }
        const auto it = parent->children.begin() + std::ptrdiff_t(childIndex(parent, node));
        std::unique_ptr<Node> owned = std::move(*it);
        parent->children.erase(it);
        release(std::move(owned));
        markDirty(parent);

        if (parent->children.empty()) {  // never the root: it keeps at least two children
            remove(tree, parent);
            return;
        }
        if (wasLast)
            lastChanged(parent);
        if (parent->parent)
            joinSmall(tree, parent);
        else
            collapseRoot(tree);
    }

    // A root with one child gives way to that child.
    void collapseRoot(TagTree& tree)
    {
        while (!tree.root->leaf && tree.root->children.size() == 1) {
            std::unique_ptr<Node> child = std::move(tree.root->children.front());
            tree.root->children.clear();
            child->parent = nullptr;
            release(std::move(tree.root));
            tree.root = std::move(child);
            tree.rootMoved = true;
            markDirty(tree.root.get());
        }
    }

    // ---- Changes

    void insert(TagTree& tree, const Entry& entry)
    {
        Node* leaf = tree.leaves[tree.size == 0 ? 0 : leafFor(tree, entry)];
        const auto at = std::lower_bound(leaf->entries.begin(), leaf->entries.end(), entry, entryLess);
        if (at != leaf->entries.end() && !entryLess(entry, *at))
            return;  // held already
        const bool last = at == leaf->entries.end();
        leaf->entries.insert(at, entry);
        ++tree.size;
        tree.invalidate();
        markDirty(leaf);
        if (last)
            lastChanged(leaf);
        if (!fits(tree, *leaf))
            split(tree, leaf);
    }

    bool erase(TagTree& tree, const Entry& entry)
    {
        if (tree.size == 0)
            return false;
        Node* leaf = tree.leaves[leafFor(tree, entry)];
        const auto at = std::lower_bound(leaf->entries.begin(), leaf->entries.end(), entry, entryLess);
        if (at == leaf->entries.end() || entryLess(entry, *at))
            return false;
        const bool last = at + 1 == leaf->entries.end();
        leaf->entries.erase(at);
        --tree.size;
        tree.invalidate();
        markDirty(leaf);
        if (leaf->entries.empty()) {
            if (tree.leaves.size() > 1)
                remove(tree, leaf);
            else
                collapseRoot(tree);  // the only leaf stays, empty, as the root
            return true;
        }
        if (last)
            lastChanged(leaf);
        joinSmall(tree, leaf);
        return true;
    }

    // ---- Writing

    Page encode(const TagTree& tree, const Node& node) const
    {
        const uint32_t left = node.left ? node.left->page : kNoPage;
        const uint32_t right = node.right ? node.right->page : kNoPage;
        const bool isRoot = node.parent == nullptr;
        if (node.leaf)
            return encodeLeaf(node.entries, 0, node.entries.size(), tree.info.keyLength, tree.pad, isRoot,
                              left, right);
        std::vector<ChildRef> refs;
        refs.reserve(node.children.size());
        for (const auto& child : node.children)
            refs.push_back({child->last(), child->page});
        return encodeInterior(refs, 0, refs.size(), tree.info.keyLength, isRoot, left, right);
    }

    // Writes what the change touched: nodes, freed pages, moved roots, the free-list head.
    // In three steps, each durable before the next, so that the tree on disk is one a reader
    // can walk whatever a power cut keeps: the new pages first (nothing points at them yet),
    // then the pages in the tree and the root, and only then the pages the change gave up
    // (until then the old tree may still point at them).
    void flush(TagTree& tree)
    {
        bool wroteFresh = false;
        for (Node* node : dirty) {
            if (!node->removed && fresh.count(node->page)) {
                write(node->page, encode(tree, *node));
                wroteFresh = true;
            }
        }
        if (wroteFresh)
            syncStep();
        for (Node* node : dirty) {
            if (!node->removed && !fresh.count(node->page))
                write(node->page, encode(tree, *node));
            node->dirty = false;
        }
        if (tree.rootMoved) {
            uint8_t root[4];
            writeLe32(root, tree.root->page);
            write(tree.header + kHeaderRoot, root, sizeof root);
            tree.rootMoved = false;
        }
        if (freed.empty() && !freeListChanged) {
            finish();
            return;
        }
        syncStep();
        for (uint32_t page : freed) {
            const auto at = std::find(freePages.begin(), freePages.end(), page);
            if (at == freePages.end())
                continue;  // used again by the same change
            Page bytes(kPageSize, '\0');
            writeLe32(reinterpret_cast<uint8_t*>(bytes.data()), at == freePages.begin() ? 0 : *(at - 1));
            write(page, bytes);
        }
        if (freeListChanged) {
            uint8_t head[4];
            writeLe32(head, freePages.empty() ? 0 : freePages.back());
            write(kHeaderFreeList, head, sizeof head);
            freeListChanged = false;
        }
        finish();
    }

    void syncStep()
    {
        if (environment().syncOnPost)
            file.sync();
    }

    void finish()
    {
        dirty.clear();
        removed.clear();
        freed.clear();
        fresh.clear();
    }

    // Runs one change and writes it; after a failure the tags are what the file holds.
    template <class Change>
    void change(TagTree& tree, Change work)
    {
        if (readOnly)
            throw Error(ErrorKind::Invalid, "Não foi possível gravar o índice '" + path + "': aberto somente para leitura");
        undo.clear();
        sizeBefore = file.size();
        try {
            work();
            flush(tree);
            undo.clear();
        } catch (const Error&) {
            writeBack();
            finish();
            load();
            throw;
        }
    }

    TagTree& at(std::size_t t)
    {
        if (t >= tags.size())
            throw Error(ErrorKind::Invalid, "Índice '" + path + "': tag " + std::to_string(t) + " não existe");
        return tags[t];
    }

    Entry padded(const TagTree& tree, Entry entry) const
    {
        entry.key.resize(std::size_t(tree.info.keyLength), tree.pad);
        return entry;
    }
};

Index::Index() : d_(std::make_unique<Impl>()) {}
Index::~Index() = default;

void Index::open(const std::string& path, const KeyTypeOf& keyTypeOf, bool readOnly)
{
    close();
    d_->path = path;
    d_->keyTypeOf = keyTypeOf;
    d_->readOnly = readOnly;
    d_->load();
    d_->file.open(path, readOnly);
}

void Index::close()
{
    d_->file.close();
    d_->tags.clear();
    d_->freePages.clear();
    d_->finish();
}

std::size_t Index::tagCount() const { return d_->tags.size(); }

const Tag& Index::tag(std::size_t t) const { return d_->tags.at(t).info; }

std::size_t Index::size(std::size_t t) const { return d_->tags.at(t).size; }

const Entry& Index::at(std::size_t t, std::size_t position) const
{
    const TagTree& tree = d_->tags.at(t);
    tree.makeStarts();
    std::size_t leaf = tree.lastLeaf;
    if (position < tree.starts[leaf] || position >= tree.starts[leaf] + tree.leaves[leaf]->entries.size()) {
        if (position >= tree.size)
            throw Error(ErrorKind::Invalid, "Índice '" + d_->path + "': posição " + std::to_string(position) + " fora da tag");
        leaf = std::size_t(std::upper_bound(tree.starts.begin(), tree.starts.end(), position) - tree.starts.begin()) - 1;
        while (tree.leaves[leaf]->entries.empty())  // only an empty root leaf, never reached here
            ++leaf;
        tree.lastLeaf = leaf;
    }
    return tree.leaves[leaf]->entries[position - tree.starts[leaf]];
}

std::size_t Index::lowerBound(std::size_t t, const std::string& key, uint32_t recno) const
{
    const TagTree& tree = d_->tags.at(t);
    if (tree.size == 0)
        return 0;
    const Entry probe = d_->padded(tree, {key, recno});
    const std::size_t leaf = Impl::leafFor(tree, probe);
    const auto& entries = tree.leaves[leaf]->entries;
    tree.makeStarts();
    return tree.starts[leaf]
           + std::size_t(std::lower_bound(entries.begin(), entries.end(), probe, entryLess) - entries.begin());
}

void Index::insert(std::size_t t, const Entry& entry)
{
    TagTree& tree = d_->at(t);
    const Entry e = d_->padded(tree, entry);
    d_->change(tree, [&] { d_->insert(tree, e); });
}

bool Index::erase(std::size_t t, const Entry& entry)
{
    TagTree& tree = d_->at(t);
    const Entry e = d_->padded(tree, entry);
    bool found = false;
    d_->change(tree, [&] { found = d_->erase(tree, e); });
    return found;
}

void Index::rewrite(std::vector<Tag> tags)
{
    replace(d_->path, d_->keyTypeOf, std::move(tags));
}

void Index::replace(const std::string& path, const KeyTypeOf& keyTypeOf, std::vector<Tag> tags)
{
    const bool wasOpen = d_->file.isOpen();
    close();
    try {
        write(path, std::move(tags));
    } catch (const Error&) {
        if (wasOpen)
            open(path, keyTypeOf, false);  // the old file is still whole: go on with it
        throw;
    }
    open(path, keyTypeOf, false);
}

void Index::sync()
{
    if (d_->file.isOpen() && !d_->readOnly)
        d_->file.sync();
}

} // namespace xbase::cdx
