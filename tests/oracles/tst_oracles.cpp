// Files written by our engine, read back by readers that share no code with it: dbfread and
// python-dbf (Python), pgdbf (C) and index_dump (Perl XBase). And the other way: a FoxPro
// table written by python-dbf, read by our engine. xbtool check runs on what we wrote.
#include "Processo.h"
#include "xbase/Environment.h"
#include "xbase/Error.h"
#include "xbase/Table.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <random>

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

QString script(const char* name) { return QStringLiteral(ORACLE_SCRIPTS_DIR "/") + name; }

QByteArray toCp1252(const QString& text)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

QString fromCp1252(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1252");
    return decoder.decode(bytes);
}

// One lesson row as the test wrote it.
struct Lesson {
    QString tipo;
    int licao = 0;
    QString texto;
    bool ativo = false;
    QDate data;  // null = blank date
    double peso = 0;
    bool deleted = false;
};

struct KeyRow {
    QByteArray letra;  // Windows-1252
    int pos = 0;
};

// A (key, recno) list as index_dump prints it: sorted bytewise, trailing blanks removed.
using KeyList = ChavesDoIndice;

KeyList sortedTrimmed(KeyList keys)
{
    std::sort(keys.begin(), keys.end());  // QByteArray compares bytewise, as memcmp
    for (auto& k : keys) {
        while (k.first.endsWith(' '))
            k.first.chop(1);
    }
    return keys;
}


} // namespace

Q_DECLARE_METATYPE(KeyList)

class TestOracles : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QList<Lesson> lessons_;  // file order
    QList<KeyRow> keyRows_;

    QString path(const QString& name) const { return dir_.filePath(name); }
    void writeLessonTable();
    void writeKeyboardTable();
    QJsonObject jsonOf(const Execucao& r)
    {
        return QJsonDocument::fromJson(r.out).object();
    }

private slots:
    void initTestCase();
    void dbfreadReadsLessons();
    void dbfreadReadsKeyboard();
    void pgdbfAcceptsStructure_data();
    void pgdbfAcceptsStructure();
    void pythonDbfReadsStructure();
    void indexDumpListsTags();
    void indexDumpKeysInOrder_data();
    void indexDumpKeysInOrder();
    void xbtoolCheckPasses_data();
    void xbtoolCheckPasses();
    void xbtoolCheckFindsDamage_data();
    void xbtoolCheckFindsDamage();
    void xbtoolShowsTables();
    void engineReadsPythonDbfTable();
};

void TestOracles::initTestCase()
{
    QVERIFY(dir_.isValid());
    QVERIFY2(QFile::exists(kPython), "falta /usr/bin/python3");
    for (const char* tool : {"pgdbf", "index_dump"})
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                 qPrintable(QString("falta %1 (scripts/install-deps.sh)").arg(tool)));
    const Execucao modules = executar(kPython, {"-c", "import dbf, dbfread"}, dir_.path());
    QVERIFY2(modules.exitCode == 0, "faltam python3-dbf ou python3-dbfread (scripts/install-deps.sh)");

    xbase::environment().deleted = true;
    xbase::environment().dateFormat = "dd/MM/yyyy";
    writeLessonTable();
    writeKeyboardTable();
}

