// xbase-bench: figures of the table engine on a generated results table of 100,000 rows.
//
// Each figure is measured twice in the same run: through the engine, and as the same work done
// by a plain loop over the file's bytes in memory (the limit). The ratio engine / limit says
// how far the engine is from it. When libxbase64 is installed, the filtered scan is also run
// through that library. Usage: xbase-bench [work folder] (default: a new folder under /tmp).
#include "xbase/Cdx.h"
#include "xbase/Codepage.h"
#include "xbase/Error.h"
#include "xbase/Table.h"

#ifdef TARVEX_HAVE_XBASE64
#include <xbase64/xbase64.h>
#endif

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kKeys = 10000;
constexpr int kBigKeys = 100000;      // the tag whose upkeep is measured
constexpr int kKeyChanges = 20000;    // posts that each change a key (fewer when slow)
constexpr double kKeyChangeSeconds = 5;
constexpr int kSeeks = 200000;
constexpr int kRepeats = 5;       // runs of the slower figures
constexpr int kQuickRepeats = 50; // runs of the sub-millisecond ones
constexpr double kFilterTarget = 3.0;
constexpr double kSeeksTarget = 200000;
constexpr double kMemoryTargetMb = 50;
constexpr double kKeyChangesTarget = 20000;

// The results list's five-term filter, as the program builds it.
const char* const kFilter =
    "Nome = \"ANA\" .AND. Tipo=\"Básico\" .AND. Licao >= 1 .AND. Licao <= 60";

// ------------------------------------------------------------------ timing

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

template <class Work>
double timeOnce(Work work)
{
    const auto start = Clock::now();
    work();
    return secondsSince(start);
}

// Best of several runs: the machine is shared, and the minimum is the least disturbed.
template <class Work>
double bestOf(Work work, int repeats = kRepeats)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i)
        best = std::min(best, timeOnce(work));
    return best;
}

// ------------------------------------------------------------------ the data

// Fields of the results table (Relat.dbf) and where they lie in a record.
std::vector<xbase::FieldDef> resultFields()
{
    using xbase::FieldType;
    return {
        {"NOME", FieldType::Character, 20, 0, 0},     {"TIPO", FieldType::Character, 8, 0, 0},
        {"LICAO", FieldType::Numeric, 3, 0, 0},       {"VELOCIDADE", FieldType::Numeric, 5, 0, 0},
        {"PRECISAO", FieldType::Numeric, 3, 0, 0},    {"RESULTADO", FieldType::Character, 9, 0, 0},
    };
}

enum Offset { kNome = 1, kTipo = 21, kLicao = 29, kVelocidade = 32, kPrecisao = 37, kResultado = 40 };
constexpr int kRecordLength = 49;

// The 31 students a school can register; ANA and ANAMARIA both, for the whole-value rule.
const char* const kStudents[] = {
    "ANA", "ANAMARIA", "BRUNO", "CARLA", "DANIEL", "EDUARDA", "FABIO", "GABRIELA", "HEITOR",
    "ISABEL", "JOAO", "JULIANA", "KLEBER", "LARISSA", "MARCOS", "NATALIA", "OTAVIO", "PAULA",
    "RAFAEL", "SABRINA", "TIAGO", "URSULA", "VINICIUS", "WANDA", "XAVIER", "YASMIN", "ZECA",
    "ANDRE", "BEATRIZ", "CAIO", "DEBORA",
};
constexpr int kStudentCount = sizeof kStudents / sizeof kStudents[0];
const char* const kTypes[] = {"Básico", "Avançado", "Textos", "Numérico"};

struct Row {
    int student;
    int licao;
    int velocidade;
    int precisao;
    bool aprovado;
    const char* nome() const { return kStudents[student]; }
    const char* tipo() const { return kTypes[student % 4]; }  // each student keeps one course
    const char* resultado() const { return aprovado ? "Aprovado" : "Reprovado"; }
};

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t below(uint32_t n)
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>((state_ >> 33) % n);
    }

private:
    uint64_t state_;
};

std::vector<Row> makeRows()
{
    Random random(20260131);
    std::vector<Row> rows(kRows);
    for (Row& row : rows) {
        row.student = static_cast<int>(random.below(kStudentCount));
        row.licao = 1 + static_cast<int>(random.below(60));
        row.velocidade = 80 + static_cast<int>(random.below(300));
        row.precisao = 60 + static_cast<int>(random.below(41));
        row.aprovado = row.velocidade >= 150 && row.precisao >= 90;
    }
    return rows;
}

