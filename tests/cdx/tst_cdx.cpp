// The .cdx reader and writer: exact bytes of a small leaf, round trips of large trees, and
// damaged files that must end in xbase::Error.
#include "xbase/Cdx.h"
#include "xbase/Error.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

using namespace xbase;
using cdx::Entry;
using cdx::KeyType;
using cdx::Tag;

namespace {

std::string loadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void saveFile(const std::string& path, const std::string& data)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

uint32_t le16(const std::string& d, size_t at) { return uint8_t(d[at]) | (uint8_t(d[at + 1]) << 8); }
uint32_t le32(const std::string& d, size_t at) { return le16(d, at) | (le16(d, at + 2) << 16); }
uint32_t be32(const std::string& d, size_t at)
{
    return (uint32_t(uint8_t(d[at])) << 24) | (uint8_t(d[at + 1]) << 16) | (uint8_t(d[at + 2]) << 8)
           | uint8_t(d[at + 3]);
}
void putLe16(std::string& d, size_t at, uint32_t v)
{
    d[at] = char(v);
    d[at + 1] = char(v >> 8);
}
void putLe32(std::string& d, size_t at, uint32_t v)
{
    putLe16(d, at, v);
    putLe16(d, at + 2, v >> 16);
}
void putBe32(std::string& d, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        d[at + i] = char(v >> (24 - 8 * i));
}

Tag makeTag(const std::string& name, int keyLength, KeyType type = KeyType::Character)
{
    Tag tag;
    tag.name = name;
    tag.expression = name;
    tag.keyLength = keyLength;
    tag.keyType = type;
    return tag;
}

std::vector<Entry> sorted(std::vector<Entry> entries)
{
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.key != b.key ? a.key < b.key : a.recno < b.recno;
    });
    return entries;
}

std::string numericKey(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    bits = value < 0 ? ~bits : bits ^ (uint64_t(1) << 63);
    std::string key(8, '\0');
    for (int i = 0; i < 8; ++i)
        key[i] = char(bits >> (56 - 8 * i));
    return key;
}

// Tag NOME on a C(10) key: 6000 distinct keys, three levels (root, two interior nodes, leaves).
constexpr uint32_t kTagRoot = 2560;  // directory 0..1535, tag header 1536, root right after it
constexpr int kKeyLength = 10;

Tag threeLevelTag()
{
    Tag tag = makeTag("NOME", kKeyLength);
    for (uint32_t r = 1; r <= 6000; ++r) {
        char key[16];
        std::snprintf(key, sizeof key, "K%05u", (r * 7919u) % 6000u);
        tag.entries.push_back({key, r});
    }
    return tag;
}

uint32_t firstChild(const std::string& file, uint32_t node) { return be32(file, node + 12 + kKeyLength + 4); }

bool messageNames(const Error& e, const std::string& path)
{
    return std::string(e.what()).find(path) != std::string::npos;
}

} // namespace

using Patch = std::function<void(std::string&)>;
Q_DECLARE_METATYPE(Patch)

class TestCdx : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::string path(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }

