// Behaviour of xbase::Table: field values, navigation, deletion, filters, ranges, keys,
// hooks, durability, tag upkeep and pack.
#include "XbaseTestUtil.h"
#include "xbase/Codepage.h"
#include "xbase/Error.h"
#include "xbase/Memo.h"

#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace testutil;

namespace {

// Key of the lesson tag TIPO+STR(LICAO,3) for a type and a lesson.
std::string lessonKey(const QString& tipo, int licao)
{
    return QString("%1%2").arg(tipo, -10).arg(licao, 3).toStdString();
}

} // namespace
using xbase::FieldType;
using xbase::Table;

class TestTable : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void valueRoundTrip_data();
    void valueRoundTrip();
    void fileLayout();
    void refusedValues_data();
    void refusedValues();
    void missingFieldMessage();
    void codePageAllBytes();

    void navigationOrder_data();
    void navigationOrder();
    void deletedVisibility_data();
    void deletedVisibility();
    void deleteMovesCursor_data();
    void deleteMovesCursor();
    void countUnderFilterRangeAndDeletion();
    void filterComparison_data();
    void filterComparison();
    void badFilterThrows();
    void findKeyIsExact();
    void numericTagKeysAndRange();
    void locateByFieldText();

    void hooksAndAbortedPost();
    void cancelInsertReturnsToPreviousRecord();
    void postIsVisibleToAnotherReader();
    void refreshSeesAnotherWriter();
    void tagsFollowAppendAndEdit();
    void packKeepsMemosAndTags();

private:
    // Opens a fresh lesson table with a tag on TIPO+STR(LICAO,3) and the given rows.
    void makeLessons(Table& t, const std::vector<Row>& rows, bool withMemo = false);
    std::unique_ptr<QTemporaryDir> dir_;
    QString d() const { return dir_->path(); }
    xbase::Environment savedEnv_;
};

void TestTable::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    savedEnv_ = xbase::environment();
}

void TestTable::cleanup()
{
    xbase::environment() = savedEnv_;
    dir_.reset();
}

void TestTable::makeLessons(Table& t, const std::vector<Row>& rows, bool withMemo)
{
    Table::create(d().toStdString(), "Licao.dbf", lessonFields(withMemo), {{"TIPO", "TIPO+STR(LICAO,3)"}});
    t.open(d().toStdString(), "Licao.dbf");
    for (const Row& r : rows)
        append(t, r);
}

// ------------------------------------------------------------------ values

void TestTable::valueRoundTrip_data()
{
    QTest::addColumn<char>("type");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");

    QTest::newRow("C accents") << 'C' << 10 << 0 << "Básico" << "Básico";
    QTest::newRow("C windows-1252 only") << 'C' << 10 << 0 << "€ “x” – ‰" << "€ “x” – ‰";
    QTest::newRow("C cut to length") << 'C' << 5 << 0 << "ABCDEFG" << "ABCDE";
    QTest::newRow("C trailing blanks dropped") << 'C' << 8 << 0 << "ANA   " << "ANA";
    QTest::newRow("N integer") << 'N' << 5 << 0 << "42" << "42";
    QTest::newRow("N negative") << 'N' << 5 << 0 << "-7" << "-7";
    QTest::newRow("N decimals padded") << 'N' << 6 << 2 << "3.5" << "3.50";
    QTest::newRow("N decimal comma") << 'N' << 6 << 2 << "3,25" << "3.25";
    QTest::newRow("N blank") << 'N' << 4 << 0 << "" << "";
    QTest::newRow("F") << 'F' << 8 << 3 << "-1.25" << "-1.250";
    QTest::newRow("L true") << 'L' << 1 << 0 << "T" << "T";
    QTest::newRow("L false") << 'L' << 1 << 0 << "F" << "F";
    QTest::newRow("L blank") << 'L' << 1 << 0 << "" << "";
    QTest::newRow("D") << 'D' << 8 << 0 << "31/01/2025" << "31/01/2025";
    QTest::newRow("D leap day") << 'D' << 8 << 0 << "29/02/2024" << "29/02/2024";
    QTest::newRow("D blank") << 'D' << 8 << 0 << "" << "";
    QTest::newRow("M") << 'M' << 10 << 0 << "linha um\r\nação € ok" << "linha um\r\nação € ok";
    QTest::newRow("M empty") << 'M' << 10 << 0 << "" << "";
}

