#include "TableImpl.h"
#include "Codepage.h"
#include "DbfValue.h"
#include "Redo.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <unistd.h>
#include <charconv>
#include <cmath>
#include <optional>

namespace xbase {
namespace {

// Every record is held in memory; a header that counts more than this is damaged.
constexpr uint64_t kMaxTableBytes = uint64_t(1) << 31;

bool hasExtension(const std::string& name)
{
    const std::size_t dot = name.find_last_of('.');
    const std::size_t slash = name.find_last_of('/');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

std::string withDbfExtension(const std::string& name)
{
    return hasExtension(name) ? name : name + ".dbf";
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string trimmed(const std::string& s)
{
    const std::size_t begin = s.find_first_not_of(' ');
    if (begin == std::string::npos)
        return {};
    return s.substr(begin, s.find_last_not_of(' ') + 1 - begin);
}

// A write through a redo note that failed (the note's own writes included): the old bytes
// back, then the note away, so that the next open does not finish what the caller was told
// failed. When even that fails the note
// stays, and the next open finishes the change, as after a power cut.
void undoNotedWrite(File& dbf, const std::string& dbfPath, uint64_t offset, const std::string& old)
{
    try {
        dbf.writeAt(offset, old);
        dbf.sync();
        redo::clear(dbfPath);
    } catch (const Error&) {
    }
}

bool isNumericType(FieldType t)
{
    return t == FieldType::Numeric || t == FieldType::Float;
}

bool parseWholeNumber(const std::string& text, long long& value)
{
    const std::string s = trimmed(text);
    const char* begin = s.data() + (!s.empty() && s[0] == '+' ? 1 : 0);
    const auto result = std::from_chars(begin, s.data() + s.size(), value);
    return !s.empty() && result.ec == std::errc() && result.ptr == s.data() + s.size();
}

std::string shortestNumber(double value)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, result.ptr);
}

} // namespace

// ==================================================================== loading

const uint8_t* Table::Impl::currentRecord() const
{
    if (isEditing())
        return buffer.data();
    if (current == 0 || current > count())
        return blankRecord.data();
    return record(current);
}

void Table::Impl::load(const std::string& path, bool readOnlyMode)
{
    readOnly = readOnlyMode;
    dbfPath = path;
    const bool packFinished = openShared(path);
    header = readHeaderLayout(dbf);
    // No post of another process runs while the count and the tags are read and checked, and
    // any number of opens read together; only mending what a cut post left keeps them out.
    std::optional<AppendHold> appending;
    appending.emplace(*this, true);
    header = readHeaderLayout(dbf);
    if (!readOnly && cutPostLeftBehind()) {
        appending.reset();
        appending.emplace(*this, false);
        header = readHeaderLayout(dbf);
    }
    const uint64_t bytes = uint64_t(header.count) * header.recordLength;
    if (bytes > kMaxTableBytes)
        throw Error(ErrorKind::Damaged, tableName + ": a tabela é grande demais para ser aberta (" + std::to_string(header.count)
                    + " registros no cabeçalho)");
    lowerCountPastRecords();
    try {
        records.clear();
        pageLoaded.clear();
        resizeRecords(header.count);
    } catch (const std::bad_alloc&) {
        throw Error(ErrorKind::System, tableName + ": memória insuficiente para abrir a tabela ("
                    + std::to_string(header.count) + " registros)");
    }
    dbfChanges = header.changes;
    dropCutAppend();
    finishCutChange();
    blankRecord.assign(header.recordLength, ' ');

    fptPath = companionPath(path, "fpt");
    if (header.hasMemo()) {
        if (!fileExists(fptPath))
            throw Error(ErrorKind::Missing, tableName + ": arquivo de memo '" + fptPath + "' não encontrado");
        memo.open(fptPath, readOnly);
    }
    cdxPath = companionPath(path, "cdx");
    activeTag = -1;
    if (hasCdx())
        loadCheckedTags(packFinished);
    orderChanged();
}

bool Table::Impl::cutPostLeftBehind() const
{
    if (header.headerLength + uint64_t(header.count) * recordLength() > dbf.size())
        return true;
    if (header.count > 0) {
        const char mark = dbf.readAt(recordOffset(header.count), 1)[0];
        if (mark != kLiveMark && mark != kDeletedMark)
            return true;
    }
    return fileExists(redo::pathFor(dbfPath));
}

// A count past the records the file holds: an append of an older writer that a power cut
// stopped between its record and its count. One record short is that; more is damage.
void Table::Impl::lowerCountPastRecords()
{
    const uint64_t size = dbf.size();
    const uint64_t present = size > header.headerLength ? (size - header.headerLength) / header.recordLength : 0;
    if (header.count <= present)
        return;
    if (header.count - present > 1)
        throw Error(ErrorKind::Damaged, "Arquivo de tabela '" + dbfPath + "' danificado: arquivo truncado: o cabeçalho indica "
                    + std::to_string(header.count) + " registros, mas o arquivo tem " + std::to_string(size)
                    + " bytes (esperado "
                    + std::to_string(header.headerLength + uint64_t(header.count) * header.recordLength) + ")");
    setCount(static_cast<uint32_t>(present));
}

// The last counted record whose deletion mark was never written (the same cut, a step later).
void Table::Impl::dropCutAppend()
{
    if (header.count == 0)
        return;
    const uint8_t mark = record(header.count)[0];
    if (mark == kLiveMark || mark == kDeletedMark)
        return;
    setCount(header.count - 1);
    resizeRecords(header.count);
}

void Table::Impl::setCount(uint32_t newCount)
{
    header.count = newCount;
    if (readOnly)
        return;
    dbf.writeAt(1, dateAndCount(newCount));
    dbf.sync();
}

// The tags, checked: rebuilt from the records and their definitions when a writer stopped in
// the middle of changing them (the counter odd, or a tree that does not load), or when they
// disagree with the records.
void Table::Impl::loadCheckedTags(bool packFinished)
{
    if (!fileExists(cdxPath))
        throw Error(ErrorKind::Missing, tableName + ": arquivo de índice '" + cdxPath + "' não encontrado");
    cdxLockFile.open(cdxPath, readOnly);
    cdxChanges = readCdxChanges();
    const bool loaded = loadTags();
    if (!loaded || cdxChanges % 2 != 0) {
        const locks::Lock indexing = readOnly ? locks::Lock() : locks::Lock(cdxLockFile.descriptor(), locks::indexLock(), tableName);
        remakeTags();
        if (!readOnly) {
            followRenamedCdx();
            cdxChanges = readCdxChanges();
        }
    } else if (packFinished && !readOnly) {
        rebuildAllTags();
    } else {
        repairTags(count() <= kFullTagCheckLimit);
    }
}

void Table::Impl::unload()
{
    editLock.release();
    openLock.release();
    cdxLockFile.close();
    dbf.close();
    memo.close();
    records.clear();
    pageLoaded.clear();
    dbfChanges = 0;
    tags.clear();
    index.close();
    activeTag = -1;
    header = DbfHeader();
    state = State::Inactive;
    buffer.clear();
    pendingMemos.clear();
    current = 0;
    atEof = atBof = true;
}

// ==================================================================== create, open, close

Table::Table() : d_(std::make_unique<Impl>()) {}
Table::~Table() = default;

void Table::create(const std::string& dir, const std::string& fileName,
                   const std::vector<FieldDef>& fields, const std::vector<TagDef>& tags)
{
    const std::string path = joinPath(dir, withDbfExtension(fileName));
    const DbfHeader header = layoutHeader(fileName, fields, !tags.empty());

    std::vector<cdx::Tag> cdxTags;
    for (const TagDef& def : tags) {
        cdx::Tag tag;
        tag.name = upper(def.name);
        if (tag.name.empty() || tag.name.size() > 10)
            throw Error(ErrorKind::Invalid, fileName + ": nome de índice '" + def.name + "' inválido");
        for (const cdx::Tag& other : cdxTags)
            if (other.name == tag.name)
                throw Error(ErrorKind::Invalid, fileName + ": índice '" + tag.name + "' repetido");
        const Expression key = Expression::compileKey(def.expression, header.fields);
        tag.expression = def.expression;
        tag.keyLength = key.width();
        tag.keyType = key.type() == ValueType::Character ? cdx::KeyType::Character : cdx::KeyType::Numeric;
        cdxTags.push_back(std::move(tag));
    }

    // The table's companions first and the table last, each whole on disk before its name:
    // a table that exists has what it needs to open.
    const std::string fpt = companionPath(path, "fpt");
    if (header.hasMemo())
        MemoFile::create(fpt, 64);
    else
        removeFile(fpt);
    const std::string cdxFile = companionPath(path, "cdx");
    if (!cdxTags.empty())
        cdx::write(cdxFile, std::move(cdxTags));
    else
        removeFile(cdxFile);
    std::string bytes = headerBytes(header);
    bytes += static_cast<char>(kEndOfFile);
    replaceFileDurably(path, bytes);
}

bool Table::createIfMissing(const std::string& dir, const std::string& fileName,
                            const std::vector<FieldDef>& fields, const std::vector<TagDef>& tags)
{
    const std::string name = withDbfExtension(fileName);
    const std::string path = joinPath(dir, name);
    if (fileExists(path))
        return false;
    static std::atomic<unsigned> made{0};
    const std::string scratch = joinPath(dir, "." + name + "-" + std::to_string(::getpid()) + "-"
                                                  + std::to_string(std::time(nullptr)) + "-" + std::to_string(made++));
    makeFolder(scratch);
    bool placed = false;
    try {
        create(scratch, name, fields, tags);
        // Two fresh tables are alike, so whose companion ends in place does not matter.
        for (const char* extension : {"fpt", "cdx"}) {
            const std::string companion = companionPath(joinPath(scratch, name), extension);
            if (fileExists(companion))
                placeIfMissing(companion, companionPath(path, extension));
        }
        placed = placeIfMissing(joinPath(scratch, name), path);
        syncDirectoryOf(path);
    } catch (...) {
        for (const char* extension : {"fpt", "cdx"})
            removeFile(companionPath(joinPath(scratch, name), extension));
        removeFile(joinPath(scratch, name));
        removeFolder(scratch);
        throw;
    }
    removeFolder(scratch);
    return placed;
}

void Table::open(const std::string& dir, const std::string& fileName, bool readOnly)
{
    close();
    d_->tableName = fileName;
    try {
        d_->load(joinPath(dir, withDbfExtension(fileName)), readOnly);
    } catch (...) {
        d_->unload();
        throw;
    }
    d_->filterText.clear();
    d_->filter = Expression();
    d_->hasRange = false;
    d_->activeTagName.clear();
    d_->state = State::Browse;
    first();
}

void Table::close()
{
    d_->unload();
    d_->filterText.clear();
    d_->filter = Expression();
    d_->hasRange = false;
    d_->activeTagName.clear();
}

bool Table::isOpen() const { return d_->state != State::Inactive; }
bool Table::isReadOnly() const { return d_->readOnly; }
const std::string& Table::tableName() const { return d_->tableName; }
std::string Table::path() const { return d_->dbfPath; }

// ==================================================================== structure

int Table::fieldCount() const { return static_cast<int>(d_->header.fields.size()); }

const FieldDef& Table::fieldDef(int index) const
{
    if (index < 0 || index >= fieldCount())
        throw Error(ErrorKind::Invalid, d_->tableName + ": campo na posição " + std::to_string(index) + " não existe");
    return d_->header.fields[static_cast<std::size_t>(index)];
}

const std::vector<FieldDef>& Table::fields() const { return d_->header.fields; }

namespace {

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Field names are ASCII; compared without allocating, since every access by name comes here.
bool sameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i]))
            return false;
    return true;
}

} // namespace