// 150 lessons in shuffled order, accented texts, memos of every size, some edited so that
// they grow past their blocks, some records deleted. The edits and deletions move the engine's
// change counter in the header's reserved bytes, which every other reader must pass over.
void TestOracles::writeLessonTable()
{
    using xbase::FieldType;
    xbase::Table::create(dir_.path().toStdString(), "LICAO.DBF",
                         {{"TIPO", FieldType::Character, 10, 0, 0}, {"LICAO", FieldType::Numeric, 3, 0, 0},
                          {"TEXTO", FieldType::Memo, 10, 0, 0}, {"ATIVO", FieldType::Logical, 1, 0, 0},
                          {"DATA", FieldType::Date, 8, 0, 0}, {"PESO", FieldType::Numeric, 6, 2, 0}},
                         {{"TIPO", "TIPO+STR(LICAO,3)"}, {"LICAO", "LICAO"}, {"DATA", "DTOS(DATA)"}});

    const QStringList types = {"Básico", "Avançado", "Textos", "Numérico"};
    const int highest[] = {60, 40, 20, 30};
    for (int t = 0; t < types.size(); ++t)
        for (int l = 1; l <= highest[t]; ++l)
            lessons_.append({types[t], l, {}, false, {}, 0, false});
    std::shuffle(lessons_.begin(), lessons_.end(), std::mt19937(1));

    xbase::Table table;
    table.open(dir_.path().toStdString(), "LICAO.DBF");
    for (int i = 0; i < lessons_.size(); ++i) {
        Lesson& l = lessons_[i];
        if (i % 7 != 0)
            l.texto = QString("Lição %1 de %2: ação, pé, avó, “aspas”, €.\r\nSegunda linha — fim.").arg(l.licao).arg(l.tipo);
        if (i % 5 == 0)
            l.texto += QString(300 + i, QChar(u'ç'));
        l.ativo = i % 2 == 0;
        if (i % 11 != 0)
            l.data = QDate(2024, 1, 1).addDays(i * 3);
        l.peso = i * 1.25 - 20;

        table.insert();
        table.setString("TIPO", l.tipo.toStdString());
        table.setInteger("LICAO", l.licao);
        table.setString("TEXTO", l.texto.toStdString());
        table.setBoolean("ATIVO", l.ativo);
        if (!l.data.isNull())
            table.setString("DATA", l.data.toString("dd/MM/yyyy").toStdString());
        table.setFloat("PESO", l.peso);
        QVERIFY(table.post());
    }
    for (int i = 0; i < lessons_.size(); ++i) {
        if (i % 9 == 4) {  // a longer text no longer fits its blocks
            lessons_[i].texto += "\r\nRevisada: " + QString(200, QChar(u'é'));
            table.goTo(uint32_t(i + 1));
            table.edit();
            table.setString("TEXTO", lessons_[i].texto.toStdString());
            QVERIFY(table.post());
        }
    }
    for (int i = 0; i < lessons_.size(); ++i) {
        if (i % 13 == 5) {
            lessons_[i].deleted = true;
            table.goTo(uint32_t(i + 1));
            table.deleteRecord();
        }
    }
    table.close();
    QFile written(path("LICAO.DBF"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(qFromLittleEndian<quint32>(written.read(20).constData() + 16) > 0);
}

// Enough 2-byte keys, with many repeats, for a tag of several levels.
void TestOracles::writeKeyboardTable()
{
    using xbase::FieldType;
    xbase::Table::create(dir_.path().toStdString(), "TECLADO.DBF",
                         {{"LETRA", FieldType::Character, 2, 0, 0}, {"POS", FieldType::Numeric, 3, 0, 0}},
                         {{"LETRA", "LETRA"}});
    const QStringList letters = {"a", "A", "aa", "b", "ç", "Ç", "á", "é", "~", "1", " ", "z", "Z", "ã", "ô", "\"", "ü", "€"};
    xbase::Table table;
    table.open(dir_.path().toStdString(), "TECLADO.DBF");
    for (int i = 0; i < 3000; ++i) {
        const QString letra = letters[(i * 7) % letters.size()] + (i % 50 == 0 ? "x" : "");
        keyRows_.append({toCp1252(letra.left(2)), i % 100});
        table.insert();
        table.setString("LETRA", letra.toStdString());
        table.setInteger("POS", i % 100);
        QVERIFY(table.post());
    }
    table.close();

    // The one tag's header follows the directory (0..1535); its root must be an interior node.
    QFile cdx(path("TECLADO.CDX"));
    QVERIFY(cdx.open(QIODevice::ReadOnly));
    const QByteArray bytes = cdx.readAll();
    const auto le32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    QCOMPARE(int(bytes[le32(1536)]), 1);
}

void TestOracles::dbfreadReadsLessons()
{
    const Execucao r = executar(kPython, {script("read_dbfread.py"), "LICAO.DBF"}, dir_.path());
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const QJsonObject json = jsonOf(r);
    QCOMPARE(json["fields"].toArray().size(), 6);

    QList<Lesson> live, deleted;
    for (const Lesson& l : lessons_)
        (l.deleted ? deleted : live).append(l);
    for (const auto& [expected, got] : {std::pair{live, json["live"].toArray()}, std::pair{deleted, json["deleted"].toArray()}}) {
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < got.size(); ++i) {
            const QJsonObject rec = got[i].toObject();
            const Lesson& l = expected[i];
            QCOMPARE(rec["TIPO"].toString(), l.tipo);
            QCOMPARE(rec["LICAO"].toInt(), l.licao);
            QCOMPARE(rec["TEXTO"].toString(), l.texto);
            QCOMPARE(rec["ATIVO"].toBool(), l.ativo);
            QCOMPARE(rec["DATA"].toString(), l.data.isNull() ? QString() : l.data.toString(Qt::ISODate));
            QCOMPARE(rec["PESO"].toDouble(), l.peso);
        }
    }
}

void TestOracles::dbfreadReadsKeyboard()
{
    const Execucao r = executar(kPython, {script("read_dbfread.py"), "TECLADO.DBF"}, dir_.path());
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const QJsonArray live = jsonOf(r)["live"].toArray();
    QCOMPARE(live.size(), keyRows_.size());
    for (int i = 0; i < live.size(); ++i) {
        QString letra = fromCp1252(keyRows_[i].letra);
        while (letra.endsWith(' '))
            letra.chop(1);  // dbfread, like our engine, drops the blanks that pad a C field
        QCOMPARE(live[i].toObject()["LETRA"].toString(), letra);
        QCOMPARE(live[i].toObject()["POS"].toInt(), keyRows_[i].pos);
    }
}

void TestOracles::pgdbfAcceptsStructure_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("mustContain");
    QTest::newRow("lessons with memo") << QStringList{"-s", "cp1252", "-m", "LICAO.FPT", "LICAO.DBF"}
                                       << "Segunda linha — fim.";
    QTest::newRow("keyboard") << QStringList{"-s", "cp1252", "TECLADO.DBF"} << "€";
}