// ------------------------------------------------------------------ files and bytes

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Written, flushed to disk and renamed over the target, as a careful writer would.
void replaceFileSynced(const std::string& path, const std::string& bytes)
{
    const std::string temporary = path + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())
        || ::fsync(fd) != 0) {
        std::perror(temporary.c_str());
        std::exit(1);
    }
    ::close(fd);
    std::rename(temporary.c_str(), path.c_str());
}

uint32_t readLe32(const std::string& bytes, std::size_t at)
{
    return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8
           | static_cast<uint8_t>(bytes[at + 2]) << 16
           | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

uint16_t readLe16(const std::string& bytes, std::size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at])
                                 | static_cast<uint8_t>(bytes[at + 1]) << 8);
}

void writeLe32(std::string& bytes, std::size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// A .dbf held in memory, as the plain loops see it.
struct DbfBytes {
    std::string bytes;
    uint32_t count = 0;
    uint16_t headerLength = 0;
    uint16_t recordLength = 0;

    explicit DbfBytes(std::string file) : bytes(std::move(file))
    {
        count = readLe32(bytes, 4);
        headerLength = readLe16(bytes, 8);
        recordLength = readLe16(bytes, 10);
    }
    const uint8_t* record(uint32_t index) const  // 0-based
    {
        return reinterpret_cast<const uint8_t*>(bytes.data()) + headerLength
               + std::size_t(index) * recordLength;
    }
};

// Text padded with blanks to a field's width, in the file's code page.
std::string padded(const char* utf8, int width)
{
    std::string text = xbase::fromUtf8(utf8);
    text.resize(static_cast<std::size_t>(width), ' ');
    return text;
}

// Number of a right-aligned N field, as a plain C loop reads it.
int wholeNumber(const uint8_t* bytes, int length)
{
    int value = 0;
    bool negative = false;
    for (int i = 0; i < length; ++i) {
        if (bytes[i] >= '0' && bytes[i] <= '9')
            value = value * 10 + (bytes[i] - '0');
        else if (bytes[i] == '-')
            negative = true;
    }
    return negative ? -value : value;
}

// The five-term filter written out by hand, with the same whole-value rule for text.
struct RawFilter {
    std::string nome = padded("ANA", 20);
    std::string tipo = padded("Básico", 8);

    bool operator()(const uint8_t* record) const
    {
        if (record[0] == '*')
            return false;
        if (std::memcmp(record + kNome, nome.data(), 20) != 0)
            return false;
        if (std::memcmp(record + kTipo, tipo.data(), 8) != 0)
            return false;
        const int licao = wholeNumber(record + kLicao, 3);
        return licao >= 1 && licao <= 60;
    }
};

// ------------------------------------------------------------------ the report

struct Figure {
    const char* name;
    double engineSeconds;
    double rawSeconds;
    double units;          // posts, rows or seeks done by one run
    const char* unitName;  // "posts/s", ...
};

void printHeader()
{
    std::printf("%-34s %12s %12s %8s %16s\n", "figure", "ms", "limit ms", "x limit", "rate");
}

void printFigure(const Figure& f)
{
    std::printf("%-34s %12.2f %12.2f %8.2f %13.0f %s\n", f.name, f.engineSeconds * 1e3,
                f.rawSeconds * 1e3, f.engineSeconds / f.rawSeconds, f.units / f.engineSeconds,
                f.unitName);
}

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "xbase-bench: %s\n", what);
        std::exit(1);
    }
}

void printTarget(const char* what, bool met)
{
    std::printf("  target %-52s %s\n", what, met ? "met" : "NOT met");
}

// ------------------------------------------------------------------ append

// Appends every row through insert/post; returns the seconds taken.
double appendThroughEngine(const std::string& dir, const std::vector<Row>& rows)
{
    xbase::Table::create(dir, "RELAT.DBF", resultFields());
    xbase::Table table;
    table.open(dir, "RELAT.DBF");
    const double seconds = timeOnce([&] {
        for (const Row& row : rows) {
            table.insert();
            table.setString("NOME", row.nome());
            table.setString("TIPO", row.tipo());
            table.setInteger("LICAO", row.licao);
            table.setInteger("VELOCIDADE", row.velocidade);
            table.setInteger("PRECISAO", row.precisao);
            table.setString("RESULTADO", row.resultado());
            table.post();
        }
    });
    table.close();
    return seconds;
}