int Table::findField(const std::string& name) const
{
    for (int i = 0; i < fieldCount(); ++i)
        if (sameName(d_->header.fields[static_cast<std::size_t>(i)].name, name))
            return i;
    return -1;
}

int Table::fieldIndex(const std::string& name) const
{
    const int index = findField(name);
    if (index < 0)
        throw Error(ErrorKind::Invalid, d_->tableName + ": Campo '" + name + "' não encontrado");
    return index;
}

std::vector<std::string> Table::tagNames() const
{
    std::vector<std::string> names;
    for (const TagState& tag : d_->tags)
        names.push_back(tag.tag.name);
    return names;
}

void Table::setIndexName(const std::string& tag)
{
    int index = -1;
    if (!tag.empty()) {
        index = d_->findTag(tag);
        if (index < 0)
            throw Error(ErrorKind::Invalid, d_->tableName + ": índice '" + tag + "' não encontrado");
        if (d_->tags[static_cast<std::size_t>(index)].stale)
            throw Error(ErrorKind::Invalid, d_->tableName + ": o índice '" + d_->cdxPath + "' não confere com os registros (tag "
                        + d_->tags[static_cast<std::size_t>(index)].tag.name + ")");
    }
    d_->activeTag = index;
    d_->activeTagName = index < 0 ? std::string() : d_->tags[static_cast<std::size_t>(index)].tag.name;
    d_->hasRange = false;  // a range belongs to the tag it was set on
    d_->orderChanged();
}

