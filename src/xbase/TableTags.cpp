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

bool TagState::needsRebuild() const
{
    return forClause.isValid() || (tag.options & 0x01) != 0;
}

// ---------------------------------------------------------------- order and visibility

std::size_t Table::Impl::orderSize() const
{
    return activeTag < 0 ? count() : tags[activeTag].tag.entries.size();
}

uint32_t Table::Impl::recnoAt(std::size_t position) const
{
    return activeTag < 0 ? static_cast<uint32_t>(position + 1) : tags[activeTag].tag.entries[position].recno;
}

std::size_t Table::Impl::positionOfRecord(uint32_t recno) const
{
    if (recno == 0 || recno > count())
        return kNoPosition;
    return activeTag < 0 ? recno - 1 : positionOf[recno];
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

void Table::Impl::orderChanged()
{
    positionOf.clear();
    if (activeTag >= 0) {
        positionOf.assign(std::size_t(count()) + 1, kNoPosition);
        const auto& entries = tags[activeTag].tag.entries;
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].recno >= 1 && entries[i].recno <= count())
                positionOf[entries[i].recno] = i;
    }
    rangeBegin = 0;
    rangeEnd = orderSize();
    if (hasRange && activeTag >= 0) {
        const auto& entries = tags[activeTag].tag.entries;
        const auto low = std::partition_point(entries.begin(), entries.end(), [&](const cdx::Entry& e) {
            return compareWithBound(e.key, rangeLow) < 0;
        });
        const auto high = std::partition_point(low, entries.end(), [&](const cdx::Entry& e) {
            return compareWithBound(e.key, rangeHigh) <= 0;
        });
        rangeBegin = static_cast<std::size_t>(low - entries.begin());
        rangeEnd = static_cast<std::size_t>(high - entries.begin());
    }
}

// ---------------------------------------------------------------- tags

void Table::Impl::loadTags()
{
    tags.clear();
    const auto keyTypeOf = [this](const std::string& expression) {
        const Expression key = Expression::compileKey(expression, header.fields);
        return key.type() == ValueType::Numeric || key.type() == ValueType::Date ? cdx::KeyType::Numeric
                                                                                   : cdx::KeyType::Character;
    };
    for (cdx::Tag& tag : cdx::read(cdxPath, keyTypeOf)) {
        TagState state;
        state.key = Expression::compileKey(tag.expression, header.fields);
        if (!tag.forExpression.empty())
            state.forClause = Expression::compileFilter(tag.forExpression, header.fields);
        state.tag = std::move(tag);
        tags.push_back(std::move(state));
    }
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
        throw Error(tableName + ": valor '" + value + "' inválido para o índice " + tag.tag.name);
    }
    return encodeNumericKey(number);
}

void Table::Impl::rebuildTag(TagState& tag)
{
    auto& entries = tag.tag.entries;
    entries.clear();
    entries.reserve(count());
    for (uint32_t r = 1; r <= count(); ++r) {
        const uint8_t* rec = record(r);
        if (tag.forClause.isValid() && !tag.forClause.test(rec))
            continue;
        entries.push_back({keyOf(tag, rec), r});
    }
    std::sort(entries.begin(), entries.end(), entryLess);
    if (tag.tag.options & 0x01) {  // unique: the first record of each key only
        const auto end = std::unique(entries.begin(), entries.end(),
                                     [](const cdx::Entry& a, const cdx::Entry& b) { return a.key == b.key; });
        entries.erase(end, entries.end());
    }
}

void Table::Impl::rebuildAllTags()
{
    for (TagState& tag : tags)
        rebuildTag(tag);
    orderChanged();
}

void Table::Impl::updateTags(uint32_t recno, const uint8_t* oldRec, const uint8_t* newRec)
{
    bool changed = false;
    for (TagState& tag : tags) {
        if (tag.needsRebuild()) {
            rebuildTag(tag);
            changed = true;
            continue;
        }
        const std::string newKey = keyOf(tag, newRec);
        auto& entries = tag.tag.entries;
        if (oldRec) {
            const std::string oldKey = keyOf(tag, oldRec);
            if (oldKey == newKey)
                continue;
            const cdx::Entry old {oldKey, recno};
            const auto at = std::lower_bound(entries.begin(), entries.end(), old, entryLess);
            if (at != entries.end() && at->recno == recno && at->key == oldKey)
                entries.erase(at);
            else  // the tag did not hold what it should: make it right
                entries.erase(std::remove_if(entries.begin(), entries.end(),
                                             [&](const cdx::Entry& e) { return e.recno == recno; }),
                              entries.end());
        }
        const cdx::Entry entry {newKey, recno};
        entries.insert(std::lower_bound(entries.begin(), entries.end(), entry, entryLess), entry);
        changed = true;
    }
    if (changed) {
        orderChanged();
        writeCdx();
    } else if (!oldRec) {
        orderChanged();  // the file order grew
    }
}

void Table::Impl::writeCdx()
{
    std::vector<cdx::Tag> all;
    all.reserve(tags.size());
    for (const TagState& tag : tags)
        all.push_back(tag.tag);
    cdx::write(cdxPath, std::move(all));
}

} // namespace xbase
