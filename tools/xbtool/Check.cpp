// xbtool check: the header, the records, the memo pointers and every tag of a table, each
// checked against the file bytes rather than through the engine, so that the engine's own
// faults show up.
#include "Commands.h"
#include "RawDbf.h"
#include "xbase/Error.h"
#include "xbase/Expr.h"
#include "xbase/File.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace xbtool {
namespace {

constexpr size_t kMaxReportedPerKind = 20;  // a badly damaged file would print thousands

struct Report {
    std::vector<std::string> lines;
    void add(const std::string& line) { lines.push_back(line); }
};

std::string recordLabel(uint32_t recno) { return "registro " + std::to_string(recno) + ": "; }

bool isBlank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

bool isDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Right-aligned text with leading blanks: the layout of N and F fields and memo pointers.
bool isRightAlignedNumber(const std::string& s, bool allowDecimals)
{
    const size_t start = s.find_first_not_of(' ');
    if (start == std::string::npos)
        return true;
    std::string body = s.substr(start);
    if (body[0] == '-')
        body.erase(0, 1);
    const size_t dot = body.find('.');
    if (dot != std::string::npos && !allowDecimals)
        return false;
    const std::string whole = body.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : body.substr(dot + 1);
    return (isDigits(whole) || (whole.empty() && isDigits(fraction)))
           && (fraction.empty() || isDigits(fraction));
}

bool isValidDate(const std::string& s)
{
    if (isBlank(s))
        return true;
    if (!isDigits(s))
        return false;
    const int y = std::stoi(s.substr(0, 4)), m = std::stoi(s.substr(4, 2)), d = std::stoi(s.substr(6, 2));
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m >= 1 && m <= 12 && d >= 1 && d <= (m == 2 && !leap ? 28 : days[m - 1]);
}

std::string checkValue(const xbase::FieldDef& f, const std::string& v)
{
    switch (f.type) {
    case xbase::FieldType::Numeric:
    case xbase::FieldType::Float:
        return isRightAlignedNumber(v, true) ? "" : "número inválido '" + v + "'";
    case xbase::FieldType::Logical:
        return std::string("TtFfYyNn? ").find(v[0]) != std::string::npos ? "" : "lógico inválido '" + v + "'";
    case xbase::FieldType::Date:
        return isValidDate(v) ? "" : "data inválida '" + v + "'";
    default:
        return "";
    }
}

void checkRecords(const RawDbf& dbf, Report& report)
{
    size_t reported = 0;
    for (uint32_t r = 1; r <= dbf.recordsPresent() && reported < kMaxReportedPerKind; ++r) {
        const char mark = char(dbf.record(r)[0]);
        if (mark != ' ' && mark != '*') {
            report.add(recordLabel(r) + "marca de exclusão inválida");
            ++reported;
        }
        for (const xbase::FieldDef& f : dbf.fields) {
            const std::string problem = checkValue(f, dbf.fieldBytes(r, f));
            if (!problem.empty() && reported++ < kMaxReportedPerKind)
                report.add(recordLabel(r) + "campo " + f.name + ": " + problem);
        }
    }
}

// ---- Memo file ----

uint32_t be32(const std::string& b, size_t at)
{
    return (uint32_t(uint8_t(b[at])) << 24) | (uint8_t(b[at + 1]) << 16) | (uint8_t(b[at + 2]) << 8)
           | uint8_t(b[at + 3]);
}

struct MemoUse {
    uint64_t firstBlock;
    uint64_t endBlock;  // one past the last block
    uint32_t recno;
};

std::string loadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Block number of a memo pointer; false when the pointer is malformed.
bool memoBlock(const RawDbf& dbf, const std::string& raw, uint64_t& block)
{
    if (dbf.isVisualFoxPro()) {
        block = uint8_t(raw[0]) | (uint8_t(raw[1]) << 8) | (uint8_t(raw[2]) << 16) | (uint32_t(uint8_t(raw[3])) << 24);
        return true;
    }
    if (isBlank(raw)) {
        block = 0;
        return true;
    }
    if (!isRightAlignedNumber(raw, false) || raw.find('-') != std::string::npos)
        return false;
    block = std::stoull(raw.substr(raw.find_first_not_of(' ')));
    return true;
}

void checkMemoPointer(const std::string& memo, uint32_t blockSize, uint64_t nextFree, uint64_t block,
                      const std::string& where, std::vector<MemoUse>& uses, uint32_t recno, Report& report)
{
    const uint64_t firstUsable = (512 + blockSize - 1) / blockSize;
    if (block < firstUsable) {
        report.add(where + "aponta para dentro do cabeçalho do memo (bloco " + std::to_string(block) + ")");
        return;
    }
    if (block >= nextFree) {
        report.add(where + "bloco " + std::to_string(block) + " além do próximo bloco livre " + std::to_string(nextFree));
        return;
    }
    const uint64_t start = block * blockSize;
    if (start + 8 > memo.size()) {
        report.add(where + "bloco " + std::to_string(block) + " fora do arquivo memo");
        return;
    }
    const uint32_t type = be32(memo, start);
    const uint64_t length = be32(memo, start + 4);
    if (type != 1)
        report.add(where + "bloco " + std::to_string(block) + " de tipo " + std::to_string(type) + " (texto é 1)");
    const uint64_t end = start + 8 + length;
    if (end > memo.size() || end > nextFree * blockSize) {
        report.add(where + "memo de " + std::to_string(length) + " bytes passa do fim do arquivo memo");
        return;
    }
    uses.push_back({block, (end + blockSize - 1) / blockSize, recno});
}

void checkMemos(const RawDbf& dbf, const std::string& dbfPath, Report& report)
{
    const std::string fptPath = xbase::companionPath(dbfPath, "fpt");
    const bool exists = xbase::fileExists(fptPath);
    if (!dbf.hasMemoFields()) {
        if (exists)
            report.add("arquivo memo '" + fptPath + "' sem campo memo na tabela");
        return;
    }
    if (!exists) {
        report.add("falta o arquivo memo '" + fptPath + "'");
        return;
    }
    const std::string memo = loadFile(fptPath);
    if (memo.size() < 512) {
        report.add("arquivo memo curto demais (" + std::to_string(memo.size()) + " bytes)");
        return;
    }
    const uint64_t nextFree = be32(memo, 0);
    const uint32_t blockSize = (uint8_t(memo[6]) << 8) | uint8_t(memo[7]);
    if (blockSize == 0) {
        report.add("arquivo memo com tamanho de bloco 0");
        return;
    }

    std::vector<MemoUse> uses;
    size_t before = report.lines.size();
    for (uint32_t r = 1; r <= dbf.recordsPresent() && report.lines.size() - before < kMaxReportedPerKind; ++r) {
        for (const xbase::FieldDef& f : dbf.fields) {
            if (f.type != xbase::FieldType::Memo)
                continue;
            const std::string where = recordLabel(r) + "memo " + f.name + ": ";
            uint64_t block = 0;
            if (!memoBlock(dbf, dbf.fieldBytes(r, f), block))
                report.add(where + "ponteiro inválido '" + dbf.fieldBytes(r, f) + "'");
            else if (block != 0)
                checkMemoPointer(memo, blockSize, nextFree, block, where, uses, r, report);
        }
    }
    // Two records sharing blocks would overwrite each other's text.
    std::sort(uses.begin(), uses.end(), [](const MemoUse& a, const MemoUse& b) { return a.firstBlock < b.firstBlock; });
    for (size_t i = 1; i < uses.size(); ++i)
        if (uses[i].firstBlock < uses[i - 1].endBlock)
            report.add("registros " + std::to_string(uses[i - 1].recno) + " e " + std::to_string(uses[i].recno)
                       + " usam os mesmos blocos de memo");
}

// ---- Index ----

std::string entryText(const xbase::cdx::Entry& e, xbase::cdx::KeyType type)
{
    return "'" + keyText(e.key, type) + "' registro " + std::to_string(e.recno);
}

// The entries a tag should hold, computed from the records with its own expressions.
std::vector<xbase::cdx::Entry> expectedEntries(const RawDbf& dbf, const xbase::cdx::Tag& tag)
{
    const xbase::Expression key = xbase::Expression::compileKey(tag.expression, dbf.fields);
    xbase::Expression condition;
    if (!tag.forExpression.empty())
        condition = xbase::Expression::compileFilter(tag.forExpression, dbf.fields);
    std::vector<xbase::cdx::Entry> entries;
    for (uint32_t r = 1; r <= dbf.recordsPresent(); ++r)
        if (!condition.isValid() || condition.test(dbf.record(r)))
            entries.push_back({key.key(dbf.record(r)), r});
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.key != b.key ? a.key < b.key : a.recno < b.recno;
    });
    if (tag.options & 0x01)
        entries.erase(std::unique(entries.begin(), entries.end(),
                                  [](const auto& a, const auto& b) { return a.key == b.key; }),
                      entries.end());
    return entries;
}

