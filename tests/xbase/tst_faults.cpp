// The errors a lab's file server answers with (EIO, ENOSPC, ENOLCK, ESTALE, EINTR), at each
// file call of each kind of post and of the pack: the post fails with a Portuguese message
// naming the table (or goes through, when the call could be retried), the tables read as they
// were, no lock stays held (another computer reads and writes at once), and the same post
// succeeds once the fault is gone. A power that stays off from one call on (every later call
// fails, the rollback's own writes too) leaves what a cut may leave.
#include "SimulatedDisk.h"
#include "PostScenarios.h"
#include "xbase/Error.h"

#include <QtTest>

#include <cerrno>

using namespace testutil;

namespace {

// A post split where the fault goes in: `begin` opens and prepares it, `act` writes.
struct Write {
    std::string table;
    std::function<void()> setup;
    std::function<void(Table&)> begin;
    std::function<bool(Table&)> act;
};

bool post(Table& t) { return t.post(); }

std::map<QString, Write> writes()
{
    const auto nothing = [](Table&) {};
    std::map<QString, Write> w;
    w["append"] = {"Relat.dbf", [] { makeTable("Relat.dbf", false, {}, 11); },
                   [](Table& t) {
                       t.insert();
                       t.setString("NOME", "NOVO");
                   },
                   post};
    w["append with a memo"] = {"Teclas.dbf", [] { makeTable("Teclas.dbf", true, {}, 9); },
                               [](Table& t) {
                                   t.insert();
                                   t.setString("NOME", "NOVO");
                                   t.setString("TEXTO", std::string(700, 'k'));
                               },
                               post};
    w["edit"] = {"Relat.dbf", [] { makeTable("Relat.dbf", false, {}, 14); },
                 [](Table& t) {
                     editRow(t, "ALUNO 12");
                     t.setString("NOME", "OUTRO NOME");
                 },
                 post};
    w["memo edit"] = {"Licao.dbf", [] { makeTable("Licao.dbf", true, kTipo, 12); },
                      [](Table& t) {
                          editRow(t, "ALUNO 4");
                          t.setString("TEXTO", "um texto novo " + std::string(300, 'n'));
                      },
                      post};
    w["key change"] = {"Licao.dbf", [] { makeTable("Licao.dbf", true, kTipo, 12); },
                       [](Table& t) {
                           editRow(t, "ALUNO 5");
                           t.setString("TIPO", "Avançado");
                       },
                       post};
    w["delete"] = {"Relat.dbf", [] { makeTable("Relat.dbf", false, {}, 14); },
                   [](Table& t) { t.locate("NOME", "ALUNO 12"); },
                   [](Table& t) {
                       t.deleteRecord();
                       return true;
                   }};
    w["pack"] = {"Licao.dbf",
                 [] {
                     makeTable("Licao.dbf", true, kTipo, 14);
                     Table t;
                     t.open(kDisk, "Licao.dbf");
                     for (const char* nome : {"ALUNO 2", "ALUNO 7"}) {
                         t.locate("NOME", nome);
                         t.deleteRecord();
                     }
                 },
                 nothing, [](Table& t) { return t.pack(); }};
    return w;
}

// Another computer at once: it opens the table, reads it fresh and locks each of its records
// (a lock left held would make it wait, then fail).
std::string readAsAnotherComputer(const std::string& table)
{
    Table other;
    other.open(kDisk, table);
    other.readFresh();
    for (other.first(); !other.eof(); other.next()) {
        other.edit();
        other.cancel();
    }
    return describe({table}, true);
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void init() { xbase::environment().lockWaitMilliseconds = 30; }
    void everyFaultFailsCleanly_data();
    void everyFaultFailsCleanly();
    void powerOffFromOneCallOn_data() { everyFaultFailsCleanly_data(); }
    void powerOffFromOneCallOn();

private:
    // The disk with the tables made, what they hold before and after the write, and the
    // calls the write makes.
    void prepare(const Write& w);
    bool faultAt(const Write& w, int call, int error, const QString& where);
    SimulatedDisk::Image start_;
    std::string before_, after_;
    int calls_ = 0;
};

void TestFaults::everyFaultFailsCleanly_data()
{
    QTest::addColumn<QString>("kind");
    for (const auto& entry : writes())
        QTest::newRow(entry.first.toUtf8().constData()) << entry.first;
}

void TestFaults::prepare(const Write& w)
{
    {
        SimulatedDisk disk({{}, {kDisk}});
        disk.install();
        w.setup();
        start_ = disk.current();
        before_ = describe({w.table}, true);
    }
    SimulatedDisk disk(start_);
    disk.install();
    Table t;
    t.open(kDisk, w.table);
    w.begin(t);
    const int from = disk.callsMade();
    QVERIFY(w.act(t));
    calls_ = disk.callsMade() - from;
    t.close();
    after_ = describe({w.table}, true);
    QVERIFY(calls_ > 0);
}

void TestFaults::everyFaultFailsCleanly()
{
    QFETCH(QString, kind);
    const Write w = writes().at(kind);
    prepare(w);
    int failed = 0;
    for (int error : {EIO, ENOSPC, ENOLCK, ESTALE, EINTR}) {
        for (int call = 1; call <= calls_; ++call) {
            const QString where = QString("%1, call %2 of %3").arg(strerror(error)).arg(call).arg(calls_);
            try {
                failed += faultAt(w, call, error, where);
            } catch (const std::exception& e) {
                QFAIL(qPrintable(where + ": " + e.what()));
            }
            if (QTest::currentTestFailed())
                return;
        }
    }
    QVERIFY(failed > 0);
}

// The write with one call failing; true when the write failed.
bool TestFaults::faultAt(const Write& w, int call, int error, const QString& where)
{
    SimulatedDisk disk(start_);
    disk.install();
    Table t;
    t.open(kDisk, w.table);
    w.begin(t);
    disk.failCall(call, error);
    bool failed = false, done = false;
    try {
        done = w.act(t);
    } catch (const xbase::Error& e) {
        failed = true;
        const std::string message = e.what();
        const std::string table = w.table.substr(0, w.table.size() - 4);
        [&] {
            QVERIFY2(message.find(table) != std::string::npos, qPrintable(where + ": " + e.what()));
            QVERIFY2(message.find("error") == std::string::npos, qPrintable(where + ": " + e.what()));
        }();
        t.cancel();  // as the program's write guard does
        const std::string seen = readAsAnotherComputer(w.table);
        [&] { QVERIFY2(seen == before_, qPrintable(where + ": " + e.what() + "\n" + QString::fromStdString(seen))); }();
        w.begin(t);  // the same write again, the fault gone
        done = w.act(t);
    }
    [&] { QVERIFY2(done, qPrintable(where)); }();
    t.close();
    describe({w.table}, false);  // opens without a question, every tag right
    [&] { QVERIFY2(describe({w.table}, true) == after_, qPrintable(where)); }();
    return failed;
}

void TestFaults::powerOffFromOneCallOn()
{
    QFETCH(QString, kind);
    const Write w = writes().at(kind);
    prepare(w);
    for (int call = 1; call <= calls_; ++call) {
        SimulatedDisk::Image left;
        {
            SimulatedDisk disk(start_);
            disk.install();
            Table t;
            t.open(kDisk, w.table);
            w.begin(t);
            disk.cutAfter(disk.changesMade() + call);  // this call's change made, none after
            try {
                w.act(t);
            } catch (const xbase::Error&) {
            }
            left = disk.current();
        }
        SimulatedDisk disk(left);  // the power back
        disk.install();
        describe({w.table}, false);
        const std::string seen = describe({w.table}, true);
        QVERIFY2(seen == before_ || seen == after_, qPrintable(QString("call %1").arg(call)));
    }
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
