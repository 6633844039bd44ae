// Power cut after every call of every kind of post: for each state the cut could leave on disk
// (pending writes lost or kept in any order, a write torn at a sector), every table opens
// without a question, holds the post under way either finished or undone (finished when it
// was acknowledged), finds every record through every tag, and then passes xbtool check;
// no state, before or after the engine's open, is refused by an independent reader.
//
// Every subset of the changes pending at a cut is tried (the fsyncs keep them few).
#include "SimulatedDisk.h"
#include "XbaseTestUtil.h"
#include "PostScenarios.h"
#include "Processo.h"
#include "xbase/Cdx.h"
#include "xbase/Error.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace testutil;
using xbase::Table;

namespace {


std::map<QString, Scenario> scenarios()
{
    std::map<QString, Scenario> s;
    // Record 12 of these tables crosses the sector at 512.
    s["append"] = {{"Relat.dbf"}, [] { makeTable("Relat.dbf", false, {}, 11); }, [] {
                       Table t;
                       t.open(kDisk, "Relat.dbf");
                       append(t, {"NOVO", "Textos", 9});
                       return true;
                   }};
    s["append with a memo"] = {{"Teclas.dbf"}, [] { makeTable("Teclas.dbf", true, {}, 9); }, [] {
                                   Table t;
                                   t.open(kDisk, "Teclas.dbf");
                                   t.insert();
                                   t.setString("NOME", "NOVO");
                                   t.setString("TEXTO", std::string(700, 'k'));
                                   return t.post();
                               }};
    s["edit across a sector"] = {{"Relat.dbf"}, [] { makeTable("Relat.dbf", false, {}, 14); }, [] {
                                     Table t;
                                     t.open(kDisk, "Relat.dbf");
                                     editRow(t, "ALUNO 12");
                                     t.setString("NOME", "OUTRO NOME");
                                     t.setString("TIPO", "Numérico");
                                     t.setInteger("LICAO", 100);
                                     return t.post();
                                 }};
    s["memo edit"] = {{"Licao.dbf"}, [] { makeTable("Licao.dbf", true, kTipo, 12); }, [] {
                          Table t;
                          t.open(kDisk, "Licao.dbf");
                          editRow(t, "ALUNO 4");
                          t.setString("TEXTO", "um texto novo, mais longo que o antigo: " + std::string(300, 'n'));
                          return t.post();
                      }};
    s["key change"] = {{"Licao.dbf"}, [] { makeTable("Licao.dbf", true, kTipo, 12); }, [] {
                           Table t;
                           t.open(kDisk, "Licao.dbf");
                           editRow(t, "ALUNO 5");
                           t.setString("TIPO", "Avançado");
                           t.setString("NOME", "ZECA");
                           return t.post();
                       }};
    // At 119 records the next key splits a leaf and gives the tree a new root.
    s["append that splits a leaf"] = {{"Licao.dbf"}, [] { makeTable("Licao.dbf", false, kTipo, 119); }, [] {
                                          Table t;
                                          t.open(kDisk, "Licao.dbf");
                                          append(t, {"BETO", "Básico", 2});
                                          return true;
                                      }};
    s["key change past the full check"] = {{"Licao.dbf"}, [] {
                                               xbase::environment().syncOnPost = false;
                                               makeTable("Licao.dbf", false, kTipo,
                                                         int(Table::kFullTagCheckLimit) + 200);
                                               xbase::environment().syncOnPost = true;
                                           },
                                           [] {
                                               Table t;
                                               t.open(kDisk, "Licao.dbf");
                                               t.goTo(2500);
                                               t.edit();
                                               t.setString("TIPO", "Avançado");
                                               return t.post();
                                           }};
    s["delete"] = {{"Relat.dbf"}, [] { makeTable("Relat.dbf", false, {}, 14); }, [] {
                       Table t;
                       t.open(kDisk, "Relat.dbf");
                       editRow(t, "ALUNO 12");
                       t.cancel();
                       t.deleteRecord();
                       return true;
                   }};
    s["pack"] = {{"Licao.dbf"}, [] {
                     makeTable("Licao.dbf", true, kTipo, 14);
                     Table t;
                     t.open(kDisk, "Licao.dbf");
                     for (const char* nome : {"ALUNO 2", "ALUNO 7", "ALUNO 8"}) {
                         t.locate("NOME", nome);
                         t.deleteRecord();
                     }
                 },
                 [] {
                     Table t;
                     t.open(kDisk, "Licao.dbf");
                     return t.pack();
                 }};
    s["layout change"] = {{"Ajudas.dbf"}, [] {
                              makeTable("Ajudas.dbf", false, {}, 14);
                              Table t;
                              t.open(kDisk, "Ajudas.dbf");
                              t.locate("NOME", "ALUNO 5");
                              t.deleteRecord();
                          },
                          [] {  // a newer version's field added, the rows kept
                              std::vector<xbase::FieldDef> campos = lessonFields(false);
                              campos.push_back(field("CONTRASTE", xbase::FieldType::Logical, 1));
                              Table t;
                              t.open(kDisk, "Ajudas.dbf");
                              return t.changeLayout(campos);
                          }};
    s["tag rewrite"] = {{"Usuario.dbf"}, [] {
                            Table::create(kDisk, "Usuario.dbf", lessonFields(false), {{"NOME", "NOME"}});
                            std::vector<xbase::cdx::Tag> unique = xbase::cdx::read(kDisk + "/Usuario.cdx");
                            unique.front().options |= 0x01;
                            xbase::cdx::write(kDisk + "/Usuario.cdx", unique);
                            Table t;
                            t.open(kDisk, "Usuario.dbf");
                            fill(t, 1, 20, false);
                        },
                        [] {  // a unique tag is written anew whenever a key changes
                            Table t;
                            t.open(kDisk, "Usuario.dbf");
                            editRow(t, "ALUNO 3");
                            t.setString("NOME", "AAA PRIMEIRO");
                            return t.post();
                        }};
    return s;
}

} // namespace