void TestTable::valueRoundTrip()
{
    QFETCH(char, type);
    QFETCH(int, length);
    QFETCH(int, decimals);
    QFETCH(QString, written);
    QFETCH(QString, read);

    const std::vector<xbase::FieldDef> fields {field("ID", FieldType::Numeric, 3),
                                               field("VALOR", FieldType(type), length, decimals)};
    Table::create(d().toStdString(), "valores", fields);
    {
        Table t;
        t.open(d().toStdString(), "valores");
        t.insert();
        t.setInteger("ID", 1);
        t.setString("Valor", written.toStdString());
        QCOMPARE(QString::fromStdString(t.asString("VALOR")), read);  // from the edit buffer
        QVERIFY(t.post());
    }
    Table t;
    t.open(d().toStdString(), "valores");
    QCOMPARE(t.physicalCount(), 1u);
    QCOMPARE(QString::fromStdString(t.asString(1)), read);
    QCOMPARE(t.isBlank(1), read.isEmpty());
}

void TestTable::fileLayout()
{
    Table::create(d().toStdString(), "Licao.dbf", lessonFields(true), {{"TIPO", "TIPO"}});
    Table::create(d().toStdString(), "Plano.dbf", lessonFields(false));
    QVERIFY(!QFile::exists(d() + "/Plano.fpt"));
    QVERIFY(!QFile::exists(d() + "/Plano.cdx"));
    QVERIFY(QFile::exists(d() + "/Licao.cdx"));

    Table t;
    t.open(d().toStdString(), "Licao.dbf");
    t.insert();
    t.setString("Nome", "JOÃO");
    t.setInteger("Licao", 7);
    t.setString("Texto", "abc");
    t.post();
    t.close();

    const QByteArray b = readFile(path(d(), "Licao.dbf"));
    QCOMPARE(uint8_t(b[0]), uint8_t(0xF5));   // FoxPro 2.x with memo
    QCOMPARE(uint8_t(b[28]), uint8_t(0x01));  // structural index
    QCOMPARE(uint8_t(b[29]), uint8_t(0x03));  // Windows-1252
    QCOMPARE(le32(b, 4), 1u);
    const int headerLength = uint8_t(b[8]) | uint8_t(b[9]) << 8;
    QCOMPARE(headerLength, 32 + 32 * 4 + 1);
    QCOMPARE(uint8_t(b[headerLength - 1]), uint8_t(0x0D));
    const QByteArray rec = b.mid(headerLength, 1 + 20 + 10 + 3 + 10);
    QCOMPARE(rec.mid(0, 5), QByteArray(" JO\xC3O"));            // live mark, then 1252 text
    QCOMPARE(rec.mid(31, 3), QByteArray("  7"));                 // right-aligned number
    QCOMPARE(rec.mid(34, 10), QByteArray("         8"));         // first block after the header
    QCOMPARE(b.size(), headerLength + rec.size() + 1);
    QCOMPARE(uint8_t(b[b.size() - 1]), uint8_t(0x1A));

    const QByteArray plain = readFile(path(d(), "Plano.dbf"));
    QCOMPARE(uint8_t(plain[0]), uint8_t(0x03));
    QCOMPARE(uint8_t(plain[28]), uint8_t(0x00));

    const QByteArray memo = readFile(path(d(), "Licao.fpt"));
    QCOMPARE(memo.size(), 9 * 64);
    QCOMPARE(memo.mid(0, 8), QByteArray("\0\0\0\x09\0\0\0\x40", 8));  // next free 9, block 64
    QCOMPARE(memo.mid(512, 11), QByteArray("\0\0\0\x01\0\0\0\x03" "abc", 11));
}