void formatRecord(const Row& row, const std::vector<std::string>& names,
                  const std::vector<std::string>& types, char* out)
{
    char numbers[16];
    out[0] = ' ';
    std::memcpy(out + kNome, names[static_cast<std::size_t>(row.student)].data(), 20);
    std::memcpy(out + kTipo, types[static_cast<std::size_t>(row.student % 4)].data(), 8);
    std::snprintf(numbers, sizeof numbers, "%3d%5d%3d", row.licao, row.velocidade, row.precisao);
    std::memcpy(out + kLicao, numbers, 11);
    std::memcpy(out + kResultado, row.aprovado ? "Aprovado " : "Reprovado", 9);
}

// The same table made in memory and written once: header of the empty table, records, count.
double appendByHand(const std::string& dir, const std::vector<Row>& rows,
                    const std::string& emptyTable)
{
    std::vector<std::string> names, types;
    for (const char* name : kStudents)
        names.push_back(padded(name, 20));
    for (const char* type : kTypes)
        types.push_back(padded(type, 8));
    const std::string path = dir + "/RAW.DBF";
    return timeOnce([&] {
        DbfBytes empty(emptyTable);
        std::string file = empty.bytes.substr(0, empty.headerLength);
        file.resize(file.size() + rows.size() * kRecordLength);
        char* out = file.data() + empty.headerLength;
        for (const Row& row : rows) {
            formatRecord(row, names, types, out);
            out += kRecordLength;
        }
        file += '\x1A';
        writeLe32(file, 4, static_cast<uint32_t>(rows.size()));
        replaceFileSynced(path, file);
    });
}

Figure measureAppend(const std::string& dir, const std::vector<Row>& rows)
{
    xbase::Table::create(dir, "EMPTY.DBF", resultFields());
    const std::string emptyTable = readFile(dir + "/EMPTY.DBF");
    const double engine = appendThroughEngine(dir, rows);
    const double raw = appendByHand(dir, rows, emptyTable);

    // Both ways must have made the same records.
    const DbfBytes a(readFile(dir + "/RELAT.DBF")), b(readFile(dir + "/RAW.DBF"));
    check(a.count == kRows && a.bytes.substr(a.headerLength) == b.bytes.substr(b.headerLength),
          "the engine and the plain loop wrote different records");
    return {"append (100,000 posts)", engine, raw, kRows, "posts/s"};
}

// ------------------------------------------------------------------ filter and scan

uint32_t countByHand(const DbfBytes& dbf)
{
    const RawFilter passes;
    uint32_t n = 0;
    for (uint32_t i = 0; i < dbf.count; ++i)
        n += passes(dbf.record(i)) ? 1 : 0;
    return n;
}

long sumByHand(const DbfBytes& dbf)
{
    const RawFilter passes;
    long sum = 0;
    for (uint32_t i = 0; i < dbf.count; ++i) {
        if (passes(dbf.record(i)))
            sum += wholeNumber(dbf.record(i) + kVelocidade, 5);
    }
    return sum;
}

long sumThroughEngine(xbase::Table& table)
{
    long sum = 0;
    table.first();
    while (!table.eof()) {
        sum += static_cast<long>(table.asInteger("VELOCIDADE"));
        table.next();
    }
    return sum;
}

#ifdef TARVEX_HAVE_XBASE64
// The same filtered scan through libxbase64's record and field calls.
long sumThroughXbase64(const std::string& path)
{
    xbXBase xbase;
    xbDbf dbf(&xbase);
    check(dbf.OpenDatabase(path.c_str()) == XB_NO_ERROR, "libxbase64 could not open the table");
    const xbShort nome = dbf.GetFieldNo("NOME"), tipo = dbf.GetFieldNo("TIPO");
    const xbShort licao = dbf.GetFieldNo("LICAO"), velocidade = dbf.GetFieldNo("VELOCIDADE");
    const RawFilter wanted;
    char buffer[64];
    long sum = 0;
    for (xbShort rc = dbf.GetFirstRecord(); rc == XB_NO_ERROR; rc = dbf.GetNextRecord()) {
        if (dbf.RecordDeleted())
            continue;
        dbf.GetField(nome, buffer);
        if (std::memcmp(buffer, wanted.nome.data(), 20) != 0)
            continue;
        dbf.GetField(tipo, buffer);
        if (std::memcmp(buffer, wanted.tipo.data(), 8) != 0)
            continue;
        const xbLong lesson = dbf.GetLongField(licao);
        if (lesson >= 1 && lesson <= 60)
            sum += dbf.GetLongField(velocidade);
    }
    dbf.CloseDatabase();
    return sum;
}
#endif