void compareTag(const RawDbf& dbf, const xbase::cdx::Tag& tag, Report& report)
{
    const std::string where = "tag " + tag.name + ": ";
    std::vector<xbase::cdx::Entry> expected;
    try {
        expected = expectedEntries(dbf, tag);
        const int width = xbase::Expression::compileKey(tag.expression, dbf.fields).width();
        if (width != tag.keyLength) {
            report.add(where + "chave de " + std::to_string(tag.keyLength) + " bytes, a expressão dá "
                       + std::to_string(width));
            return;
        }
    } catch (const xbase::Error& e) {
        report.add(where + e.what());
        return;
    }
    if (expected.size() != tag.entries.size())
        report.add(where + std::to_string(tag.entries.size()) + " entradas, esperadas " + std::to_string(expected.size()));
    size_t reported = 0;
    for (size_t i = 0; i < std::min(expected.size(), tag.entries.size()) && reported < kMaxReportedPerKind; ++i) {
        const auto& want = expected[i];
        const auto& got = tag.entries[i];
        if (want.key != got.key || want.recno != got.recno) {
            report.add(where + "entrada " + std::to_string(i + 1) + ": " + entryText(got, tag.keyType)
                       + ", esperado " + entryText(want, tag.keyType));
            ++reported;
        }
    }
}