void TestTable::refusedValues_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::newRow("outside windows-1252") << "NOME" << "日本";
    QTest::newRow("emoji in memo") << "TEXTO" << "ok 🙂";
    QTest::newRow("number too wide") << "LICAO" << "1234";
    QTest::newRow("not a number") << "LICAO" << "doze";
    QTest::newRow("no such date") << "DIA" << "31/02/2025";
    QTest::newRow("date in another format") << "DIA" << "2025-01-31";
    QTest::newRow("logical word") << "ATIVO" << "talvez";
}

void TestTable::refusedValues()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    auto fields = lessonFields(true);
    fields.push_back(testutil::field("DIA", FieldType::Date, 8));
    fields.push_back(testutil::field("ATIVO", FieldType::Logical, 1));
    Table::create(d().toStdString(), "t", fields);
    Table t;
    t.open(d().toStdString(), "t");
    append(t, {"ANA", "Textos", 1});
    t.edit();
    QVERIFY_THROWS_EXCEPTION(xbase::Error, t.setString(field.toStdString(), value.toStdString()));
    t.post();
    t.close();
    t.open(d().toStdString(), "t");
    QVERIFY(t.asString("NOME") == "ANA" && t.asInteger("LICAO") == 1);
    QVERIFY(t.isBlank(t.fieldIndex("TEXTO")) && t.isBlank(t.fieldIndex("DIA")));
}

void TestTable::missingFieldMessage()
{
    Table::create(d().toStdString(), "Relat.dbf", lessonFields(false));
    Table t;
    t.open(d().toStdString(), "Relat.dbf");
    QCOMPARE(t.fieldIndex("licao"), 2);  // any case
    try {
        t.asString("Xyz");
        QFAIL("no error for a missing field");
    } catch (const xbase::Error& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QString("Relat.dbf: Campo 'Xyz' não encontrado"));
    }
}

// ------------------------------------------------------------------ navigation

void TestTable::navigationOrder_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QList<uint>>("order");
    QTest::newRow("file order") << "" << QList<uint> {1, 2, 3, 4};
    QTest::newRow("tag order") << "tipo" << QList<uint> {4, 2, 3, 1};
}

void TestTable::navigationOrder()
{
    QFETCH(QString, tag);
    QFETCH(QList<uint>, order);
    Table t;
    makeLessons(t, {{"A", "Textos", 2}, {"B", "Básico", 10}, {"C", "Básico", 11}, {"D", "Avançado", 1}});
    t.setIndexName(tag.toStdString());

    QList<uint> forward;
    for (t.first(); !t.eof(); t.next())
        forward << t.recNo();
    QCOMPARE(forward, order);
    QCOMPARE(t.recNo(), order.last());  // past the end the record stays

    t.last();  // standing on the last record is not the end yet
    QVERIFY(!t.eof());
    QCOMPARE(t.recNo(), order.last());
    t.first();
    QVERIFY(!t.bof());
    QCOMPARE(t.recNo(), order.first());

    QList<uint> backward;
    for (t.last(); !t.bof(); t.prior())
        backward.prepend(t.recNo());
    QCOMPARE(backward, order);

    t.goTo(order[1]);
    t.next();
    QCOMPARE(t.recNo(), order[2]);
    QVERIFY_THROWS_EXCEPTION(xbase::Error, t.goTo(5));
}

void TestTable::deletedVisibility_data()
{
    QTest::addColumn<bool>("hideDeleted");
    QTest::addColumn<uint>("count");
    QTest::addColumn<QList<uint>>("visited");
    QTest::newRow("deleted on") << true << 2u << QList<uint> {1, 3};
    QTest::newRow("deleted off") << false << 3u << QList<uint> {1, 2, 3};
}

void TestTable::deletedVisibility()
{
    QFETCH(bool, hideDeleted);
    QFETCH(uint, count);
    QFETCH(QList<uint>, visited);
    Table t;
    makeLessons(t, {{"A", "Textos", 1}, {"B", "Textos", 2}, {"C", "Textos", 3}});
    t.goTo(2);
    t.deleteRecord();
    xbase::environment().deleted = hideDeleted;
    QCOMPARE(t.count(), count);
    QCOMPARE(t.physicalCount(), 3u);
    QList<uint> seen;
    for (t.first(); !t.eof(); t.next())
        seen << t.recNo();
    QCOMPARE(seen, visited);
    t.goTo(2);
    QVERIFY(t.isDeleted());
}