const std::string& Table::indexName() const { return d_->activeTagName; }

// ==================================================================== navigation

void Table::Impl::requireOpen() const
{
    if (state == State::Inactive)
        throw Error(ErrorKind::Invalid, tableName + ": a tabela não está aberta");
}

// Moving while a change is pending writes it first, as a data-aware form expects;
// false when the before-post hook refused, and then the cursor stays.
static bool leaveEditing(Table& table)
{
    if (table.state() == Table::State::Edit || table.state() == Table::State::Insert)
        return table.post();
    return true;
}

void Table::first()
{
    d_->requireOpen();
    if (!leaveEditing(*this))
        return;
    uint32_t recno = 0;
    // eof() and bof() turn true only by moving past an end (or on an empty view), so that
    // standing on the first or last record still counts as standing on a record.
    if (d_->scanForward(d_->rangeBegin, recno)) {
        d_->current = recno;
        d_->atEof = d_->atBof = false;
    } else {
        d_->current = 0;
        d_->atEof = d_->atBof = true;
    }
}

void Table::last()
{
    d_->requireOpen();
    if (!leaveEditing(*this))
        return;
    uint32_t recno = 0;
    if (d_->scanBackward(d_->rangeEnd, recno)) {
        d_->current = recno;
        d_->atEof = d_->atBof = false;
    } else {
        d_->current = 0;
        d_->atEof = d_->atBof = true;
    }
}

void Table::next()
{
    d_->requireOpen();
    if (!leaveEditing(*this))
        return;
    const std::size_t position = d_->positionOfRecord(d_->current);
    uint32_t recno = 0;
    const bool found = position == kNoPosition ? d_->scanForward(d_->rangeBegin, recno)
                                               : d_->scanForward(position + 1, recno);
    if (found) {
        d_->current = recno;
        d_->atEof = d_->atBof = false;
    } else {
        d_->atEof = true;
    }
}

void Table::prior()
{
    d_->requireOpen();
    if (!leaveEditing(*this))
        return;
    const std::size_t position = d_->positionOfRecord(d_->current);
    uint32_t recno = 0;
    const bool found = position == kNoPosition ? d_->scanBackward(d_->rangeEnd, recno)
                                               : d_->scanBackward(position, recno);
    if (found) {
        d_->current = recno;
        d_->atEof = d_->atBof = false;
    } else {
        d_->atBof = true;
    }
}

bool Table::eof() const { return d_->atEof || d_->current == 0; }
bool Table::bof() const { return d_->atBof || d_->current == 0; }

bool Table::isEmpty() const
{
    uint32_t recno = 0;
    return !d_->scanForward(d_->rangeBegin, recno);
}

void Table::goTo(uint32_t recno)
{
    d_->requireOpen();
    if (recno < 1 || recno > d_->count())
        throw Error(ErrorKind::Invalid, d_->tableName + ": registro " + std::to_string(recno) + " não existe");
    if (!leaveEditing(*this))
        return;
    d_->current = recno;
    d_->atEof = d_->atBof = false;
}

uint32_t Table::recNo() const
{
    return d_->state == State::Insert ? 0 : d_->current;
}

uint32_t Table::physicalCount() const { return d_->count(); }

uint32_t Table::count() const
{
    const Impl& d = *d_;
    d.needAllRecords();
    const bool hideDeleted = environment().deleted;
    const bool filtered = d.filter.isValid();
    const std::size_t length = d.recordLength();
    uint32_t n = 0;
    if (d.activeTag < 0) {
        // The hot loop of every count: bounds and filter held in locals, one branch per row.
        const uint8_t* rec = d.records.data() + d.rangeBegin * length;
        const uint8_t* const end = d.records.data() + d.rangeEnd * length;
        if (!filtered) {
            for (; rec != end; rec += length) n += !(hideDeleted && rec[0] == kDeletedMark);
            return n;
        }
        const Expression& filter = d.filter;
        for (; rec != end; rec += length)
            if (!(hideDeleted && rec[0] == kDeletedMark) && filter.test(rec)) ++n;
        return n;
    }
    for (std::size_t p = d.rangeBegin; p < d.rangeEnd; ++p) {
        const uint32_t r = d.recnoAt(p);
        if (r >= 1 && r <= d.count() && d.passes(d.record(r)))
            ++n;
    }
    return n;
}

bool Table::isDeleted() const
{
    return d_->current != 0 && d_->current <= d_->count() && d_->record(d_->current)[0] == kDeletedMark;
}

void Table::setFilter(const std::string& expression)
{
    d_->requireOpen();
    if (trimmed(expression).empty()) {
        d_->filter = Expression();
        d_->filterText.clear();
    } else {
        try {
            d_->filter = Expression::compileFilter(expression, d_->header.fields);
        } catch (const Error& e) {
            throw Error(e.kind(), d_->tableName + ": " + e.what());
        }
        d_->filterText = expression;
    }
    first();
}

const std::string& Table::filter() const { return d_->filterText; }

void Table::setRange(const std::string& low, const std::string& high)
{
    d_->requireOpen();
    if (d_->activeTag < 0)
        throw Error(ErrorKind::Invalid, d_->tableName + ": intervalo pedido sem índice ativo");
    const TagState& tag = d_->tags[static_cast<std::size_t>(d_->activeTag)];
    d_->rangeLow = d_->searchKey(tag, low);
    d_->rangeHigh = d_->searchKey(tag, high);
    d_->hasRange = true;
    d_->orderChanged();
    first();
}

void Table::clearRange()
{
    d_->requireOpen();
    d_->hasRange = false;
    d_->orderChanged();
    first();
}

