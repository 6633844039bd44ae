// Memo files (block reuse and growth) and damaged files: every damage must be an
// xbase::Error, never a crash.
#include "XbaseTestUtil.h"
#include "xbase/Error.h"
#include "xbase/Memo.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace testutil;
using xbase::FieldType;
using xbase::MemoFile;
using xbase::Table;

namespace {

void putLe16(QByteArray& b, int at, int v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

void putLe32(QByteArray& b, int at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

// A sound FoxPro table made by hand: one field NOME C(4) and the given records.
QByteArray handMadeTable(const QList<QByteArray>& names)
{
    QByteArray b(32 + 32 + 1, '\0');
    b[0] = char(0x03);
    putLe32(b, 4, uint32_t(names.size()));
    putLe16(b, 8, 65);
    putLe16(b, 10, 5);
    b[29] = char(0x03);
    b.replace(32, 4, "NOME");
    b[32 + 11] = 'C';
    putLe32(b, 32 + 12, 1);
    b[32 + 16] = char(4);
    b[64] = char(0x0D);
    for (const QByteArray& name : names)
        b += ' ' + name.leftJustified(4, ' ', true);
    b += char(0x1A);
    return b;
}

} // namespace

Q_DECLARE_METATYPE(xbase::ErrorKind)

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void memoBlocksReusedOrAppended();
    void memoBlockSizeFromHeader();
    void memoGrowthThroughTable();

    void handMadeTableOpens();
    void damagedTable_data();
    void damagedTable();
    void damagedMemoPointer_data();
    void damagedMemoPointer();
    void damagedMemoFile_data();
    void damagedMemoFile();

private:
    // A table with a memo field and one memo, "abc", at block 8; returns the record offset.
    int makeMemoTable();
    std::unique_ptr<QTemporaryDir> dir_;
    QString d() const { return dir_->path(); }
};

void TestFiles::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TestFiles::cleanup()
{
    dir_.reset();
}

// ------------------------------------------------------------------ memo growth

void TestFiles::memoBlocksReusedOrAppended()
{
    const std::string file = path(d(), "m.fpt");
    MemoFile::create(file);
    MemoFile memo;
    memo.open(file, false);
    QCOMPARE(memo.blockSize(), 64u);
    QCOMPARE(memo.nextFree(), 8u);

    QCOMPARE(memo.write(0, "abc"), 8u);
    QCOMPARE(memo.write(0, "def"), 9u);
    QCOMPARE(memo.write(8, "abc"), 8u);   // the same text keeps its block
    const std::string fits(56, 'x');       // 8 + 56 = one whole block
    QCOMPARE(memo.write(8, fits), 10u);   // a changed text never overwrites the old one
    const std::string grown(57, 'y');
    QCOMPARE(memo.write(10, grown), 11u);  // needs two blocks
    QCOMPARE(memo.nextFree(), 13u);
    QCOMPARE(memo.write(11, ""), 0u);      // empty text: no block

    QCOMPARE(memo.read(9), std::string("def"));
    QCOMPARE(memo.read(11), grown);
    QCOMPARE(memo.read(0), std::string());
    memo.close();

    const QByteArray bytes = readFile(file);
    QCOMPARE(bytes.size(), 13 * 64);
    QCOMPARE(bytes.mid(0, 4), QByteArray("\0\0\0\x0D", 4));  // next free block on disk
    MemoFile again;
    again.open(file, true);
    QCOMPARE(again.nextFree(), 13u);
    QCOMPARE(again.read(8), std::string("abc"));  // abandoned but intact
    QCOMPARE(again.read(10), fits);
}

void TestFiles::memoBlockSizeFromHeader()
{
    const std::string file = path(d(), "big.fpt");
    MemoFile::create(file, 512);
    MemoFile memo;
    memo.open(file, false);
    QCOMPARE(memo.blockSize(), 512u);
    QCOMPARE(memo.write(0, "um"), 1u);
    QCOMPARE(memo.write(0, std::string(600, 'a')), 2u);
    QCOMPARE(memo.nextFree(), 4u);
    QCOMPARE(memo.read(2), std::string(600, 'a'));
}

void TestFiles::memoGrowthThroughTable()
{
    Table::create(d().toStdString(), "Licao.dbf", lessonFields(true));
    Table t;
    t.open(d().toStdString(), "Licao.dbf");
    for (const char* text : {"primeiro", "segundo", "terceiro"}) {
        t.insert();
        t.setString("TEXTO", text);
        t.post();
    }
    const std::string longer(200, 'L');
    t.goTo(2);
    t.edit();
    t.setString("TEXTO", longer);
    t.post();
    const QByteArray afterGrowth = readFile(path(d(), "Licao.dbf"));
    t.edit();
    t.setString("TEXTO", longer);
    t.post();
    QCOMPARE(readFile(path(d(), "Licao.dbf")), afterGrowth);  // the same text stays where it is
    t.edit();
    t.setString("TEXTO", "curto");
    t.post();

    Table again;
    again.open(d().toStdString(), "Licao.dbf");
    const char* expected[] = {"primeiro", "curto", "terceiro"};
    for (uint r = 1; r <= 3; ++r) {
        again.goTo(r);
        QCOMPARE(again.asString("TEXTO"), std::string(expected[r - 1]));
    }
    QCOMPARE(afterGrowth.mid(afterGrowth.size() - 1 - 44 * 2 + 34, 10), QByteArray("        11"));
    const QByteArray now = readFile(path(d(), "Licao.dbf"));
    QCOMPARE(now.mid(now.size() - 1 - 44 * 2 + 34, 10), QByteArray("        15"));
}

// ------------------------------------------------------------------ damaged tables

void TestFiles::handMadeTableOpens()
{
    writeFile(path(d(), "mao.dbf"), handMadeTable({"ANA", "BIA"}));
    Table t;
    t.open(d().toStdString(), "mao");
    QCOMPARE(t.physicalCount(), 2u);
    t.last();
    QCOMPARE(t.asString("nome"), std::string("BIA"));

    QByteArray noEndMark = handMadeTable({"ANA"});
    noEndMark.chop(1);
    writeFile(path(d(), "sem.dbf"), noEndMark);
    t.open(d().toStdString(), "sem.dbf");
    QCOMPARE(t.count(), 1u);
}

void TestFiles::damagedTable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<xbase::ErrorKind>("kind");
    const auto damaged = xbase::ErrorKind::Damaged;
    const QByteArray good = handMadeTable({"ANA", "BIA"});
    QByteArray b;