void TestTable::deleteMovesCursor_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QList<uint>>("deletions");  // record numbers, deleted one after the other
    QTest::addColumn<QList<uint>>("landings");   // where the cursor stands after each; 0 = eof
    // File order 1 2 3; tag order 3 1 2 (TIPO: Avançado < Básico < Textos).
    QTest::newRow("middle goes to next") << "" << QList<uint> {2} << QList<uint> {3};
    QTest::newRow("last goes to previous") << "" << QList<uint> {3, 2, 1} << QList<uint> {2, 1, 0};
    QTest::newRow("next in tag order") << "TIPO" << QList<uint> {3} << QList<uint> {1};
    QTest::newRow("previous in tag order") << "TIPO" << QList<uint> {2, 1, 3} << QList<uint> {1, 3, 0};
}

void TestTable::deleteMovesCursor()
{
    QFETCH(QString, tag);
    QFETCH(QList<uint>, deletions);
    QFETCH(QList<uint>, landings);
    Table t;
    makeLessons(t, {{"A", "Básico", 1}, {"B", "Textos", 1}, {"C", "Avançado", 1}});
    t.setIndexName(tag.toStdString());
    for (int i = 0; i < deletions.size(); ++i) {
        t.goTo(deletions[i]);
        t.deleteRecord();
        if (landings[i] == 0) {
            QVERIFY(t.eof());
            QVERIFY(t.isEmpty());
            QCOMPARE(t.count(), 0u);
        } else {
            QVERIFY(!t.eof());
            QCOMPARE(t.recNo(), landings[i]);
        }
    }
}

void TestTable::countUnderFilterRangeAndDeletion()
{
    Table t;
    makeLessons(t, {{"ANA", "Textos", 1}, {"ANA", "Textos", 2}, {"ANA", "Textos", 3}, {"ANA", "Textos", 4},
                    {"ANA", "Básico", 2}, {"ANA", "Básico", 3}, {"BIA", "Textos", 3}, {"ANA", "Numérico", 3}});
    t.setIndexName("TIPO");
    t.setRange("Textos", "Textos");
    QCOMPARE(t.count(), 5u);
    t.setFilter("Nome = \"ANA\" .AND. Licao >= 2 .AND. Licao <= 3");
    QCOMPARE(t.count(), 2u);
    t.goTo(3);
    t.deleteRecord();
    QCOMPARE(t.count(), 1u);
    QCOMPARE(t.recNo(), 2u);  // next visible in tag order was none, so the previous one

    QList<uint> seen;
    for (t.first(); !t.eof(); t.next())
        seen << t.recNo();
    QCOMPARE(seen, QList<uint> {2});

    t.clearRange();
    QCOMPARE(t.count(), 4u);  // Textos 2, Básico 2 and 3, Numérico 3; the deleted one stays out
    t.setFilter("");
    QCOMPARE(t.count(), 7u);
}

void TestTable::filterComparison_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QList<uint>>("matches");
    // Records: 1 ANA, 2 ANAMARIA, 3 MARIANA, 4 "ANA" with Tipo Básico.
    QTest::newRow("= is not a prefix match") << "Nome=\"ANA\"" << QList<uint> {1, 4};
    QTest::newRow("= longer literal") << "Nome = \"ANAMARIA\"" << QList<uint> {2};
    QTest::newRow("trailing blanks ignored") << "Nome = \"ANA   \"" << QList<uint> {1, 4};
    QTest::newRow("leading blank counts") << "Nome = \" ANA\"" << QList<uint> {};
    QTest::newRow("<> whole value") << "Nome <> \"ANA\"" << QList<uint> {2, 3};
    QTest::newRow("accents exact") << "Tipo = \"Básico\"" << QList<uint> {4};
    QTest::newRow("accent differs") << "Tipo = \"Basico\"" << QList<uint> {};
    QTest::newRow("and with number") << "Nome = \"ANA\" .AND. Licao = 4" << QList<uint> {4};
}