class TestPowerCut : public QObject {
    Q_OBJECT

private slots:
    void everyCutLeavesSoundTables_data();
    void everyCutLeavesSoundTables();

private:
    // Writes a state's files into a folder of their own, once per distinct content.
    // The states the engine opened are checked by xbtool too.
    void keepForReaders(const SimulatedDisk::Image& image, const std::vector<std::string>& tables,
                        const QString& where);
    void runIndependentReaders();
    std::unique_ptr<QTemporaryDir> dumps_;
    QStringList dbfs_, cdxs_, checked_;  // tables for the readers, indexes, tables for xbtool
    QSet<QByteArray> seen_;
    int states_ = 0;
};

void TestPowerCut::everyCutLeavesSoundTables_data()
{
    QTest::addColumn<QString>("kind");
    for (const auto& [name, scenario] : scenarios())
        QTest::newRow(name.toUtf8().constData()) << name;
}

void TestPowerCut::everyCutLeavesSoundTables()
{
    QFETCH(QString, kind);
    const Scenario scenario = scenarios().at(kind);
    dumps_ = std::make_unique<QTemporaryDir>();
    dbfs_.clear();
    cdxs_.clear();
    checked_.clear();
    states_ = 0;

    SimulatedDisk::Image start;
    {
        SimulatedDisk disk({{}, {kDisk}});
        disk.install();
        scenario.setup();
        start = disk.current();
    }
    std::string before, after;
    int changes = 0;
    {
        SimulatedDisk disk(start);
        disk.install();
        before = describe(scenario.tables, false);
    }
    {
        SimulatedDisk disk(start);
        disk.install();
        QVERIFY(scenario.post());
        changes = disk.changesMade();
        after = describe(scenario.tables, false);
    }
    QVERIFY(before != after || kind == "pack");

    int cuts = 0;
    for (int cut = 1; cut <= changes; ++cut) {
        std::vector<SimulatedDisk::Image> states;
        bool acknowledged = false;
        {
            SimulatedDisk disk(start);
            disk.install();
            disk.cutAfter(cut);
            try {
                acknowledged = scenario.post();
            } catch (const xbase::Error&) {
            }
            states = disk.statesAfterCut(true);
        }
        ++cuts;
        for (std::size_t i = 0; i < states.size(); ++i) {
            const QString where = QString("cut after change %1 of %2, state %3 of %4")
                                      .arg(cut).arg(changes).arg(i + 1).arg(states.size());
            SimulatedDisk disk(states[i]);
            disk.install();
            std::string seen;
            try {
                describe(scenario.tables, true);
                seen = describe(scenario.tables, false);
            } catch (const std::exception& e) {
                QFAIL(qPrintable(where + ": " + QString::fromUtf8(e.what())));
            }
            if (acknowledged)
                QVERIFY2(seen == after, qPrintable(where + ": an acknowledged post is missing:\n" + QString::fromStdString(seen)));
            else
                QVERIFY2(seen == before || seen == after,
                         qPrintable(where + ": neither before nor after the post:\n" + QString::fromStdString(seen)));
            keepForReaders(states[i], scenario.tables, where + " (as the cut left it)");
            keepForReaders(disk.current(), scenario.tables, where + " (after the engine's open)");
            ++states_;
        }
    }
    runIndependentReaders();
    qInfo("%s: %d cuts, %d states, %d distinct file sets read by the independent readers", qPrintable(kind), cuts,
          states_, int(dbfs_.size()));
}

