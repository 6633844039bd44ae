// What a crash, a full disk or a stale index leaves behind: the table still opens with every
// posted record, a failed write leaves the files as they were, a pack cut short is finished
// or undone, and a tag that disagrees with the records is rebuilt.
#include "XbaseTestUtil.h"
#include "LimiteDeArquivo.h"
#include "xbase/Cdx.h"
#include "xbase/Error.h"
#include "xbase/Repair.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace testutil;
using xbase::Table;

namespace {


QStringList names(Table& t)
{
    QStringList list;
    for (t.first(); !t.eof(); t.next())
        list << QString::fromStdString(t.asString("NOME"));
    return list;
}

} // namespace

class TestDurability : public QObject {
    Q_OBJECT

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void bytesPastTheCountAreIgnored_data();
    void bytesPastTheCountAreIgnored();
    void failedWriteIsRolledBack_data();
    void failedWriteIsRolledBack();
    void packCutShortIsFinishedOrUndone_data();
    void packCutShortIsFinishedOrUndone();
    void wrongTagIsRebuiltAtOpen();
    void hostileSizesAreErrors();
    void repairKeepsEveryWholeRecord_data();
    void repairKeepsEveryWholeRecord();

private:
    std::string d() const { return dir_->path().toStdString(); }
    QByteArray bytesOf(const char* name) const { return readFile(path(dir_->path(), name)); }
    void makeLessons(bool withMemo, bool withTag);
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestDurability::makeLessons(bool withMemo, bool withTag)
{
    std::vector<xbase::TagDef> tags;
    if (withTag)
        tags.push_back({"TIPO", "TIPO+STR(LICAO,3)"});
    Table::create(d(), "Licao.dbf", lessonFields(withMemo), tags);
    Table t;
    t.open(d(), "Licao.dbf");
    for (const Row& r : {Row {"ANA", "Textos", 2}, Row {"BIA", "Básico", 1}, Row {"CAIO", "Básico", 3}})
        append(t, r);
}

// An append cut between the record and the count, or a short write, leaves bytes past the
// counted records.
void TestDurability::bytesPastTheCountAreIgnored_data()
{
    QTest::addColumn<int>("extra");
    QTest::newRow("whole uncounted record") << 34;
    QTest::newRow("part of a record") << 9;
    QTest::newRow("a block of zeros") << 4096;
}

void TestDurability::bytesPastTheCountAreIgnored()
{
    QFETCH(int, extra);
    makeLessons(false, false);
    QByteArray bytes = bytesOf("Licao.dbf");
    bytes.chop(1);
    bytes += QByteArray(extra, '\0');
    writeFile(path(dir_->path(), "Licao.dbf"), bytes);

    Table t;
    t.open(d(), "Licao.dbf");
    QCOMPARE(names(t), QStringList({"ANA", "BIA", "CAIO"}));
    append(t, {"DANI", "Textos", 4});
    t.close();
    t.open(d(), "Licao.dbf");
    QCOMPARE(names(t), QStringList({"ANA", "BIA", "CAIO", "DANI"}));
    QCOMPARE(le32(bytesOf("Licao.dbf"), 4), 4u);
}

void TestDurability::failedWriteIsRolledBack_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<bool>("withTag");
    QTest::addColumn<int>("memoLength");  // 0: no memo field
    QTest::newRow("append, record cut") << true << false << 0;
    QTest::newRow("append, memo cut") << true << false << 3000;
    QTest::newRow("append, tag file cut") << true << true << 0;
    QTest::newRow("edit, memo cut") << false << false << 3000;
    QTest::newRow("edit, tag file cut") << false << true << 0;
}