bool Table::findKey(const std::string& value)
{
    d_->requireOpen();
    if (d_->activeTag < 0)
        throw Error(ErrorKind::Invalid, d_->tableName + ": busca de chave sem índice ativo");
    if (!leaveEditing(*this))
        return false;
    const TagState& tag = d_->tags[static_cast<std::size_t>(d_->activeTag)];
    std::string key = d_->searchKey(tag, value);
    const std::size_t length = static_cast<std::size_t>(tag.tag.keyLength);
    if (key.size() > length) {
        if (key.find_first_not_of(' ', length) != std::string::npos)
            return false;  // longer than any key
        key.resize(length);
    }
    key.resize(length, tag.tag.keyType == cdx::KeyType::Character ? ' ' : '\0');

    const std::size_t t = static_cast<std::size_t>(d_->activeTag);
    for (std::size_t p = d_->index.lowerBound(t, key, 0); p < d_->index.size(t) && d_->index.at(t, p).key == key; ++p) {
        uint32_t recno = 0;
        if (d_->visibleAt(p, recno)) {
            d_->current = recno;
            d_->atEof = d_->atBof = false;
            return true;
        }
    }
    return false;
}

bool Table::locate(const std::string& field, const std::string& value)
{
    d_->requireOpen();
    const int index = fieldIndex(field);
    if (!leaveEditing(*this))
        return false;
    const uint32_t saved = d_->current;
    for (std::size_t p = d_->rangeBegin; p < d_->rangeEnd; ++p) {
        uint32_t recno = 0;
        if (!d_->visibleAt(p, recno))
            continue;
        d_->current = recno;  // asString reads the current record
        if (asString(index) == value) {
            d_->atEof = d_->atBof = false;
            return true;
        }
    }
    d_->current = saved;
    return false;
}

// ==================================================================== reading fields

std::string Table::asString(int index) const
{
    const FieldDef& f = fieldDef(index);
    const uint8_t* rec = d_->currentRecord();
    switch (f.type) {
    case FieldType::Character:
    case FieldType::Numeric:
    case FieldType::Float:
        return toUtf8(fieldText(rec, f));
    case FieldType::Logical:
        return isTrueMark(rec[f.offset]) ? "T" : isFalseMark(rec[f.offset]) ? "F" : "";
    case FieldType::Date:
        return formatDate(rec + f.offset, environment().dateFormat);
    case FieldType::Memo: {
        const auto pending = d_->pendingMemos.find(index);
        if (d_->isEditing() && pending != d_->pendingMemos.end())
            return toUtf8(pending->second);
        const uint32_t block = memoBlock(rec + f.offset, d_->tableName);
        return block == 0 ? std::string() : toUtf8(d_->memo.read(block));
    }
    }
    return {};
}

std::string Table::storedString(int index) const
{
    const FieldDef& f = fieldDef(index);
    if (d_->current == 0 || d_->current > d_->count() || f.type != FieldType::Character)
        return asString(index);
    return toUtf8(fieldText(d_->record(d_->current), f));
}

std::vector<std::pair<uint32_t, std::string>> Table::storedTexts(int index) const
{
    const FieldDef& f = fieldDef(index);
    const uint32_t count = readCount(d_->dbf);
    const std::size_t length = d_->recordLength();
    const std::string bytes = count ? d_->dbf.readAt(d_->header.headerLength, std::size_t(count) * length) : std::string();
    std::vector<std::pair<uint32_t, std::string>> texts;
    for (uint32_t r = 0; r < count; ++r) {
        const auto* rec = reinterpret_cast<const uint8_t*>(bytes.data()) + std::size_t(r) * length;
        if (rec[0] != kDeletedMark)
            texts.emplace_back(r + 1, toUtf8(fieldText(rec, f)));
    }
    return texts;
}

double Table::asFloat(int index) const
{
    const FieldDef& f = fieldDef(index);
    const uint8_t* rec = d_->currentRecord();
    if (f.type == FieldType::Logical)
        return isTrueMark(rec[f.offset]) ? 1 : 0;
    double value = 0;
    if (f.type == FieldType::Memo)
        return parseNumber(asString(index), value) ? value : 0;
    return fieldNumber(rec, f, value) ? value : 0;
}

long long Table::asInteger(int index) const
{
    const FieldDef& f = fieldDef(index);
    long long whole = 0;
    if (f.type != FieldType::Logical && f.type != FieldType::Memo
        && parseWholeNumber(fieldText(d_->currentRecord(), f), whole))
        return whole;
    const double value = asFloat(index);
    if (!(std::fabs(value) < 9.2e18))
        return 0;
    return std::llround(value);
}

bool Table::asBoolean(int index) const
{
    const FieldDef& f = fieldDef(index);
    if (f.type == FieldType::Logical)
        return isTrueMark(d_->currentRecord()[f.offset]);
    const std::string text = trimmed(asString(index));
    return text == "T" || text == "t" || text == "Y" || text == "y" || upper(text) == "TRUE";
}

bool Table::isBlank(int index) const
{
    const FieldDef& f = fieldDef(index);
    if (f.type == FieldType::Memo && d_->isEditing()) {
        const auto pending = d_->pendingMemos.find(index);
        if (pending != d_->pendingMemos.end())
            return pending->second.empty();
    }
    const uint8_t* p = d_->currentRecord() + f.offset;
    return std::all_of(p, p + f.length, [](uint8_t c) { return c == ' ' || c == 0; })
           || (f.type == FieldType::Memo && memoBlock(p, d_->tableName) == 0);
}

std::string Table::asString(const std::string& name) const { return asString(fieldIndex(name)); }
long long Table::asInteger(const std::string& name) const { return asInteger(fieldIndex(name)); }
double Table::asFloat(const std::string& name) const { return asFloat(fieldIndex(name)); }
bool Table::asBoolean(const std::string& name) const { return asBoolean(fieldIndex(name)); }

// ==================================================================== writing fields

void Table::Impl::requireEditing() const
{
    if (!isEditing())
        throw Error(ErrorKind::Invalid, tableName + ": a tabela não está em modo de edição");
}

void Table::Impl::store(const FieldDef& f, const std::string& bytes)
{
    std::copy(bytes.begin(), bytes.end(), buffer.begin() + f.offset);
}