void TestTable::filterComparison()
{
    QFETCH(QString, filter);
    QFETCH(QList<uint>, matches);
    Table t;
    makeLessons(t, {{"ANA", "Textos", 1}, {"ANAMARIA", "Textos", 2}, {"MARIANA", "Textos", 3}, {"ANA", "Básico", 4}});
    t.setFilter(filter.toStdString());
    QList<uint> seen;
    for (t.first(); !t.eof(); t.next())
        seen << t.recNo();
    QCOMPARE(seen, matches);
    QCOMPARE(t.count(), uint(matches.size()));
    QCOMPARE(QString::fromStdString(t.filter()), filter);
}

void TestTable::badFilterThrows()
{
    Table t;
    makeLessons(t, {{"ANA", "Textos", 1}});
    QVERIFY_THROWS_EXCEPTION(xbase::Error, t.setFilter("Idade = 3"));
    QVERIFY_THROWS_EXCEPTION(xbase::Error, t.setFilter("Nome = \"ANA"));
    QCOMPARE(t.count(), 1u);  // the table still works
}

void TestTable::findKeyIsExact()
{
    Table::create(d().toStdString(), "Teclado.dbf",
                  {field("LETRA", FieldType::Character, 2), field("POS", FieldType::Numeric, 3)},
                  {{"LETRA", "LETRA"}});
    Table t;
    t.open(d().toStdString(), "Teclado.dbf", false);
    const char* letters[] = {"b", "aa", "a", "A"};
    for (int i = 0; i < 4; ++i) {
        t.insert();
        t.setString("LETRA", letters[i]);
        t.setInteger("POS", i + 1);
        t.post();
    }
    QVERIFY_THROWS_EXCEPTION(xbase::Error, t.findKey("a"));  // no active tag
    t.setIndexName("LETRA");
    QVERIFY(t.findKey("a"));
    QCOMPARE(t.asInteger("POS"), 3);  // not "aa"
    QVERIFY(t.findKey("aa"));
    QCOMPARE(t.asInteger("POS"), 2);
    QVERIFY(t.findKey("A"));
    QCOMPARE(t.asInteger("POS"), 4);
    QVERIFY(!t.findKey("c"));
    QCOMPARE(t.asInteger("POS"), 4);  // the cursor did not move

    t.deleteRecord();  // a deleted key is not found while deleted records are hidden
    QVERIFY(!t.findKey("A"));
}

void TestTable::numericTagKeysAndRange()
{
    Table::create(d().toStdString(), "Num.dbf", lessonFields(false), {{"LICAO", "LICAO"}});
    Table t;
    t.open(d().toStdString(), "Num.dbf");
    for (int licao : {10, -3, 2, 7, 2})
        append(t, {"ANA", "Textos", licao});
    t.setIndexName("LICAO");
    QList<int> order;
    for (t.first(); !t.eof(); t.next())
        order << int(t.asInteger("LICAO"));
    QCOMPARE(order, QList<int>({-3, 2, 2, 7, 10}));  // by value, not by text
    QVERIFY(t.findKey("2"));
    QCOMPARE(t.recNo(), 3u);  // the lowest record number of equal keys
    QVERIFY(!t.findKey("5"));
    t.setRange("2", "7");
    QCOMPARE(t.count(), 3u);
    t.insert();
    t.deleteRecord();  // deleting a record being inserted just drops it
    QCOMPARE(t.state(), Table::State::Browse);
    QCOMPARE(t.physicalCount(), 5u);
}

void TestTable::locateByFieldText()
{
    Table t;
    makeLessons(t, {{"ANA", "Textos", 1}, {"ANAMARIA", "Básico", 2}, {"JOSÉ", "Básico", 3}});
    QVERIFY(t.locate("nome", "JOSÉ"));
    QCOMPARE(t.recNo(), 3u);
    QVERIFY(t.locate("Licao", "2"));
    QCOMPARE(t.recNo(), 2u);
    QVERIFY(!t.locate("Nome", "ANAM"));
    QCOMPARE(t.recNo(), 2u);
}

// ------------------------------------------------------------------ writes