void TestDurability::failedWriteIsRolledBack()
{
    QFETCH(bool, append);
    QFETCH(bool, withTag);
    QFETCH(int, memoLength);
    makeLessons(memoLength > 0, withTag);
    const QByteArray dbf = bytesOf("Licao.dbf"), fpt = bytesOf("Licao.fpt"), cdx = bytesOf("Licao.cdx");
    const qint64 largest = std::max({dbf.size(), fpt.size(), cdx.size()});

    Table t;
    t.open(d(), "Licao.dbf");
    t.setIndexName(withTag ? "TIPO" : "");
    t.last();
    const uint32_t before = t.recNo();
    if (append)
        t.insert();
    else
        t.edit();
    t.setString("NOME", "ZECA");
    t.setString("TIPO", "Avançado");
    if (memoLength > 0)
        t.setString("TEXTO", std::string(std::size_t(memoLength), 'm'));
    {
        // Room for a record, none for the memo, and a tag file cannot be rewritten whole.
        LimiteDeArquivo limit(rlim_t(withTag ? cdx.size() - 1 : largest + 20));
        try {
            t.post();
            QFAIL("the write went past the file-size limit");
        } catch (const xbase::Error& e) {
            const QString message = QString::fromUtf8(e.what());
            QVERIFY2(message.contains("Licao"), e.what());
            if (!withTag)
                QVERIFY2(message.contains("arquivo grande demais"), e.what());
        }
    }
    QCOMPARE(bytesOf("Licao.dbf"), dbf);
    QCOMPARE(bytesOf("Licao.fpt"), fpt);
    QCOMPARE(bytesOf("Licao.cdx"), cdx);
    QVERIFY(t.state() == (append ? Table::State::Insert : Table::State::Edit));  // still pending
    t.cancel();
    QCOMPARE(t.recNo(), before);
    QCOMPARE(names(t), withTag ? QStringList({"BIA", "CAIO", "ANA"}) : QStringList({"ANA", "BIA", "CAIO"}));

    t.last();  // with the limit gone the same post goes through
    t.edit();
    t.setString("NOME", "ZECA");
    QVERIFY(t.post());
    Table again;
    again.open(d(), "Licao.dbf");
    QCOMPARE(again.physicalCount(), 3u);
}

// The stages a pack of a table with memos goes through, as a crash can leave them.
void TestDurability::packCutShortIsFinishedOrUndone_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<bool>("packed");
    QTest::newRow("new memo file written") << "fpt.tmp" << false;
    QTest::newRow("both new files written") << "fpt.tmp dbf.tmp cdx.tmp" << false;
    QTest::newRow("new table committed") << "fpt.tmp dbf.pack" << true;
    QTest::newRow("new memo file in place") << "fpt dbf.pack" << true;
}

void TestDurability::packCutShortIsFinishedOrUndone()
{
    QFETCH(QString, stage);
    QFETCH(bool, packed);
    makeLessons(true, true);
    const QString dir = dir_->path();
    {
        Table t;
        t.open(d(), "Licao.dbf");
        for (uint32_t r = 1; r <= 3; ++r) {
            t.goTo(r);
            t.edit();
            t.setString("TEXTO", "texto " + std::to_string(r));
            t.post();
        }
        t.goTo(1);
        t.deleteRecord();
    }
    // The files after a whole pack, kept aside; then the old files back, with what the stage
    // had written.
    QDir().mkpath(dir + "/antes");
    for (const char* ext : {"dbf", "fpt", "cdx"})
        QFile::copy(dir + "/Licao." + ext, dir + "/antes/Licao." + ext);
    {
        Table t;
        t.open(d(), "Licao.dbf");
        t.pack();
    }
    const QByteArray newDbf = bytesOf("Licao.dbf"), newFpt = bytesOf("Licao.fpt");
    for (const char* ext : {"dbf", "fpt", "cdx"}) {
        QFile::remove(dir + "/Licao." + ext);
        QFile::copy(dir + "/antes/Licao." + ext, dir + "/Licao." + ext);
    }
    for (const QString& file : stage.split(' ')) {
        const QByteArray content = file.startsWith("dbf") ? newDbf : file.startsWith("fpt") ? newFpt : "lixo";
        writeFile((dir + "/Licao." + file).toStdString(), content);
    }

    Table t;
    t.open(d(), "Licao.dbf");
    t.setIndexName("TIPO");
    QCOMPARE(t.physicalCount(), packed ? 2u : 3u);
    QStringList texts;
    for (t.first(); !t.eof(); t.next())
        texts << QString::fromStdString(t.asString("NOME") + ":" + t.asString("TEXTO"));
    QCOMPARE(texts, QStringList({"BIA:texto 2", "CAIO:texto 3"}));
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList({"Licao.cdx", "Licao.dbf", "Licao.fpt"}));
}