namespace {

char logicalMark(const std::string& text, const std::string& table, const FieldDef& f)
{
    const std::string t = upper(trimmed(text));
    if (t.empty())
        return ' ';
    if (t == "T" || t == "Y" || t == "S" || t == ".T." || t == "TRUE" || t == "SIM")
        return 'T';
    if (t == "F" || t == "N" || t == ".F." || t == "FALSE" || t == "NAO" || t == "NÃO")
        return 'F';
    throw Error(ErrorKind::Invalid, table + ": valor lógico inválido '" + text + "' para o campo '" + f.name + "'");
}

std::string dateBytes(const std::string& text, const std::string& table)
{
    // Besides the user's format, the stored form YYYYMMDD is understood.
    const std::string t = trimmed(text);
    if (t.size() == 8 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int y = 0, m = 0, d = 0;
        splitDate(reinterpret_cast<const uint8_t*>(t.data()), y, m, d);
        const std::string iso = std::to_string(d) + "/" + std::to_string(m) + "/" + std::to_string(y);
        try {
            return parseDate(iso, "d/M/yyyy", table);
        } catch (const Error&) {
            // not a date in that form either: report it in the user's format below
        }
    }
    return parseDate(text, environment().dateFormat, table);
}

} // namespace

void Table::setString(int index, const std::string& value)
{
    d_->requireEditing();
    const FieldDef& f = fieldDef(index);
    switch (f.type) {
    case FieldType::Character: {
        std::string bytes = fromUtf8(value);
        bytes.resize(static_cast<std::size_t>(f.length), ' ');
        d_->store(f, bytes);
        break;
    }
    case FieldType::Numeric:
    case FieldType::Float: {
        if (trimmed(value).empty()) {
            d_->store(f, std::string(static_cast<std::size_t>(f.length), ' '));
            break;
        }
        long long whole = 0;
        double number = 0;
        if (f.decimals == 0 && parseWholeNumber(value, whole))
            d_->store(f, formatInteger(whole, f, d_->tableName));
        else if (parseNumber(value, number))
            d_->store(f, formatFloat(number, f, d_->tableName));
        else
            throw Error(ErrorKind::Invalid, d_->tableName + ": valor numérico inválido '" + value + "' para o campo '" + f.name + "'");
        break;
    }
    case FieldType::Logical:
        d_->buffer[static_cast<std::size_t>(f.offset)] = static_cast<uint8_t>(logicalMark(value, d_->tableName, f));
        break;
    case FieldType::Date:
        d_->store(f, dateBytes(value, d_->tableName));
        break;
    case FieldType::Memo:
        d_->pendingMemos[index] = fromUtf8(value);
        break;
    }
}

void Table::setInteger(int index, long long value)
{
    d_->requireEditing();
    const FieldDef& f = fieldDef(index);
    if (isNumericType(f.type))
        d_->store(f, formatInteger(value, f, d_->tableName));
    else if (f.type == FieldType::Logical)
        setBoolean(index, value != 0);
    else
        setString(index, std::to_string(value));
}

void Table::setFloat(int index, double value)
{
    d_->requireEditing();
    const FieldDef& f = fieldDef(index);
    if (isNumericType(f.type))
        d_->store(f, formatFloat(value, f, d_->tableName));
    else if (f.type == FieldType::Logical)
        setBoolean(index, value != 0);
    else
        setString(index, shortestNumber(value));
}

void Table::setBoolean(int index, bool value)
{
    d_->requireEditing();
    const FieldDef& f = fieldDef(index);
    if (f.type == FieldType::Logical)
        d_->buffer[static_cast<std::size_t>(f.offset)] = value ? 'T' : 'F';
    else if (isNumericType(f.type))
        setInteger(index, value ? 1 : 0);
    else
        setString(index, value ? "T" : "F");
}

void Table::setString(const std::string& name, const std::string& value) { setString(fieldIndex(name), value); }
void Table::setInteger(const std::string& name, long long value) { setInteger(fieldIndex(name), value); }
void Table::setFloat(const std::string& name, double value) { setFloat(fieldIndex(name), value); }
void Table::setBoolean(const std::string& name, bool value) { setBoolean(fieldIndex(name), value); }

// ==================================================================== edit, insert, post

Table::State Table::state() const { return d_->state; }

void Table::Impl::requireWritable() const
{
    if (readOnly)
        throw Error(ErrorKind::Invalid, tableName + ": a tabela foi aberta somente para leitura");
}

void Table::edit()
{
    d_->requireOpen();
    d_->requireWritable();
    if (d_->isEditing())
        return;
    if (d_->current == 0 || d_->current > d_->count())
        throw Error(ErrorKind::Invalid, d_->tableName + ": não há registro para editar");
    // Another process may have changed the record since it was read.
    d_->editLock = d_->lockRecord(d_->current);
    d_->rereadRecord(d_->current);
    const uint8_t* rec = d_->record(d_->current);
    d_->buffer.assign(rec, rec + d_->recordLength());
    d_->pendingMemos.clear();
    d_->state = State::Edit;
}

void Table::insert()
{
    d_->requireOpen();
    d_->requireWritable();
    if (!leaveEditing(*this))
        return;
    d_->savedCurrent = d_->current;
    d_->savedEof = d_->atEof;
    d_->savedBof = d_->atBof;
    if (beforeInsert)
        beforeInsert(*this);
    d_->buffer = d_->blankRecord;
    d_->pendingMemos.clear();
    d_->state = State::Insert;
    if (onNewRecord)
        onNewRecord(*this);
}

bool Table::post()
{
    d_->requireOpen();
    if (!d_->isEditing())
        return false;
    if (beforePost && !beforePost(*this))
        return false;
    Impl& d = *d_;
    // Posts of all processes follow each other, each seeing every record the others appended
    // (an append goes after them, a rebuild of the tags lists them).
    const Impl::AppendHold appending(d, false);
    d.readAppendedRecords();
    if (beforeWrite)
        beforeWrite(*this);
    // The record and its tags change under the index lock, a failed post's rollback too.
    const locks::Lock indexing = d.lockIndex();
    const Impl::PostMark mark = d.markBeforePost();
    try {
        d.writePending();
    } catch (...) {
        d.rollbackPost(mark);
        throw;
    }
    d.editLock.release();
    d.atEof = d.atBof = false;
    d.buffer.clear();
    d.pendingMemos.clear();
    return true;
}