void TestOracles::pgdbfAcceptsStructure()
{
    QFETCH(QStringList, args);
    QFETCH(QString, mustContain);
    const Execucao r = executar("pgdbf", args, dir_.path());
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QVERIFY(QString::fromUtf8(r.out).contains(mustContain));
}

void TestOracles::pythonDbfReadsStructure()
{
    const Execucao r = executar(kPython, {script("read_pydbf.py"), "LICAO.DBF"}, dir_.path());
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const QJsonObject json = jsonOf(r);
    QStringList structure;
    for (const QJsonValue& v : json["structure"].toArray())
        structure << v.toString();
    QCOMPARE(structure, (QStringList{"tipo C(10)", "licao N(3,0)", "texto M", "ativo L", "data D", "peso N(6,2)"}));
    QCOMPARE(json["count"].toInt(), lessons_.size());
    const QJsonArray records = json["records"].toArray();
    for (int i = 0; i < records.size(); ++i) {
        const QJsonObject rec = records[i].toObject();
        QCOMPARE(rec["deleted"].toBool(), lessons_[i].deleted);
        QCOMPARE(rec["values"].toArray()[0].toString(), lessons_[i].tipo);
        QCOMPARE(rec["values"].toArray()[2].toString(), lessons_[i].texto);
    }
}