    QTest::newRow("empty file") << QByteArray() << damaged;
    QTest::newRow("shorter than the header") << good.left(20) << damaged;
    QTest::newRow("cut in the field list") << good.left(50) << damaged;
    QTest::newRow("cut inside the last but one record") << good.left(good.size() - 8) << damaged;
    b = good; putLe32(b, 4, 5);
    QTest::newRow("count above the records") << b << damaged;
    b = good; putLe32(b, 4, 0x7FFFFFFF);
    QTest::newRow("huge count") << b << damaged;
    b = good; putLe16(b, 10, 9);
    QTest::newRow("record length not the fields' sum") << b << damaged;
    b = good; putLe16(b, 8, 4000);
    QTest::newRow("header length past the end") << b << damaged;
    b = good; putLe16(b, 8, 66);
    QTest::newRow("header length off by one") << b << damaged;
    b = good; putLe16(b, 8, 0);
    QTest::newRow("header length zero") << b << damaged;
    b = good; b[64] = 0x0A;
    QTest::newRow("no header terminator") << b << damaged;
    b = good; b[32 + 11] = 'X';
    QTest::newRow("unknown field type") << b << damaged;
    b = good; b[32 + 16] = 0; putLe16(b, 10, 1);
    QTest::newRow("field of length zero") << b << damaged;
    b = good; b[0] = char(0x30);
    QTest::newRow("visual foxpro flavour") << b << damaged;
    b = good; b[32 + 11] = 'M';
    QTest::newRow("memo field in a table without memo") << b << damaged;
    b = good; b[0] = char(0xF5); b[32 + 11] = 'M'; b[32 + 16] = 10; putLe16(b, 10, 11);
    QTest::newRow("memo file missing") << b << xbase::ErrorKind::Missing;
    b = good; b[28] = 0x01;
    QTest::newRow("index file missing") << b << xbase::ErrorKind::Missing;
}