void TestTable::hooksAndAbortedPost()
{
    Table::create(d().toStdString(), "Usuario.dbf", lessonFields(true));
    Table t;
    t.open(d().toStdString(), "Usuario.dbf");
    append(t, {"ANA", "Textos", 1});
    const QByteArray before = readFile(path(d(), "Usuario.dbf"));
    const QByteArray memoBefore = readFile(path(d(), "Usuario.fpt"));

    QStringList calls;
    bool accept = false;
    t.beforeInsert = [&](Table& table) {
        calls << "beforeInsert";
        table.first();  // the data module walks the table here
        while (!table.eof())
            table.next();
    };
    t.onNewRecord = [&](Table& table) {
        calls << "onNewRecord";
        table.setInteger("LICAO", 1);
    };
    uint countInHook = 0;
    t.beforePost = [&](Table& table) {
        calls << "beforePost";
        countInHook = table.count();
        return accept;
    };

    t.insert();
    QCOMPARE(t.state(), Table::State::Insert);
    QCOMPARE(t.recNo(), 0u);
    QCOMPARE(t.asInteger("Licao"), 1);
    t.setString("NOME", "ANA");
    t.setString("TEXTO", "nota");
    QVERIFY(!t.post());
    QCOMPARE(t.state(), Table::State::Insert);
    QCOMPARE(countInHook, 1u);  // the new record is not counted yet
    QCOMPARE(t.asString("NOME"), std::string("ANA"));  // what the user typed is kept
    QCOMPARE(t.asString("TEXTO"), std::string("nota"));
    QCOMPARE(t.physicalCount(), 1u);
    QCOMPARE(readFile(path(d(), "Usuario.dbf")), before);
    QCOMPARE(readFile(path(d(), "Usuario.fpt")), memoBefore);

    accept = true;
    t.setString("NOME", "BIA");
    QVERIFY(t.post());
    QCOMPARE(t.state(), Table::State::Browse);
    QCOMPARE(t.recNo(), 2u);
    QCOMPARE(t.physicalCount(), 2u);
    QCOMPARE(calls, QStringList({"beforeInsert", "onNewRecord", "beforePost", "beforePost"}));
}

void TestTable::cancelInsertReturnsToPreviousRecord()
{
    Table t;
    makeLessons(t, {{"ANA", "Textos", 1}, {"BIA", "Textos", 2}});
    t.goTo(1);
    t.insert();
    t.setString("Nome", "CAIO");
    t.cancel();
    QCOMPARE(t.state(), Table::State::Browse);
    QCOMPARE(t.recNo(), 1u);
    QCOMPARE(t.asString("Nome"), std::string("ANA"));
    QCOMPARE(t.physicalCount(), 2u);

    t.edit();
    t.setString("Nome", "ZECA");
    t.cancel();
    QCOMPARE(t.asString("Nome"), std::string("ANA"));
    QVERIFY_THROWS_EXCEPTION(xbase::Error, t.setString("Nome", "X"));  // not editing
}

void TestTable::postIsVisibleToAnotherReader()
{
    Table writer;
    makeLessons(writer, {{"ANA", "Textos", 1}}, true);
    writer.insert();
    writer.setString("Nome", "BIA");
    writer.setString("Texto", "primeira versão");
    writer.post();

    Table reader;
    reader.open(d().toStdString(), "Licao.dbf", true);
    QCOMPARE(reader.physicalCount(), 2u);
    reader.goTo(2);
    QCOMPARE(reader.asString("Nome"), std::string("BIA"));
    QCOMPARE(reader.asString("Texto"), std::string("primeira versão"));
    reader.setIndexName("TIPO");
    QCOMPARE(reader.count(), 2u);  // the tag on disk holds the new key too

    writer.edit();
    writer.setString("Texto", "segunda versão, bem mais longa que a primeira, com outros blocos");
    writer.post();
    reader.refresh();
    reader.goTo(2);
    QCOMPARE(reader.asString("Texto"), std::string("segunda versão, bem mais longa que a primeira, com outros blocos"));
    QVERIFY_THROWS_EXCEPTION(xbase::Error, reader.edit());  // read-only
}

