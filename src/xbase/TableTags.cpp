// The structural index as the table sees it: tags kept in memory, the visible order, ranges.
#include "TableImpl.h"
#include "Codepage.h"
#include "DbfValue.h"

#include <algorithm>
#include <cctype>

namespace xbase {
namespace {

bool entryLess(const cdx::Entry& a, const cdx::Entry& b)
{
    const int c = a.key.compare(b.key);
    return c < 0 || (c == 0 && a.recno < b.recno);
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Compares a key with a range bound over the length of the bound.
int compareWithBound(const std::string& key, const std::string& bound)
{
    return key.compare(0, bound.size(), bound);
}

} // namespace

bool TagState::isUnique() const
{
    return (tag.options & 0x01) != 0;
}

bool TagState::holds(const uint8_t* rec) const
{
    return !forClause.isValid() || forClause.test(rec);
}

// ---------------------------------------------------------------- order and visibility

std::size_t Table::Impl::orderSize() const
{
    return activeTag < 0 ? count() : index.size(std::size_t(activeTag));
}

uint32_t Table::Impl::recnoAt(std::size_t position) const
{
    return activeTag < 0 ? static_cast<uint32_t>(position + 1) : index.at(std::size_t(activeTag), position).recno;
}

std::size_t Table::Impl::positionOfRecord(uint32_t recno) const
{
    if (recno == 0 || recno > count())
        return kNoPosition;
    if (activeTag < 0)
        return recno - 1;
    const std::size_t t = std::size_t(activeTag);
    const TagState& tag = tags[t];
    const uint8_t* rec = record(recno);
    if (!tag.holds(rec))
        return kNoPosition;
    const std::string key = keyOf(tag, rec);
    const std::size_t size = index.size(t);
    const std::size_t at = index.lowerBound(t, key, recno);
    if (at < size && index.at(t, at).recno == recno && index.at(t, at).key == key)
        return at;
    if (tag.isUnique()) {  // a later record of a key is left out
        const std::size_t first = index.lowerBound(t, key, 0);
        if (first < size && index.at(t, first).key == key)
            return kNoPosition;
    }
    for (std::size_t p = 0; p < size; ++p)  // a tag that does not match the records
        if (index.at(t, p).recno == recno)
            return p;
    return kNoPosition;
}

bool Table::Impl::passes(const uint8_t* rec) const
{
    if (environment().deleted && rec[0] == kDeletedMark)
        return false;
    return !filter.isValid() || filter.test(rec);
}

bool Table::Impl::visibleAt(std::size_t position, uint32_t& recno) const
{
    if (position < rangeBegin || position >= rangeEnd)
        return false;
    const uint32_t r = recnoAt(position);
    if (r == 0 || r > count() || !passes(record(r)))
        return false;
    recno = r;
    return true;
}

bool Table::Impl::scanForward(std::size_t from, uint32_t& recno) const
{
    for (std::size_t p = std::max(from, rangeBegin); p < rangeEnd; ++p)
        if (visibleAt(p, recno))
            return true;
    return false;
}

bool Table::Impl::scanBackward(std::size_t from, uint32_t& recno) const
{
    for (std::size_t p = std::min(from, rangeEnd); p > rangeBegin; --p)
        if (visibleAt(p - 1, recno))
            return true;
    return false;
}

// First position in [from, orderSize()) whose entry is not before the bound; the entries
// before the bound come first in index order.
template <class Before>
static std::size_t partitionPoint(const cdx::Index& index, std::size_t t, std::size_t from, Before before)
{
    std::size_t low = from, high = index.size(t);
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (before(index.at(t, middle)))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void Table::Impl::orderChanged()
{
    rangeBegin = 0;
    rangeEnd = orderSize();
    if (hasRange && activeTag >= 0) {
        const std::size_t t = std::size_t(activeTag);
        rangeBegin = partitionPoint(index, t, 0, [&](const cdx::Entry& e) {
            return compareWithBound(e.key, rangeLow) < 0;
        });
        rangeEnd = partitionPoint(index, t, rangeBegin, [&](const cdx::Entry& e) {
            return compareWithBound(e.key, rangeHigh) <= 0;
        });
    }
}

// ---------------------------------------------------------------- tags

cdx::KeyTypeOf Table::Impl::keyTypes() const
{
    return [this](const std::string& expression) {
        const Expression key = Expression::compileKey(expression, header.fields);
        return key.type() == ValueType::Numeric || key.type() == ValueType::Date ? cdx::KeyType::Numeric
                                                                                   : cdx::KeyType::Character;
    };
}

bool Table::Impl::loadTags()
{
    tags.clear();
    std::vector<cdx::Tag> definitions;
    bool treesLoaded = true;
    try {
        index.open(cdxPath, keyTypes(), readOnly);
        for (std::size_t t = 0; t < index.tagCount(); ++t)
            definitions.push_back(index.tag(t));
    } catch (const Error&) {
        // A tree a power cut left half-written: the tags are made again from the records, as
        // long as what defines them is whole (otherwise the index is damaged indeed).
        index.close();
        definitions = cdx::definitions(cdxPath, keyTypes());
        treesLoaded = false;
    }
    for (cdx::Tag& definition : definitions) {
        TagState state;
        state.tag = std::move(definition);
        state.tag.entries.clear();
        state.key = Expression::compileKey(state.tag.expression, header.fields);
        if (!state.tag.forExpression.empty())
            state.forClause = Expression::compileFilter(state.tag.forExpression, header.fields);
        tags.push_back(std::move(state));
    }
    return treesLoaded;
}

void Table::Impl::remakeTags()
{
    if (!readOnly) {
        rebuildAllTags();
        return;
    }
    dropTagsFromUse();  // nothing can be mended through this open
}

void Table::Impl::dropTagsFromUse()
{
    for (TagState& tag : tags)
        tag.stale = true;
    index.close();
    activeTag = -1;
    activeTagName.clear();
    orderChanged();
}

int Table::Impl::findTag(const std::string& name) const
{
    const std::string wanted = upper(name);
    for (std::size_t i = 0; i < tags.size(); ++i)
        if (upper(tags[i].tag.name) == wanted)
            return static_cast<int>(i);
    return -1;
}

std::string Table::Impl::keyOf(const TagState& tag, const uint8_t* rec) const
{
    std::string key = tag.key.key(rec);
    const char pad = tag.tag.keyType == cdx::KeyType::Character ? ' ' : '\0';
    key.resize(static_cast<std::size_t>(tag.tag.keyLength), pad);
    return key;
}

// Key bytes for a value typed by the user: Windows-1252 text for character tags, the
// sortable encoding for numeric and date tags. Not padded.
std::string Table::Impl::searchKey(const TagState& tag, const std::string& value) const
{
    if (tag.tag.keyType == cdx::KeyType::Character)
        return fromUtf8(value);
    double number = 0;
    if (tag.key.type() == ValueType::Date) {
        const std::string ymd = parseDate(value, environment().dateFormat, tableName);
        int y = 0, m = 0, d = 0;
        if (!splitDate(reinterpret_cast<const uint8_t*>(ymd.data()), y, m, d))
            return std::string(8, '\0');
        number = static_cast<double>(julianDay(y, m, d));
    } else if (!parseNumber(value, number)) {
        throw Error(ErrorKind::Invalid, tableName + ": valor '" + value + "' inválido para o índice " + tag.tag.name);
    }
    return encodeNumericKey(number);
}

std::vector<cdx::Entry> Table::Impl::entriesOf(const TagState& tag) const
{
    needAllRecords();
    std::vector<cdx::Entry> entries;
    entries.reserve(count());
    for (uint32_t r = 1; r <= count(); ++r) {
        const uint8_t* rec = record(r);
        if (tag.holds(rec))
            entries.push_back({keyOf(tag, rec), r});
    }
    std::sort(entries.begin(), entries.end(), entryLess);
    if (tag.isUnique()) {  // the first record of each key only
        const auto end = std::unique(entries.begin(), entries.end(),
                                     [](const cdx::Entry& a, const cdx::Entry& b) { return a.key == b.key; });
        entries.erase(end, entries.end());
    }
    return entries;
}

void Table::Impl::rebuildAllTags()
{
    std::vector<cdx::Tag> all;
    all.reserve(tags.size());
    for (const TagState& tag : tags) {
        all.push_back(tag.tag);
        all.back().entries = entriesOf(tag);
    }
    index.replace(cdxPath, keyTypes(), std::move(all));
    orderChanged();
}

bool Table::Impl::tagChanges(const TagState& tag, const uint8_t* oldRec, const uint8_t* newRec) const
{
    const bool wasIn = oldRec && tag.holds(oldRec);
    const bool isIn = tag.holds(newRec);
    if (!oldRec)
        return isIn;
    return wasIn != isIn || (isIn && keyOf(tag, oldRec) != keyOf(tag, newRec));
}

bool Table::Impl::changesTags(const uint8_t* oldRec, const uint8_t* newRec) const
{
    return std::any_of(tags.begin(), tags.end(),
                       [&](const TagState& tag) { return tagChanges(tag, oldRec, newRec); });
}

void Table::Impl::updateTags(uint32_t recno, const uint8_t* oldRec, const uint8_t* newRec)
{
    bool rebuild = false;
    for (std::size_t t = 0; t < tags.size() && !rebuild; ++t) {
        const TagState& tag = tags[t];
        if (!tagChanges(tag, oldRec, newRec))
            continue;
        const bool wasIn = oldRec && tag.holds(oldRec);
        const bool isIn = tag.holds(newRec);
        const std::string oldKey = wasIn ? keyOf(tag, oldRec) : std::string();
        const std::string newKey = isIn ? keyOf(tag, newRec) : std::string();
        if (tag.isUnique()) {  // which record a key lists depends on the others
            rebuild = true;
            continue;
        }
        if (wasIn && !index.erase(t, {oldKey, recno}))
            rebuild = true;  // the tag did not hold what it should: make it right
        else if (isIn)
            index.insert(t, {newKey, recno});
    }
    if (rebuild)
        rebuildAllTags();
    else
        orderChanged();
}

} // namespace xbase