void TestOracles::indexDumpListsTags()
{
    const Execucao lessons = executar("index_dump", {"-type=char", "LICAO.CDX"}, dir_.path());
    QVERIFY2(lessons.exitCode == 0, lessons.err.constData());
    QCOMPARE(lessons.out.trimmed().split('\n'), (QByteArrayList{"DATA", "LICAO", "TIPO"}));
    const Execucao keyboard = executar("index_dump", {"-type=char", "TECLADO.CDX"}, dir_.path());
    QCOMPARE(keyboard.out.trimmed(), QByteArray("LETRA"));
}

void TestOracles::indexDumpKeysInOrder_data()
{
    QTest::addColumn<QString>("cdx");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<KeyList>("expected");

    KeyList tipo, data, letra, licao;
    for (int i = 0; i < lessons_.size(); ++i) {
        const Lesson& l = lessons_[i];
        // Deleted records keep their entries.
        tipo.append({toCp1252(l.tipo).leftJustified(10, ' ') + QByteArray::number(l.licao).rightJustified(3, ' '), i + 1});
        data.append({l.data.isNull() ? QByteArray() : l.data.toString("yyyyMMdd").toLatin1(), i + 1});
        // Numeric keys printed as numbers sort like the numbers: zero-padded text keeps that order.
        licao.append({QByteArray::number(l.licao).rightJustified(3, '0'), i + 1});
    }
    for (int i = 0; i < keyRows_.size(); ++i)
        letra.append({keyRows_[i].letra, i + 1});

    QTest::newRow("TIPO+STR(LICAO,3)") << "LICAO.CDX" << "TIPO" << sortedTrimmed(tipo);
    QTest::newRow("DTOS(DATA)") << "LICAO.CDX" << "DATA" << sortedTrimmed(data);
    QTest::newRow("numeric LICAO") << "LICAO.CDX" << "LICAO" << sortedTrimmed(licao);
    QTest::newRow("LETRA, several levels") << "TECLADO.CDX" << "LETRA" << sortedTrimmed(letra);
}

void TestOracles::indexDumpKeysInOrder()
{
    QFETCH(QString, cdx);
    QFETCH(QString, tag);
    QFETCH(KeyList, expected);
    const bool numeric = tag == "LICAO";
    const Execucao r = executar("index_dump", {numeric ? "-type=num" : "-type=char", cdx, tag}, dir_.path());
    QVERIFY2(r.exitCode == 0, r.err.constData());
    KeyList got = lerIndexDump(r.out);
    if (numeric)
        for (auto& k : got)
            k.first = QByteArray::number(qRound(k.first.toDouble())).rightJustified(3, '0');
    QCOMPARE(got.size(), expected.size());
    for (int i = 0; i < got.size(); ++i)
        if (got[i] != expected[i])
            QFAIL(qPrintable(QString("entrada %1: '%2' %3, esperado '%4' %5").arg(i + 1)
                                 .arg(fromCp1252(got[i].first)).arg(got[i].second)
                                 .arg(fromCp1252(expected[i].first)).arg(expected[i].second)));
}

void TestOracles::xbtoolCheckPasses_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("lessons") << "LICAO.DBF";
    QTest::newRow("keyboard") << "TECLADO.DBF";
}

void TestOracles::xbtoolCheckPasses()
{
    QFETCH(QString, table);
    const Execucao r = executar(XBTOOL_PATH, {"check", table}, dir_.path());
    QVERIFY2(r.exitCode == 0, r.out.constData());
}

// xbtool check must notice faults the engine could leave behind; each copy gets one.
void TestOracles::xbtoolCheckFindsDamage_data()
{
    QTest::addColumn<qint64>("offset");  // in the first record (byte 0 is the deletion flag)
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("key field changed behind the index") << qint64(1) << QByteArray("Z") << "tag TIPO";
    QTest::newRow("memo pointer past the end") << qint64(14) << QByteArray("   9999999") << "memo TEXTO";
    QTest::newRow("bad logical") << qint64(24) << QByteArray("x") << "ATIVO";
}

