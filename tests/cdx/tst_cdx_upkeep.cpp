// A tagged table after thousands of random inserts, key changes and deletions, each of which
// edits the .cdx in place: Perl XBase's index_dump must list every key in order with its
// record, and xbtool check (structure, sibling links, free space, keys against records) must
// pass.
#include "Processo.h"
#include "xbase/Environment.h"
#include "xbase/Table.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <random>

namespace {

constexpr int kOperations = 10000;
constexpr int kNameLength = 40;  // long keys: few per node, so the trees get three levels

struct Row {
    std::string nome;
    int licao = 0;
};

using KeyList = ChavesDoIndice;


// Names from a small alphabet with shared beginnings, so that leaves compress them.
std::string randomName(std::mt19937& random)
{
    static const char* const kStarts[] = {"ANA", "ANAMARIA", "BRUNO", "B", "CARLOS ALBERTO", "ZECA"};
    std::string name = kStarts[random() % 6];
    name += " " + std::to_string(random() % 5000);
    if (random() % 4 == 0)
        name += std::string(random() % 20, 'X');
    return name;
}

} // namespace

class TestCdxUpkeep : public QObject {
    Q_OBJECT

private slots:
    void randomChangesKeepTagsValid();
};

void TestCdxUpkeep::randomChangesKeepTagsValid()
{
    xbase::environment().syncOnPost = false;  // the tags are checked here, not the disk's durability
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = dir.path().toStdString();
    xbase::Table::create(path, "ALUNOS.DBF",
                         {{"NOME", xbase::FieldType::Character, kNameLength, 0, 0},
                          {"LICAO", xbase::FieldType::Numeric, 6, 0, 0}},
                         {{"NOME", "NOME"}, {"LICAO", "LICAO"}});

    std::vector<Row> rows;  // what the records hold, in file order
    std::mt19937 random(1717);
    {
        xbase::Table table;
        table.open(path, "ALUNOS.DBF");
        for (int i = 0; i < kOperations; ++i) {
            const unsigned what = random() % 10;
            Row row{randomName(random), int(random() % 100000) - 50000};
            if (rows.empty() || what < 4) {
                table.insert();
                rows.push_back(row);
            } else {
                const uint32_t recno = 1 + random() % rows.size();
                table.goTo(recno);
                if (what == 9) {
                    table.deleteRecord();  // deleted records keep their entries
                    continue;
                }
                table.edit();
                row.licao = what < 7 ? rows[recno - 1].licao : row.licao;  // mostly one key changes
                rows[recno - 1] = row;
            }
            table.setString("NOME", row.nome);
            table.setInteger("LICAO", row.licao);
            QVERIFY(table.post());
        }
        // Most names move to the end of the order: leaves empty out and join.
        for (uint32_t recno = 1; recno <= rows.size(); recno += 1 + (recno % 3 == 0)) {
            table.goTo(recno);
            table.edit();
            rows[recno - 1].nome = "ZZ " + std::to_string(recno % 7);
            table.setString("NOME", rows[recno - 1].nome);
            QVERIFY(table.post());
        }
    }

    KeyList names, numbers;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        names.push_back({QByteArray::fromStdString(rows[i].nome), int(i + 1)});
        numbers.push_back({QByteArray::number(rows[i].licao), int(i + 1)});
    }
    std::sort(names.begin(), names.end());
    std::stable_sort(numbers.begin(), numbers.end(), [](const auto& a, const auto& b) {
        return a.first.toInt() < b.first.toInt();
    });

    QVERIFY2(!QStandardPaths::findExecutable("index_dump").isEmpty(), "falta index_dump (scripts/install-deps.sh)");
    const Execucao nameDump = executar("index_dump", {"-type=char", "ALUNOS.CDX", "NOME"}, dir.path());
    QCOMPARE(nameDump.exitCode, 0);
    QVERIFY(lerIndexDump(nameDump.out) == names);
    const Execucao numberDump = executar("index_dump", {"-type=num", "ALUNOS.CDX", "LICAO"}, dir.path());
    QCOMPARE(numberDump.exitCode, 0);
    KeyList dumped = lerIndexDump(numberDump.out);
    for (auto& key : dumped)
        key.first = QByteArray::number(qRound(key.first.toDouble()));
    QVERIFY(dumped == numbers);

    const Execucao check = executar(XBTOOL_PATH, {"check", "ALUNOS.DBF"}, dir.path());
    QVERIFY2(check.exitCode == 0, (check.out + check.err).constData());
}

QTEST_GUILESS_MAIN(TestCdxUpkeep)
#include "tst_cdx_upkeep.moc"