Table::Impl::PostMark Table::Impl::markBeforePost() const
{
    PostMark mark;
    mark.dbfSize = dbf.size();
    mark.count = header.count;
    mark.current = current;
    mark.cdxChanges = cdxChanges;
    mark.dbfChanges = dbfChanges;
    if (memo.isOpen())
        mark.memo = memo.mark();
    if (state == State::Edit) {
        mark.oldRecord.assign(record(current), record(current) + recordLength());
    } else {
        const uint64_t offset = recordOffset(count() + 1);
        const uint64_t present = mark.dbfSize > offset ? mark.dbfSize - offset : 0;
        mark.oldTail = dbf.readAt(offset, static_cast<std::size_t>(std::min<uint64_t>(present, recordLength() + 1)));
    }
    return mark;
}

// The order on disk, each step durable before the next begins, so that a power cut at any
// moment leaves what the post under way wrote finished or undone at the next open:
//   1. when a tag changes, the index's change counter odd (the next open rebuilds the tags);
//   2. the memo blocks and the memo header (the record never points past them);
//   3. the record: an append writes the record and the new end mark, then the count (when the
//      record crosses a sector, its fields first, past the old end mark, then its deletion mark
//      over it); an edit writes the bytes that changed, through a redo note when they cross a
//      sector;
//   4. the tag pages; then the counter even again (not waited for: odd only costs a rebuild).
// Old memo blocks are never written over: a changed text goes to new blocks.
void Table::Impl::writePending()
{
    const bool inserting = state == State::Insert;
    const uint32_t recno = inserting ? count() + 1 : current;
    std::vector<uint8_t> image = buffer;
    const bool tagsChange = changesTags(inserting ? nullptr : record(recno), image.data());
    if (tagsChange)
        noteIndexChanging();
    if (!pendingMemos.empty()) {
        for (const auto& [index, text] : pendingMemos) {
            const FieldDef& f = header.fields[static_cast<std::size_t>(index)];
            const uint32_t oldBlock = memoBlock(image.data() + f.offset, tableName);
            const std::string pointer = memoPointer(memo.write(oldBlock, text));
            std::copy(pointer.begin(), pointer.end(), image.begin() + f.offset);
        }
        if (environment().syncOnPost)
            memo.sync();
    }
    std::vector<uint8_t> old;
    if (inserting) {
        appendRecord(recno, image);
        resizeRecords(recno);
        std::copy(image.begin(), image.end(), records.begin() + std::ptrdiff_t(recno - 1) * std::ptrdiff_t(recordLength()));
        current = recno;
    } else {
        writeInPlace(recno, image.data());
        old.assign(record(recno), record(recno) + recordLength());
        std::copy(image.begin(), image.end(), record(recno));
    }
    state = State::Browse;
    if (!tagsChange) {
        orderChanged();
        return;
    }
    updateTags(recno, inserting ? nullptr : old.data(), record(recno));
    if (environment().syncOnPost)
        index.sync();
    noteIndexChanged();
}

void Table::Impl::syncDbf()
{
    if (environment().syncOnPost)
        dbf.sync();
}

void Table::Impl::appendRecord(uint32_t recno, const std::vector<uint8_t>& image)
{
    const uint64_t at = recordOffset(recno);
    // A reader that stops at the end mark (dbfread) must never meet half a record: the old
    // mark stays until the fields behind it are whole.
    if (dbf.size() <= at || dbf.readAt(at, 1)[0] != static_cast<char>(kEndOfFile)) {
        dbf.writeAt(at, std::string(1, static_cast<char>(kEndOfFile)));
        syncDbf();
    }
    std::string whole(image.begin(), image.end());
    whole += static_cast<char>(kEndOfFile);
    if (at / kSectorSize == (at + whole.size() - 1) / kSectorSize) {
        dbf.writeAt(at, whole);  // inside one sector: whole or not at all
    } else {
        dbf.writeAt(at + 1, whole.substr(1));
        syncDbf();
        dbf.writeAt(at, whole.substr(0, 1));
    }
    syncDbf();
    dbf.writeAt(1, dateAndCount(recno));
    syncDbf();
}

// Only the bytes that changed are written: inside one sector they cannot be torn; across a
// sector boundary they go through a redo note first.
void Table::Impl::writeInPlace(uint32_t recno, const uint8_t* image)
{
    const uint8_t* stored = record(recno);
    const std::size_t length = recordLength();
    std::size_t first = 0;
    while (first < length && stored[first] == image[first])
        ++first;
    if (first == length)
        return;
    std::size_t end = length;
    while (stored[end - 1] == image[end - 1])
        --end;
    const uint64_t offset = recordOffset(recno) + first;
    const std::string bytes(reinterpret_cast<const char*>(image + first), end - first);
    const bool crossesSector = offset / kSectorSize != (offset + bytes.size() - 1) / kSectorSize;
    noteRecordsChanging();
    if (crossesSector && environment().syncOnPost) {
        try {
            redo::write(dbfPath, offset, bytes);
            dbf.writeAt(offset, bytes);
            dbf.sync();
            redo::clear(dbfPath);
        } catch (...) {
            undoNotedWrite(dbf, dbfPath, offset, std::string(reinterpret_cast<const char*>(stored + first), end - first));
            throw;
        }
    } else {
        dbf.writeAt(offset, bytes);
        syncDbf();
    }
    noteRecordsChanged();
}

// A redo note a power cut left behind: the change it holds is written (or, read-only, only
// taken into the records read), so that the record is the new one, not a mix.
void Table::Impl::finishCutChange()
{
    uint64_t offset = 0;
    std::string bytes;
    if (!redo::read(dbfPath, offset, bytes))
        return;
    const uint64_t begin = header.headerLength;
    const uint64_t end = begin + records.size();
    if (offset >= begin && offset + bytes.size() <= end) {
        needAllRecords();
        std::copy(bytes.begin(), bytes.end(), records.begin() + std::ptrdiff_t(offset - begin));
        if (readOnly)
            return;
        noteRecordsChanging();
        dbf.writeAt(offset, bytes);
        dbf.sync();
        noteRecordsChanged();
    }
    if (!readOnly)
        redo::clear(dbfPath);
}