void TestOracles::xbtoolCheckFindsDamage()
{
    QFETCH(qint64, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString copy = path("dano");
    QDir(copy).removeRecursively();
    QVERIFY(QDir().mkpath(copy));
    for (const char* name : {"LICAO.DBF", "LICAO.FPT", "LICAO.CDX"})
        QVERIFY(QFile::copy(path(name), copy + "/" + name));
    QFile dbf(copy + "/LICAO.DBF");
    QVERIFY(dbf.open(QIODevice::ReadWrite));
    const qint64 headerLength = 32 + 32 * 6 + 1;
    QVERIFY(dbf.seek(headerLength + offset));
    dbf.write(bytes);
    dbf.close();

    const Execucao r = executar(XBTOOL_PATH, {"check", "LICAO.DBF"}, copy);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(QString::fromUtf8(r.out).contains(expected), r.out.constData());
}

void TestOracles::xbtoolShowsTables()
{
    const Execucao dump = executar(XBTOOL_PATH, {"dump", "LICAO.DBF"}, dir_.path());
    QCOMPARE(dump.exitCode, 0);
    const QStringList lines = QString::fromUtf8(dump.out).split('\n');
    const int firstRecord = int(lines.indexOf("Registros:")) + 1;
    QVERIFY(firstRecord > 0);
    QCOMPARE(lines.size() - firstRecord - 1, lessons_.size());  // one line per record
    const int deleted = 5;  // the first deleted record (i % 13 == 5)
    QVERIFY(lessons_[deleted].deleted);
    QVERIFY(lines[firstRecord + deleted].startsWith("     6 * " + lessons_[deleted].tipo));

    const Execucao keys = executar(XBTOOL_PATH, {"keys", "TECLADO.CDX", "letra"}, dir_.path());
    QCOMPARE(keys.exitCode, 0);
    QCOMPARE(keys.out.count('\n'), keyRows_.size());

    const Execucao tags = executar(XBTOOL_PATH, {"tags", "LICAO.CDX"}, dir_.path());
    QVERIFY(tags.out.contains("TIPO+STR(LICAO,3)"));

    for (const QStringList& bad : {QStringList{}, QStringList{"keys", "LICAO.CDX"}, QStringList{"dump"},
                                   QStringList{"sort", "LICAO.DBF"}}) {
        const Execucao r = executar(XBTOOL_PATH, bad, dir_.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.startsWith("uso: xbtool"));
    }
}

void TestOracles::engineReadsPythonDbfTable()
{
    const QString sub = path("pydbf");
    QVERIFY(QDir().mkpath(sub));
    const Execucao made = executar(kPython, {script("make_pydbf.py"), "NOMES.DBF"}, sub);
    QVERIFY2(made.exitCode == 0, made.err.constData());
    const QJsonArray rows = QJsonDocument::fromJson(made.out).array();

    xbase::Table table;
    std::string openError;
    try {
        table.open(sub.toStdString(), "NOMES.DBF", true);
    } catch (const xbase::Error& e) {
        openError = e.what();
    }
    // python-dbf writes the 263-byte Visual FoxPro backlink after the header of a FoxPro 2.x
    // table too; the other readers accept it, and so do we.
    QVERIFY2(openError.empty(), openError.c_str());
    QCOMPARE(table.fieldCount(), 3);
    QCOMPARE(int(table.physicalCount()), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        table.goTo(uint32_t(i + 1));
        QCOMPARE(table.isDeleted(), row["deleted"].toBool());
        QCOMPARE(QString::fromStdString(table.asString("NAME")), row["name"].toString());
        QCOMPARE(table.asInteger("N"), row["n"].toInteger());
        QCOMPARE(QString::fromStdString(table.asString("OBS")), row["obs"].toString());
    }
    // Deleted records are hidden from counting.
    QCOMPARE(int(table.count()), rows.size() - 1);
}

QTEST_GUILESS_MAIN(TestOracles)
#include "tst_oracles.moc"