// Adds the filter and scan figures; returns the seconds of the scan through libxbase64
// (negative when it is not built in).
double measureFilterAndScan(const std::string& dir, std::vector<Figure>& figures)
{
    xbase::Table table;
    table.open(dir, "RELAT.DBF");
    const DbfBytes dbf(readFile(dir + "/RELAT.DBF"));

    uint32_t engineCount = 0, rawCount = 0;
    const double engine = bestOf([&] {
        table.setFilter(kFilter);
        engineCount = table.count();
    }, kQuickRepeats);
    const double raw = bestOf([&] { rawCount = countByHand(dbf); }, kQuickRepeats);
    check(engineCount == rawCount, "the filter counts disagree");
    std::printf("(filter passes %u of %d rows)\n", engineCount, kRows);
    figures.push_back({"five-term filter + count", engine, raw, kRows, "rows/s"});

    long engineSum = 0, rawSum = 0;
    const double scan = bestOf([&] { engineSum = sumThroughEngine(table); }, kQuickRepeats);
    const double rawScan = bestOf([&] { rawSum = sumByHand(dbf); }, kQuickRepeats);
    check(engineSum == rawSum, "the filtered sums disagree");
    figures.push_back({"filtered scan summing VELOCIDADE", scan, rawScan, kRows, "rows/s"});
    table.close();

#ifdef TARVEX_HAVE_XBASE64
    long librarySum = 0;
    const double library = bestOf([&] { librarySum = sumThroughXbase64(dir + "/RELAT.DBF"); });
    check(librarySum == rawSum, "libxbase64's filtered sum disagrees");
    figures.push_back({"filtered scan through libxbase64", library, rawScan, kRows, "rows/s"});
    return library;
#else
    return -1;
#endif
}

// ------------------------------------------------------------------ seeks

std::string studentKey(int i)
{
    char key[24];
    std::snprintf(key, sizeof key, "ALUNO %05d", i);
    return key;
}

std::vector<xbase::FieldDef> keyFields()
{
    using xbase::FieldType;
    return {{"NOME", FieldType::Character, 20, 0, 0}, {"LICAO", FieldType::Numeric, 3, 0, 0}};
}

// A table with keys distinct keys under the tag NOME, appended in shuffled order. The records
// go through a table without tags, the structural-index flag is set on a copy of that file,
// and one pack builds the tag.
void makeKeyTable(const std::string& dir, const std::string& name = "ALUNOS.DBF", int keys = kKeys)
{
    std::vector<int> order(static_cast<std::size_t>(keys));
    for (int i = 0; i < keys; ++i)
        order[static_cast<std::size_t>(i)] = i;
    Random random(7);
    for (int i = keys - 1; i > 0; --i)
        std::swap(order[static_cast<std::size_t>(i)],
                  order[random.below(static_cast<uint32_t>(i + 1))]);

    xbase::Table::create(dir, name, keyFields(), {{"NOME", "NOME"}});
    xbase::Table::create(dir, "PLAIN.DBF", keyFields());
    xbase::Table table;
    table.open(dir, "PLAIN.DBF");
    for (int i : order) {
        table.insert();
        table.setString("NOME", studentKey(i));
        table.setInteger("LICAO", 1 + i % 60);
        table.post();
    }
    table.close();

    std::string bytes = readFile(dir + "/PLAIN.DBF");
    bytes[28] = static_cast<char>(bytes[28] | 0x01);  // structural .cdx present
    replaceFileSynced(dir + "/" + name, bytes);
    table.open(dir, name);
    table.pack();
    table.close();
}

// Posts per second that each give a random record a new key, on a 100,000-key tag; the tag
// is then checked against the records.
double keyChangesPerSecond(const std::string& dir)
{
    makeKeyTable(dir, "BIG.DBF", kBigKeys);
    xbase::Table table;
    table.open(dir, "BIG.DBF");
    Random random(11);
    int posts = 0;
    const auto start = Clock::now();
    while (posts < kKeyChanges && secondsSince(start) < kKeyChangeSeconds) {
        table.goTo(1 + random.below(kBigKeys));
        table.edit();
        table.setString("NOME", "NOVO " + std::to_string(posts) + "-" + std::to_string(random.below(1000)));
        table.post();
        ++posts;
    }
    const double seconds = secondsSince(start);
    table.setIndexName("NOME");
    uint32_t inOrder = 0;
    std::string previous;
    for (table.first(); !table.eof(); table.next()) {
        const std::string key = table.asString("NOME");
        check(key >= previous, "the tag lists its keys out of order after the key changes");
        previous = key;
        ++inOrder;
    }
    check(inOrder == kBigKeys, "the tag lost or doubled records after the key changes");
    table.close();
    std::printf("(%d key-changing posts on the %d-key tag in %.2f s)\n", posts, kBigKeys, seconds);
    return posts / seconds;
}