void TestTable::refreshSeesAnotherWriter()
{
    Table first;
    makeLessons(first, {{"ANA", "Textos", 1}});
    Table second;
    second.open(d().toStdString(), "Licao.dbf");
    append(second, {"BIA", "Textos", 2});
    QCOMPARE(first.count(), 1u);
    first.refresh();
    QCOMPARE(first.count(), 2u);
    QCOMPARE(first.recNo(), 1u);
}

void TestTable::tagsFollowAppendAndEdit()
{
    Table t;
    makeLessons(t, {{"A", "Textos", 2}, {"B", "Básico", 1}});
    t.setIndexName("TIPO");
    append(t, {"C", "Avançado", 5});
    QVERIFY(t.findKey(lessonKey("Avançado", 5)));  // STR(LICAO,3) right-aligns
    QCOMPARE(t.recNo(), 3u);

    t.goTo(1);
    t.edit();
    t.setString("Tipo", "Aaa");
    t.post();
    QVERIFY(!t.findKey(lessonKey("Textos", 2)));
    QVERIFY(t.findKey(lessonKey("Aaa", 2)));
    QCOMPARE(t.recNo(), 1u);

    t.edit();
    t.setString("Nome", "Z");  // not a key field: the tag is unchanged
    t.post();

    Table again;  // the .cdx on disk agrees
    again.open(d().toStdString(), "Licao.dbf");
    again.setIndexName("tipo");
    QList<uint> order;
    for (again.first(); !again.eof(); again.next())
        order << again.recNo();
    QCOMPARE(order, QList<uint>({1, 3, 2}));
    QCOMPARE(again.asString("NOME"), std::string("B"));
}

void TestTable::packKeepsMemosAndTags()
{
    Table t;
    makeLessons(t, {{"A", "Textos", 1}, {"B", "Básico", 2}, {"C", "Avançado", 3}, {"D", "Básico", 1}}, true);
    const char* texts[] = {"texto de A", "texto de B", "", "texto de D, " "mais longo que um bloco de memo, "
                                                           "para ocupar dois blocos inteiros no arquivo"};
    for (uint r = 1; r <= 4; ++r) {
        t.goTo(r);
        t.edit();
        t.setString("Texto", texts[r - 1]);
        t.post();
    }
    const qint64 memoSize = QFileInfo(d() + "/Licao.fpt").size();
    t.goTo(1);
    t.deleteRecord();
    t.goTo(3);
    t.deleteRecord();
    t.setIndexName("TIPO");
    t.pack();

    QCOMPARE(t.physicalCount(), 2u);
    QCOMPARE(QFileInfo(d() + "/Licao.fpt").size(), memoSize);  // kept: the records point at the same blocks
    QVERIFY(!QFile::exists(d() + "/Licao.dbf.tmp"));
    Table again;
    again.open(d().toStdString(), "Licao.dbf");
    again.goTo(1);
    QCOMPARE(again.asString("Nome"), std::string("B"));
    QCOMPARE(again.asString("Texto"), std::string(texts[1]));
    again.goTo(2);
    QCOMPARE(again.asString("Nome"), std::string("D"));
    QCOMPARE(again.asString("Texto"), std::string(texts[3]));
    again.setIndexName("TIPO");
    QVERIFY(again.findKey(lessonKey("Básico", 1)));
    QCOMPARE(again.recNo(), 2u);
    QVERIFY(!again.findKey(lessonKey("Avançado", 3)));
    QList<uint> order;
    for (again.first(); !again.eof(); again.next())
        order << again.recNo();
    QCOMPARE(order, QList<uint>({2, 1}));
}

QTEST_GUILESS_MAIN(TestTable)
// Every byte reads as the system's Windows-1252 decoder reads it and writes back unchanged.
void TestTable::codePageAllBytes()
{
    QStringDecoder sistema("windows-1252");
    if (!sistema.isValid()) QSKIP("this Qt has no Windows-1252 decoder");
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, char(b));
        const std::string utf8 = xbase::toUtf8(byte);
        QCOMPARE(QString::fromStdString(utf8), sistema.decode(QByteArray(1, char(b))));
        QCOMPARE(xbase::fromUtf8(utf8), byte);
    }
}

#include "tst_table.moc"