void TestPowerCut::keepForReaders(const SimulatedDisk::Image& image, const std::vector<std::string>& tables,
                                  const QString& where)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const auto& [path, bytes] : image.files)
        hash.addData(QByteArray::fromStdString(path + '\0' + bytes));
    const bool opened = where.endsWith("open)");
    const QByteArray digest = hash.result() + (opened ? "o" : "");
    if (seen_.contains(digest))
        return;
    seen_.insert(digest);
    const QString folder = dumps_->filePath(QString::number(seen_.size()));
    SimulatedDisk::writeTo(image, folder.toStdString());
    QFile state(folder + "/estado.txt");
    state.open(QIODevice::WriteOnly);
    state.write(where.toUtf8());
    for (const std::string& table : tables) {
        const QString dbf = folder + "/" + QString::fromStdString(table);
        dbfs_ << dbf;
        if (opened)
            checked_ << dbf;
        QString cdx = dbf;
        cdx.replace(".dbf", ".cdx");
        if (QFile::exists(cdx))
            cdxs_ << cdx;
    }
}

// The state the first path of a reader's complaint comes from.
static QByteArray stateOf(const QByteArray& complaint)
{
    const QByteArray first = complaint.left(complaint.indexOf('\t'));
    QFile state(QFileInfo(QString::fromUtf8(first)).path() + "/estado.txt");
    return state.open(QIODevice::ReadOnly) ? "\n" + state.readAll() : QByteArray();
}

void TestPowerCut::runIndependentReaders()
{
    const auto batch = [](const QString& program, const QStringList& args, const QStringList& paths) {
        QProcess p;
        p.start(program, args);
        p.waitForStarted();
        p.write(paths.join('\n').toUtf8() + '\n');
        p.closeWriteChannel();
        p.waitForFinished(600000);
        return p.readAllStandardOutput() + p.readAllStandardError();
    };
    const QByteArray python = batch("/usr/bin/python3", {TARVEX_SOURCE_DIR "/tests/xbase/independent_readers.py"}, dbfs_);
    QVERIFY2(python.isEmpty(), (python.left(2000) + stateOf(python)).constData());
    const QByteArray perl = batch("perl", {TARVEX_SOURCE_DIR "/tests/xbase/independent_index_reader.pl"}, cdxs_);
    QVERIFY2(perl.isEmpty(), (perl.left(2000) + stateOf(perl)).constData());
    for (const QString& dbf : dbfs_) {
        QString fpt = dbf;
        fpt.replace(".dbf", ".fpt");
        QStringList args {"-s", "cp1252"};
        if (QFile::exists(fpt))
            args << "-m" << fpt;
        const Execucao pgdbf = executar("pgdbf", args << dbf, QFileInfo(dbf).path());
        QVERIFY2(pgdbf.exitCode == 0, qPrintable(dbf + ": pgdbf: " + pgdbf.err.left(500) + stateOf(dbf.toUtf8() + '\t')));
    }
    for (const QString& dbf : checked_) {
        const Execucao check = executar(XBTOOL_PATH, {"check", dbf}, QFileInfo(dbf).path());
        QVERIFY2(check.exitCode == 0, qPrintable(dbf + ": " + check.out.left(1000) + stateOf(dbf.toUtf8() + '\t')));
    }
}

QTEST_GUILESS_MAIN(TestPowerCut)
#include "tst_power_cut.moc"