// Posts per second into the tagged table, on a short run.
double taggedPostsPerSecond(const std::string& dir)
{
    constexpr int kPosts = 200;
    xbase::Table table;
    table.open(dir, "ALUNOS.DBF");
    const double seconds = timeOnce([&] {
        for (int i = 0; i < kPosts; ++i) {
            table.insert();
            table.setString("NOME", studentKey(kKeys + i));
            table.post();
        }
    });
    table.close();
    return kPosts / seconds;
}

using RawKey = std::array<char, 20>;

RawKey rawKey(const std::string& text)
{
    RawKey key;
    key.fill(' ');
    std::memcpy(key.data(), text.data(), std::min<std::size_t>(text.size(), key.size()));
    return key;
}

Figure measureSeeks(const std::string& dir)
{
    makeKeyTable(dir);

    std::vector<std::string> wanted(kSeeks);
    Random random(99);
    for (std::string& key : wanted)
        key = studentKey(static_cast<int>(random.below(kKeys)));

    xbase::Table table;
    table.open(dir, "ALUNOS.DBF");
    table.setIndexName("NOME");
    uint64_t engineSum = 0;
    const double engine = bestOf([&] {
        engineSum = 0;
        for (const std::string& key : wanted) {
            if (table.findKey(key))
                engineSum += table.recNo();
        }
    });
    table.close();

    // The limit: the keys read from the file's bytes, sorted once, then binary searches.
    const DbfBytes dbf(readFile(dir + "/ALUNOS.DBF"));
    std::vector<std::pair<RawKey, uint32_t>> keys;
    for (uint32_t i = 0; i < dbf.count; ++i) {
        RawKey key;
        std::memcpy(key.data(), dbf.record(i) + 1, key.size());
        keys.push_back({key, i + 1});
    }
    std::sort(keys.begin(), keys.end());
    uint64_t rawSum = 0;
    const double raw = bestOf([&] {
        rawSum = 0;
        for (const std::string& text : wanted) {
            const RawKey key = rawKey(text);
            const auto at = std::lower_bound(keys.begin(), keys.end(), std::make_pair(key, 0u));
            if (at != keys.end() && at->first == key)
                rawSum += at->second;
        }
    });
    check(engineSum == rawSum, "the seeks found different records");
    std::printf("(appending to the %d-key tagged table: %.0f posts/s)\n", kKeys,
                taggedPostsPerSecond(dir));
    return {"findKey on a 10,000-key tag", engine, raw, kSeeks, "seeks/s"};
}

// ------------------------------------------------------------------ pack

Figure measurePack(const std::string& dir, double& deleteSeconds)
{
    xbase::Table table;
    table.open(dir, "RELAT.DBF");
    deleteSeconds = timeOnce([&] {
        for (uint32_t recno = 10; recno <= kRows; recno += 10) {
            table.goTo(recno);
            table.deleteRecord();
        }
    });
    const DbfBytes before(readFile(dir + "/RELAT.DBF"));
    const double engine = timeOnce([&] { table.pack(); });
    const uint32_t live = table.physicalCount();
    table.close();

    // The limit: live records copied to a new file that replaces the old one.
    uint32_t rawLive = 0;
    const double raw = timeOnce([&] {
        std::string file = before.bytes.substr(0, before.headerLength);
        file.reserve(before.bytes.size());
        for (uint32_t i = 0; i < before.count; ++i) {
            const uint8_t* record = before.record(i);
            if (record[0] != '*') {
                file.append(reinterpret_cast<const char*>(record), before.recordLength);
                ++rawLive;
            }
        }
        file += '\x1A';
        writeLe32(file, 4, rawLive);
        replaceFileSynced(dir + "/RAWPACK.DBF", file);
    });
    check(live == rawLive && live == kRows - kRows / 10, "pack left a wrong number of records");
    return {"pack after deleting 10 %", engine, raw, kRows, "rows/s"};
}