// A post that failed leaves the files as they were before it, and the change still pending,
// so that the caller may cancel it or try again.
void Table::Impl::rollbackPost(const PostMark& mark)
{
    const bool wasInsert = mark.oldRecord.empty();
    try {
        if (wasInsert) {
            dbf.writeAt(1, dateAndCount(mark.count));
            dbf.sync();
            if (!mark.oldTail.empty())
                dbf.writeAt(recordOffset(mark.count + 1), mark.oldTail);
            dbf.truncate(mark.dbfSize);
        } else {
            dbf.writeAt(recordOffset(mark.current), mark.oldRecord.data(), mark.oldRecord.size());
            restoreRecordsChanges(mark.dbfChanges);  // no other process read in between
        }
        dbf.sync();
    } catch (const Error&) {
        // Restoring wrote nothing new past the old end, so it can hardly fail; when it does,
        // an uncounted appended record is ignored by the next open.
    }
    if (memo.isOpen())
        memo.rollback(mark.memo);

    const bool memoryChanged = state == State::Browse;
    if (memoryChanged) {
        if (wasInsert) {
            resizeRecords(mark.count);
            state = State::Insert;
        } else {
            std::copy(mark.oldRecord.begin(), mark.oldRecord.end(), record(mark.current));
            state = State::Edit;
        }
        current = mark.current;
        // A tag change that failed was written back by the index itself; only tags that
        // took their part of the change before another failed need rebuilding.
        try {
            repairTags(true);
        } catch (const Error&) {
            // The tag file could not be made right now: the counter left odd has the next open
            // rebuild it, and meanwhile this open does not use the tags.
            dropTagsFromUse();
        }
        orderChanged();
    }
    // The tags are as they were before the post: so is the change counter (unless they could
    // not be mended: then it stays odd for the next open).
    const bool tagsInUse = index.tagCount() == tags.size();
    if (cdxChanges != mark.cdxChanges && tagsInUse) {
        cdxChanges = mark.cdxChanges;
        try {
            writeCdxChanges();
        } catch (const Error&) {
            // Left odd, it makes the next writer check the tags.
        }
    }
}

void Table::cancel()
{
    if (!d_->isEditing())
        return;
    if (d_->state == State::Insert) {
        d_->current = d_->savedCurrent;
        d_->atEof = d_->savedEof;
        d_->atBof = d_->savedBof;
    }
    d_->state = State::Browse;
    d_->buffer.clear();
    d_->pendingMemos.clear();
    d_->editLock.release();
}

void Table::deleteRecord()
{
    d_->requireOpen();
    d_->requireWritable();
    // Deleting a record being inserted just drops it; one being edited loses the change.
    const bool wasInserting = d_->state == State::Insert;
    cancel();
    if (wasInserting)
        return;
    Impl& d = *d_;
    if (d.current == 0 || d.current > d.count())
        throw Error(ErrorKind::Invalid, d.tableName + ": não há registro para apagar");
    const uint32_t recno = d.current;
    const uint8_t mark = kDeletedMark;
    const locks::Lock locked = d.lockRecord(recno);
    // A write in place, as a post's: the change counter moves under the append lock.
    const Impl::AppendHold appending(d, false);
    d.readAppendedRecords();
    const uint8_t old = d.record(recno)[0];
    const uint32_t changesBefore = d.dbfChanges;
    d.noteRecordsChanging();
    try {
        d.dbf.writeAt(d.recordOffset(recno), &mark, 1);
        if (environment().syncOnPost)
            d.dbf.sync();
        d.noteRecordsChanged();
    } catch (...) {
        try {  // the record stays as the caller is told it is
            d.dbf.writeAt(d.recordOffset(recno), &old, 1);
            d.restoreRecordsChanges(changesBefore);
            d.dbf.sync();
        } catch (const Error&) {
        }
        throw;
    }
    d.record(recno)[0] = mark;

    // The cursor goes to the next visible record, else the previous one.
    const std::size_t position = d.positionOfRecord(recno);
    uint32_t neighbour = 0;
    if (position != kNoPosition && d.scanForward(position + 1, neighbour)) {
        d.current = neighbour;
        d.atEof = d.atBof = false;
    } else if (position != kNoPosition && d.scanBackward(position, neighbour)) {
        d.current = neighbour;
        d.atEof = d.atBof = false;
    } else if (position == kNoPosition && d.scanForward(d.rangeBegin, neighbour)) {
        d.current = neighbour;
        d.atEof = d.atBof = false;
    } else {
        d.current = 0;
        d.atEof = d.atBof = true;
    }
}

// ==================================================================== pack, refresh

// The new table, whole on disk before the pack may replace the old one. The memo file stays
// as it is, the records pointing at the same blocks: were it rewritten too, a power cut
// between the two renames would leave a table pointing into the wrong memo file. The blocks of
// the deleted records are left unused.
void Table::Impl::writePacked(const DbfHeader& layout, const std::vector<uint8_t>& live, uint32_t liveCount,
                              const std::string& newDbf, File& file) const
{
    DbfHeader packedHeader = layout;
    packedHeader.count = liveCount;
    std::string bytes = headerBytes(packedHeader);
    bytes.append(live.begin(), live.end());
    bytes += static_cast<char>(kEndOfFile);
    file.create(newDbf);
    file.writeAt(0, bytes);
    file.sync();
}

bool Table::pack()
{
    return packAlone(false);
}

bool Table::packDeletedIfAlone()
{
    return packAlone(true);
}

bool Table::packAlone(bool onlyWithDeleted)
{
    return whileAlone(
        [this, onlyWithDeleted] {
            if (onlyWithDeleted && deletedCount() == 0)
                return false;
            d_->packAlone();
            return true;
        },
        "a compactação falhou");
}

bool Table::changeLayout(const std::vector<FieldDef>& fields)
{
    return whileAlone(
        [this, &fields] {
            d_->relayoutAlone(fields);
            return true;
        },
        "a mudança de campos falhou");
}

bool Table::whileAlone(const std::function<bool()>& work, const char* failure)
{
    d_->requireOpen();
    d_->requireWritable();
    if (!leaveEditing(*this))
        return false;
    Impl& d = *d_;
    // Another open of the table (on another computer, or another handle in this program) would
    // go on with the replaced files: the work waits until the table is alone.
    if (!d.openLock.change(false))
        return false;
    bool done = false;
    try {
        done = work();
    } catch (const Error& e) {
        d.openLock.change(true);
        throw Error(e.kind(), d.tableName + ": " + failure + ": " + e.what());
    } catch (...) {
        d.openLock.change(true);
        throw;
    }
    d.openLock.change(true);
    if (done)
        first();
    return done;
}