void checkIndex(const RawDbf& dbf, const std::string& dbfPath, Report& report)
{
    const std::string cdxPath = xbase::companionPath(dbfPath, "cdx");
    if (!(dbf.flags & 0x01))
        return;  // no structural index: a .cdx beside the table is not opened with it
    if (!xbase::fileExists(cdxPath)) {
        report.add("o cabeçalho indica índice estrutural, mas falta '" + cdxPath + "'");
        return;
    }
    std::vector<xbase::cdx::Tag> tags;
    try {
        tags = xbase::cdx::read(cdxPath, keyTypesBeside(cdxPath));
    } catch (const xbase::Error& e) {
        report.add(e.what());
        return;
    }
    for (const xbase::cdx::Tag& tag : tags)
        compareTag(dbf, tag, report);
}

} // namespace

int checkTable(const std::string& dbfPath)
{
    Report report;
    const RawDbf dbf = readRawDbf(dbfPath, report.lines);
    if (dbf.usable) {
        checkRecords(dbf, report);
        checkMemos(dbf, dbfPath, report);
        checkIndex(dbf, dbfPath, report);
    }
    for (const std::string& line : report.lines)
        std::printf("%s: %s\n", dbfPath.c_str(), line.c_str());
    for (const std::string& note : dbf.notes)
        std::printf("%s: nota: %s\n", dbfPath.c_str(), note.c_str());
    if (!report.lines.empty())
        return 1;
    std::printf("%s: sem problemas (%u registros)\n", dbfPath.c_str(), dbf.count);
    return 0;
}

} // namespace xbtool