// ------------------------------------------------------------------ end of a lesson

// The writes that end a lesson (a result row appended, the student's row and the record
// edited), with and without the fsync of each post: what durability costs the student.
void measureEndOfLesson(const std::string& dir)
{
    xbase::Table relat, aluno, recorde;
    relat.open(dir, "RELAT.DBF");
    xbase::Table::create(dir, "ALUNO1.DBF", resultFields());
    xbase::Table::create(dir, "RECORD1.DBF", resultFields());
    aluno.open(dir, "ALUNO1.DBF");
    recorde.open(dir, "RECORD1.DBF");
    for (xbase::Table* t : {&aluno, &recorde}) {
        t->insert();
        t->post();
    }
    constexpr int kLessons = 50;
    const auto lessons = [&] {
        for (int i = 0; i < kLessons; ++i) {
            relat.insert();
            relat.setString("NOME", "ALUNO");
            relat.post();
            for (xbase::Table* t : {&aluno, &recorde}) {
                t->edit();
                t->setInteger("LICAO", i % 100);
                t->post();
            }
        }
    };
    xbase::environment().syncOnPost = true;
    const double synced = timeOnce(lessons) / kLessons;
    xbase::environment().syncOnPost = false;
    const double unsynced = timeOnce(lessons) / kLessons;
    std::printf("(end of a lesson, 3 posts: %.2f ms with fsync, %.3f ms without)\n", synced * 1e3,
                unsynced * 1e3);
}

// ------------------------------------------------------------------ main

double peakMemoryMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// The folder given on the command line, kept; or a new one, removed at the end.
std::string makeWorkDir(int argc, char** argv, bool& made)
{
    made = argc <= 1;
    if (!made)
        return argv[1];
    char pattern[] = "/tmp/xbase-bench-XXXXXX";
    const char* dir = mkdtemp(pattern);
    check(dir != nullptr, "cannot make a work folder");
    return dir;
}

} // namespace

int main(int argc, char** argv)
{
    bool made = false;
    const std::string dir = makeWorkDir(argc, argv, made);
    // The figures are the engine's own work; what the fsync of each post adds is measured on
    // its own, at the end of a lesson.
    xbase::environment().syncOnPost = false;
    try {
        std::printf("xbase-bench: results table of %d rows (NOME C20, TIPO C8, LICAO N3, "
                    "VELOCIDADE N5, PRECISAO N3, RESULTADO C9) in %s\n", kRows, dir.c_str());
        std::printf("filter: %s\n", kFilter);
        const std::vector<Row> rows = makeRows();

        std::vector<Figure> figures;
        figures.push_back(measureAppend(dir, rows));
        const double library = measureFilterAndScan(dir, figures);
        figures.push_back(measureSeeks(dir));
        double deleteSeconds = 0;
        figures.push_back(measurePack(dir, deleteSeconds));
        measureEndOfLesson(dir);
        std::printf("(deleting 10 %% of the rows one by one took %.2f s)\n\n", deleteSeconds);

        printHeader();
        for (const Figure& f : figures)
            printFigure(f);
        const Figure& filter = figures[1];
        const Figure& scan = figures[2];
        const Figure& seeks = figures[figures.size() - 2];
        const double memory = peakMemoryMb();
        const double keyChanges = keyChangesPerSecond(dir);  // after the memory figure: a table of its own
        std::printf("\npeak memory (ru_maxrss): %.1f MB\n", memory);
        if (library > 0)
            std::printf("filtered scan, engine / libxbase64: %.4f\n", scan.engineSeconds / library);
        else
            std::printf("libxbase64 not built in: no comparison with it\n");
        printTarget("filter + count within 3x of the limit",
                    filter.engineSeconds / filter.rawSeconds <= kFilterTarget);
        if (library > 0)
            printTarget("filtered scan ahead of libxbase64", scan.engineSeconds < library);
        printTarget("at least 200,000 seeks per second",
                    seeks.units / seeks.engineSeconds >= kSeeksTarget);
        printTarget("peak memory under 50 MB", memory < kMemoryTargetMb);
        std::printf("key-changing posts on a 100,000-key tag: %.0f posts/s\n", keyChanges);
        printTarget("at least 20,000 key-changing posts per second", keyChanges >= kKeyChangesTarget);
    } catch (const xbase::Error& e) {
        std::fprintf(stderr, "xbase-bench: %s\n", e.what());
        return 1;
    }
    if (made)
        std::filesystem::remove_all(dir);
    return 0;
}