void TestFiles::damagedTable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(xbase::ErrorKind, kind);
    writeFile(path(d(), "ruim.dbf"), bytes);
    Table t;
    try {
        t.open(d().toStdString(), "ruim.dbf");
        QFAIL("a damaged table opened");
    } catch (const xbase::Error& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains("ruim"), e.what());  // the file is named
        QCOMPARE(e.kind(), kind);
    }
    QVERIFY(!t.isOpen());
}

int TestFiles::makeMemoTable()
{
    Table::create(d().toStdString(), "memo.dbf", {field("TEXTO", FieldType::Memo, 10)});
    Table t;
    t.open(d().toStdString(), "memo.dbf");
    t.insert();
    t.setString("TEXTO", "abc");
    t.post();
    return 32 + 32 + 1;
}

void TestFiles::damagedMemoPointer_data()
{
    QTest::addColumn<QByteArray>("pointer");
    QTest::newRow("past the end") << QByteArray("      9999");
    QTest::newRow("just past the end") << QByteArray("         9");
    QTest::newRow("into the header") << QByteArray("         1");
    QTest::newRow("not a number") << QByteArray("    abc   ");
    QTest::newRow("beyond 32 bits") << QByteArray("9999999999");
}

void TestFiles::damagedMemoPointer()
{
    QFETCH(QByteArray, pointer);
    const int record = makeMemoTable();
    QByteArray dbf = readFile(path(d(), "memo.dbf"));
    dbf.replace(record + 1, 10, pointer);
    writeFile(path(d(), "memo.dbf"), dbf);

    Table t;
    t.open(d().toStdString(), "memo.dbf");
    QVERIFY_THROWS_EXCEPTION(xbase::Error, t.asString("TEXTO"));
}

void TestFiles::damagedMemoFile_data()
{
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<int>("size");  // file size afterwards; -1 unchanged
    QTest::addColumn<bool>("failsOnOpen");
    QTest::newRow("block size zero") << 6 << QByteArray("\0\0", 2) << -1 << true;
    QTest::newRow("shorter than its header") << 0 << QByteArray() << 300 << true;
    QTest::newRow("length past the end") << 512 + 4 << QByteArray("\x7F\xFF\xFF\xFF") << -1 << false;
    QTest::newRow("memo cut short") << 0 << QByteArray() << 512 + 9 << false;
    QTest::newRow("block header cut") << 0 << QByteArray() << 512 + 4 << false;
}

void TestFiles::damagedMemoFile()
{
    QFETCH(int, at);
    QFETCH(QByteArray, patch);
    QFETCH(int, size);
    QFETCH(bool, failsOnOpen);
    makeMemoTable();
    QByteArray fpt = readFile(path(d(), "memo.fpt"));
    fpt.replace(at, patch.size(), patch);
    if (size >= 0)
        fpt.truncate(size);
    writeFile(path(d(), "memo.fpt"), fpt);

    Table t;
    if (failsOnOpen) {
        QVERIFY_THROWS_EXCEPTION(xbase::Error, t.open(d().toStdString(), "memo.dbf"));
        MemoFile memo;
        QVERIFY_THROWS_EXCEPTION(xbase::Error, memo.open(path(d(), "memo.fpt"), true));
        return;
    }
    t.open(d().toStdString(), "memo.dbf");
    QVERIFY_THROWS_EXCEPTION(xbase::Error, t.asString("TEXTO"));
    // A new text for a damaged memo goes to new blocks instead of trusting the old length.
    t.edit();
    t.setString("TEXTO", "novo");
    QVERIFY(t.post());
    QCOMPARE(t.asString("TEXTO"), std::string("novo"));
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