void Table::Impl::packAlone()
{
    readFresh();  // what the others wrote before they closed the table
    needAllRecords();
    const std::size_t length = recordLength();
    std::vector<uint8_t> live;
    live.reserve(records.size());
    for (uint32_t r = 1; r <= count(); ++r)
        if (record(r)[0] != kDeletedMark)
            live.insert(live.end(), record(r), record(r) + length);
    const uint32_t liveCount = static_cast<uint32_t>(live.size() / length);
    replaceAlone(header, std::move(live), liveCount);
}

// A value of the old record in a field of the new layout: the same bytes where the length is
// the same, a text cut or padded, a number kept when it fits (blank otherwise).
static void carryField(const uint8_t* from, const FieldDef& old, uint8_t* to, const FieldDef& field)
{
    const std::string value(reinterpret_cast<const char*>(from + old.offset), std::size_t(old.length));
    std::string bytes(std::size_t(field.length), ' ');
    if (old.length == field.length && old.decimals == field.decimals) {
        bytes = value;
    } else if (field.type == FieldType::Character) {
        bytes.replace(0, std::min(value.size(), bytes.size()), value, 0, std::min(value.size(), bytes.size()));
    } else if (field.type == FieldType::Numeric || field.type == FieldType::Float) {
        const std::size_t begin = value.find_first_not_of(' ');
        const std::string number = begin == std::string::npos ? std::string() : value.substr(begin);
        if (old.decimals == field.decimals && number.size() <= bytes.size())
            bytes.replace(bytes.size() - number.size(), number.size(), number);
    }
    std::copy(bytes.begin(), bytes.end(), to + field.offset);
}

void Table::Impl::relayoutAlone(const std::vector<FieldDef>& fields)
{
    DbfHeader layout = layoutHeader(tableName, fields, false);
    if (hasCdx() || layout.hasMemo() != header.hasMemo() || !filterText.empty())
        throw Error(ErrorKind::Invalid, "só uma tabela sem índice nem filtro, que mantém seus memos, muda de campos");
    layout.codePage = header.codePage;
    layout.changes = header.changes;
    readFresh();
    needAllRecords();
    std::vector<std::pair<const FieldDef*, const FieldDef*>> carried;  // old field, new field
    for (const FieldDef& field : layout.fields)
        for (const FieldDef& old : header.fields)
            if (old.name == field.name && old.type == field.type)
                carried.emplace_back(&old, &field);
    std::vector<uint8_t> live;
    uint32_t liveCount = 0;
    for (uint32_t r = 1; r <= count(); ++r) {
        if (record(r)[0] == kDeletedMark)
            continue;
        const std::size_t at = live.size();
        live.resize(at + layout.recordLength, ' ');
        for (const auto& [old, field] : carried)
            carryField(record(r), *old, live.data() + at, *field);
        ++liveCount;
    }
    replaceAlone(std::move(layout), std::move(live), liveCount);
    blankRecord.assign(header.recordLength, ' ');
}

void Table::Impl::replaceAlone(DbfHeader layout, std::vector<uint8_t> live, uint32_t liveCount)
{
    const std::string newDbf = dbfPath + ".tmp";
    File packed;
    try {
        writePacked(layout, live, liveCount, newDbf, packed);
    } catch (...) {
        packed.close();
        removeFile(newDbf);
        throw;
    }
    // The new table is held as the old one is, so that an open that finds it under the name
    // waits until its tags are made.
    locks::Lock packedAlone(packed.descriptor(), locks::openLock(), tableName);

    // Only complete files replace the old ones, and the rename to the commit name decides the
    // pack: a crash before it keeps the old files, one after it is finished by the next open,
    // which finds the old index marked as changing and makes the tags anew.
    noteIndexChanging();
    renameFile(newDbf, packCommitPath(dbfPath));
    // The pack is decided: stopping now would leave it for the next open, which this open
    // holds off, so a step that fails is tried once more. (The commit rename lost in a power
    // cut only leaves the old files, deleted records invisible, for a later pack.)
    try {
        syncDirectoryOf(dbfPath);
        recoverPack(dbfPath);
    } catch (const Error&) {
        recoverPack(dbfPath);
    }
    // An open waiting on the old file finds it renamed over and opens the new one.
    openLock.release();
    dbf.close();
    memo.close();
    dbf.swap(packed);
    openLock = std::move(packedAlone);

    header = std::move(layout);
    if (header.hasMemo())
        memo.open(fptPath, false);
    recordsReplaced(std::move(live), liveCount);
    dbfChanges = header.changes;
    if (!tags.empty()) {
        rebuildAllTags();
    } else {
        orderChanged();
    }
    if (hasCdx()) {  // the rebuilt file starts its own change counter
        cdxLockFile.open(cdxPath, false);
        cdxChanges = readCdxChanges();
    }
}

uint32_t Table::deletedCount() const
{
    const Impl& d = *d_;
    d.needAllRecords();
    uint32_t n = 0;
    for (uint32_t r = 1; r <= d.count(); ++r)
        n += d.record(r)[0] == kDeletedMark;
    return n;
}

void Table::readFresh()
{
    d_->requireOpen();
    d_->readFresh();
}

void Table::refresh()
{
    d_->requireOpen();
    if (!leaveEditing(*this))
        return;
    Impl& d = *d_;
    const uint32_t current = d.current;
    const bool wasEof = d.atEof, wasBof = d.atBof;
    const std::string path = d.dbfPath;
    const bool readOnly = d.readOnly;
    d.openLock.release();
    d.cdxLockFile.close();
    d.dbf.close();
    d.memo.close();
    d.tags.clear();
    try {
        d.load(path, readOnly);
    } catch (...) {
        close();
        throw;
    }
    d.activeTag = d.findTag(d.activeTagName);
    if (d.activeTag < 0)
        d.activeTagName.clear();
    if (d.filter.isValid())
        d.filter = Expression::compileFilter(d.filterText, d.header.fields);
    d.orderChanged();
    if (current >= 1 && current <= d.count()) {
        d.current = current;
        d.atEof = wasEof;
        d.atBof = wasBof;
    } else {
        first();
    }
}

} // namespace xbase