private slots:
    void workedLeafIsExact()
    {
        Tag tag = makeTag("ANIMAL", 10);
        tag.entries = {{"DOG", 1}, {"DOGMA", 2}, {"CAT", 3}};
        const std::string file = path("animal.cdx");
        cdx::write(file, {tag});
        const std::string d = loadFile(file);

        QCOMPARE(d.size(), size_t(3072));  // directory header + leaf, tag header + leaf
        // Directory header: root 1024, key length 10, options 0xE0, two empty expressions.
        QCOMPARE(le32(d, 0), 1024u);
        QCOMPARE(le16(d, 12), 10u);
        QCOMPARE(uint8_t(d[14]), uint8_t(0xE0));
        QCOMPARE(uint8_t(d[15]), uint8_t(1));
        QCOMPARE(le16(d, 504), 1u);
        QCOMPARE(le16(d, 506), 1u);
        QCOMPARE(le16(d, 508), 0u);
        QCOMPARE(le16(d, 510), 1u);
        // Tag header at 1536: root right after it, expression pool "ANIMAL\0\0".
        QCOMPARE(le32(d, 1536), kTagRoot);
        QCOMPARE(uint8_t(d[1536 + 14]), uint8_t(0x60));
        QCOMPARE(le16(d, 1536 + 504), 7u);
        QCOMPARE(le16(d, 1536 + 510), 7u);
        QCOMPARE(d.substr(1536 + 512, 8), std::string("ANIMAL\0\0", 8));

        std::string leaf(512, '\0');
        const unsigned char head[] = {0x03, 0x00, 0x03, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                      0xFF, 0xFF, 0xD7, 0x01, 0xFF, 0xFF, 0x00, 0x00, 0x0F, 0x0F,
                                      0x10, 0x04, 0x04, 0x03, 0x03, 0x00, 0x70, 0x01, 0x00, 0x70,
                                      0x02, 0x00, 0x53};
        std::memcpy(leaf.data(), head, sizeof head);
        std::memcpy(leaf.data() + 0x1F8, "MADOGCAT", 8);
        QCOMPARE(d.substr(kTagRoot, 512), leaf);

        // The directory leaf holds the one name with its header offset 1536.
        const auto tags = cdx::read(file);
        QCOMPARE(tags.size(), size_t(1));
        QCOMPARE(tags[0].expression, std::string("ANIMAL"));
        QCOMPARE(tags[0].entries[0].key, std::string("CAT       "));
        QCOMPARE(cdx::tagNames(file), std::vector<std::string>{"ANIMAL"});
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<int>("distinct");  // number of distinct key values
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<uint32_t>("recnoBase");
        QTest::newRow("empty tag") << 0 << 10 << 1 << false << 1u;
        QTest::newRow("one key") << 1 << 10 << 1 << false << 1u;
        QTest::newRow("thousands, C(13)") << 5000 << 13 << 5000 << false << 1u;
        QTest::newRow("letter-like C(2)") << 2000 << 2 << 150 << false << 1u;
        QTest::newRow("duplicates across leaves") << 3000 << 10 << 3 << false << 1u;
        QTest::newRow("one-byte key") << 1000 << 1 << 40 << false << 1u;
        QTest::newRow("240-byte key") << 300 << 240 << 300 << false << 1u;
        QTest::newRow("numeric") << 4000 << 8 << 1500 << true << 1u;
        QTest::newRow("record numbers past 65535") << 3000 << 10 << 3000 << false << 70000u;
    }

    void roundTrip()
    {
        QFETCH(int, count);
        QFETCH(int, keyLength);
        QFETCH(int, distinct);
        QFETCH(bool, numeric);
        QFETCH(uint32_t, recnoBase);

        Tag tag = makeTag("DADOS", keyLength, numeric ? KeyType::Numeric : KeyType::Character);
        std::mt19937 random(42);
        for (int i = 0; i < count; ++i) {
            const int value = int(random() % uint32_t(distinct));
            std::string key;
            if (numeric) {
                key = numericKey((value - distinct / 2) * 1.5);
            } else if (value > 0) {  // value 0 is the all-blank key
                key = std::string(size_t(keyLength) - 1, char('A' + value % 26)) + char('!' + value / 26);
                key.resize(size_t(1 + value % keyLength));  // varied trailing padding
            }
            tag.entries.push_back({key, recnoBase + uint32_t(count - i)});
        }
        // A second tag in the same file must not disturb the first.
        Tag other = makeTag("OUTRA", 4);
        other.entries = {{"ZZZZ", 1}, {"AAAA", 2}};

        const std::string file = path("roundtrip.cdx");
        cdx::write(file, {other, tag});
        QCOMPARE(loadFile(file).size() % 512, size_t(0));

        std::vector<Entry> expected = tag.entries;
        for (Entry& e : expected)
            e.key.resize(size_t(keyLength), numeric ? '\0' : ' ');
        expected = sorted(expected);

        const auto keyType = [](const std::string& expr) {
            return expr == "DADOS" ? KeyType::Numeric : KeyType::Character;
        };
        const auto tags = cdx::read(file, numeric ? cdx::KeyTypeOf(keyType) : cdx::KeyTypeOf());
        QCOMPARE(tags.size(), size_t(2));
        QCOMPARE(tags[0].name, std::string("DADOS"));  // directory order is alphabetical
        QCOMPARE(tags[0].keyLength, keyLength);
        QCOMPARE(tags[1].entries.size(), size_t(2));
        const std::vector<Entry>& got = tags[0].entries;
        QCOMPARE(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            if (got[i].key != expected[i].key || got[i].recno != expected[i].recno)
                QFAIL(qPrintable(QString("entrada %1 difere").arg(i)));
        }
    }

    void uniqueKeepsLowestRecord()
    {
        Tag tag = makeTag("U", 3);
        tag.options = 0x01;
        tag.entries = {{"B", 9}, {"A", 5}, {"B", 2}, {"A", 7}};
        const std::string file = path("unique.cdx");
        cdx::write(file, {tag});
        const auto got = cdx::read(file)[0];
        QCOMPARE(got.options, uint8_t(0x61));
        QCOMPARE(got.entries.size(), size_t(2));
        QCOMPARE(got.entries[0].recno, 5u);
        QCOMPARE(got.entries[1].recno, 2u);
    }

    void rejectsBadTags_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("keyLength");
        QTest::newRow("lower case") << "tipo" << 10;
        QTest::newRow("too long") << "NOMECOMPRIDO" << 10;
        QTest::newRow("key length 0") << "TIPO" << 0;
        QTest::newRow("key length 241") << "TIPO" << 241;
    }

    void rejectsBadTags()
    {
        QFETCH(QString, name);
        QFETCH(int, keyLength);
        QVERIFY_THROWS_EXCEPTION(Error, cdx::write(path("bad.cdx"), {makeTag(name.toStdString(), keyLength)}));
    }

    void damagedFilesThrow_data()
    {
        QTest::addColumn<Patch>("patch");
        const auto level1 = [](const std::string& d) { return firstChild(d, kTagRoot); };
        const auto leaf = [=](const std::string& d) { return firstChild(d, level1(d)); };

        QTest::newRow("leaf key count past 512 bytes")
            << Patch([=](std::string& d) { putLe16(d, leaf(d) + 2, 200); });
        QTest::newRow("leaf key bytes past the node")
            << Patch([=](std::string& d) { putLe16(d, leaf(d) + 2, 150); });
        QTest::newRow("interior key count past 512 bytes")
            << Patch([](std::string& d) { putLe16(d, kTagRoot + 2, 40); });
        QTest::newRow("sibling loop")
            << Patch([=](std::string& d) { putLe32(d, leaf(d) + 8, leaf(d)); });
        QTest::newRow("child loop")
            << Patch([=](std::string& d) { putBe32(d, level1(d) + 12 + 18 + 14, level1(d)); });
        QTest::newRow("child pointing back to the root")
            << Patch([](std::string& d) { putBe32(d, kTagRoot + 26, kTagRoot); });
        QTest::newRow("page past end of file")
            << Patch([](std::string& d) { putBe32(d, kTagRoot + 26, uint32_t(d.size())); });
        QTest::newRow("unaligned page")
            << Patch([=](std::string& d) { putBe32(d, kTagRoot + 26, level1(d) + 1); });
        QTest::newRow("unaligned root") << Patch([](std::string& d) { putLe32(d, 1536, kTagRoot + 100); });
        QTest::newRow("tag header past end of file")
            << Patch([](std::string& d) { d.resize(2048); });
        QTest::newRow("truncated last page") << Patch([](std::string& d) { d.resize(d.size() - 100); });
        QTest::newRow("zero entry bytes") << Patch([=](std::string& d) { d[leaf(d) + 23] = 0; });
        QTest::newRow("mask disagrees with bits") << Patch([=](std::string& d) { d[leaf(d) + 18] = 0x07; });
        QTest::newRow("wrong free space")
            << Patch([=](std::string& d) { putLe16(d, leaf(d) + 12, le16(d, leaf(d) + 12) + 1); });
        QTest::newRow("interior key not last of child")
            << Patch([](std::string& d) { d[kTagRoot + 12] = 'A'; });
        QTest::newRow("expression past the pool") << Patch([](std::string& d) { putLe16(d, 1536 + 510, 600); });
        QTest::newRow("directory root on its own header") << Patch([](std::string& d) { putLe32(d, 0, 0); });
    }

    void damagedFilesThrow()
    {
        QFETCH(Patch, patch);
        const std::string file = path("damaged.cdx");
        cdx::write(file, {threeLevelTag()});
        std::string d = loadFile(file);
        QCOMPARE(uint8_t(d[kTagRoot]), uint8_t(1));  // the fixture really has interior levels
        QCOMPARE(uint8_t(d[firstChild(d, kTagRoot)]), uint8_t(0));
        patch(d);
        saveFile(file, d);
        try {
            cdx::read(file);
            QFAIL("o arquivo danificado foi aceito");
        } catch (const Error& e) {
            QVERIFY2(messageNames(e, file), e.what());
        }
    }

    // Random damage must end in a clean read or an Error, never a crash or a hang.
    void randomDamageNeverCrashes()
    {
        const std::string file = path("random.cdx");
        cdx::write(file, {threeLevelTag(), makeTag("VAZIA", 8, KeyType::Numeric)});
        const std::string original = loadFile(file);
        std::mt19937 random(7);
        for (int round = 0; round < 1500; ++round) {
            std::string d = original;
            for (int flips = 1 + int(random() % 4); flips > 0; --flips)
                d[random() % d.size()] = char(random());
            saveFile(file, d);
            try {
                cdx::read(file);
            } catch (const Error&) {
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCdx)
#include "tst_cdx.moc"