void TestDurability::wrongTagIsRebuiltAtOpen()
{
    makeLessons(false, true);
    const std::string cdxPath = path(dir_->path(), "Licao.cdx");
    std::vector<xbase::cdx::Tag> tags = xbase::cdx::read(cdxPath);
    QCOMPARE(tags.size(), std::size_t(1));
    tags[0].entries[1].recno = tags[0].entries[0].recno;  // one lesson twice, another gone
    xbase::cdx::write(cdxPath, tags);

    Table t;
    t.open(d(), "Licao.dbf");
    t.setIndexName("TIPO");
    QCOMPARE(names(t), QStringList({"BIA", "CAIO", "ANA"}));
    QCOMPARE(t.checkTags(), std::vector<std::string>());  // already right
    QCOMPARE(xbase::cdx::read(cdxPath)[0].entries[1].recno, 3u);  // and written back
}

void TestDurability::hostileSizesAreErrors()
{
    makeLessons(false, false);
    // A count near 2^32 on a sparse file as long as it claims.
    QByteArray header = bytesOf("Licao.dbf").left(32 + 32 * 3 + 1);
    const uint32_t count = 0xFFFFFFF0u;
    for (int i = 0; i < 4; ++i)
        header[4 + i] = char((count >> (8 * i)) & 0xFF);
    const std::string file = path(dir_->path(), "Grande.dbf");
    writeFile(file, header);
    QVERIFY(::truncate(file.c_str(), off_t(header.size()) + off_t(count) * 34) == 0);
    Table t;
    try {
        t.open(d(), "Grande.dbf");
        QFAIL("a table of 140 GB opened");
    } catch (const xbase::Error& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains("grande demais"), e.what());
    }

    t.open(d(), "Licao.dbf");
    std::string sum = "LICAO";
    for (int i = 0; i < 200000; ++i)
        sum += "+1";
    try {
        t.setFilter(sum + " > 0");
        QFAIL("a chain of 200,000 terms was taken");
    } catch (const xbase::Error& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains("longa demais"), e.what());
    }
}

void TestDurability::repairKeepsEveryWholeRecord_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<uint>("kept");
    QTest::addColumn<uint>("memosCleared");
    QTest::newRow("cut inside the last record") << "cut" << 2u << 0u;
    QTest::newRow("count past the records") << "count" << 3u << 0u;
    QTest::newRow("memo pointer past the memo file") << "memo" << 3u << 1u;
    QTest::newRow("index file of garbage") << "cdx" << 3u << 0u;
}

void TestDurability::repairKeepsEveryWholeRecord()
{
    QFETCH(QString, damage);
    QFETCH(uint, kept);
    QFETCH(uint, memosCleared);
    makeLessons(true, true);
    QDir().mkpath(dir_->path() + "/modelo");
    QFile::copy(dir_->path() + "/Licao.cdx", dir_->path() + "/modelo/Licao.cdx");
    const std::string dbfPath = path(dir_->path(), "Licao.dbf");
    QByteArray bytes = bytesOf("Licao.dbf");
    const int headerLength = 32 + 32 * 4 + 1;
    if (damage == "cut")
        bytes.chop(10);
    if (damage == "count")
        bytes[4] = char(9);
    if (damage == "memo")
        bytes.replace(headerLength + 2 * 44 + 34, 10, "      9999");
    writeFile(dbfPath, bytes);
    if (damage == "cdx")
        writeFile(path(dir_->path(), "Licao.cdx"), QByteArray(1536, 'x'));

    const xbase::RepairReport report = xbase::repairTable(
        dbfPath, damage == "cdx" ? path(dir_->path(), "modelo/Licao.cdx") : std::string());
    QCOMPARE(report.recordsKept, kept);
    QCOMPARE(report.memosCleared, memosCleared);
    QCOMPARE(readFile(report.backupDir + "/Licao.dbf"), bytes);  // the damaged files are kept

    Table t;
    t.open(d(), "Licao.dbf");
    t.setIndexName("TIPO");
    QCOMPARE(names(t), damage == "cut" ? QStringList({"BIA", "ANA"}) : QStringList({"BIA", "CAIO", "ANA"}));

    // An independent reader agrees.
    QProcess reader;
    reader.start("/usr/bin/python3", {"-c", "import sys; from dbfread import DBF; "
                                            "print(len(list(DBF(sys.argv[1], encoding='cp1252'))))",
                                      QString::fromStdString(dbfPath)});
    QVERIFY(reader.waitForFinished());
    QCOMPARE(reader.readAllStandardOutput().trimmed(), QByteArray::number(kept));
}

QTEST_GUILESS_MAIN(TestDurability)
#include "tst_durability.moc"
