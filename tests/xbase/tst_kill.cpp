// A child doing the end-of-lesson writes is killed at random points; after each kill every
// table opens, xbtool finds nothing wrong once the engine has opened it, and no round the
// child reported as posted is missing. TARVEX_KILLS sets the number of kills (default 40).
#include "XbaseTestUtil.h"
#include "xbase/Error.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace testutil;
using xbase::Table;

class TestKill : public QObject {
    Q_OBJECT

private slots:
    void killedWritesLoseNothing();
};

void TestKill::killedWritesLoseNothing()
{
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    Table::create(d, "Relat.dbf", lessonFields(false));
    Table::create(d, "Licao.dbf", lessonFields(true), {{"TIPO", "TIPO+STR(LICAO,3)"}});
    for (const char* name : {"Usuario.dbf", "Recorde.dbf"}) {
        Table::create(d, name, lessonFields(false));
        Table t;
        t.open(d, name);
        append(t, {"U0", "Básico", 1});
    }
    {
        Table t;
        t.open(d, "Licao.dbf");
        append(t, {"L0", "Textos", 0});
    }

    const int kills = qEnvironmentVariableIsSet("TARVEX_KILLS") ? qEnvironmentVariableIntValue("TARVEX_KILLS") : 40;
    QRandomGenerator random(20261208);
    uint posted = 0;
    int cutInsideRound = 0;
    for (int k = 0; k < kills; ++k) {
        QProcess child;
        child.start(KILL_CHILD_PATH, {dir.path()});
        QVERIFY(child.waitForStarted());
        QThread::usleep(random.bounded(1000, 40000));
        child.kill();
        child.waitForFinished();
        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        const QByteArray error = child.readAllStandardError();
        QVERIFY2(error.isEmpty(), error.constData());
        for (const QByteArray& line : lines)
            if (!line.isEmpty())
                posted = std::max(posted, line.toUInt());

        Table relat, usuario, licao;
        relat.open(d, "Relat.dbf");
        usuario.open(d, "Usuario.dbf");
        licao.open(d, "Licao.dbf");
        QVERIFY2(relat.physicalCount() >= posted, qPrintable(QString("%1 < %2").arg(relat.physicalCount()).arg(posted)));
        for (uint r = 1; r <= relat.physicalCount(); ++r) {
            relat.goTo(r);
            QCOMPARE(relat.asString("NOME"), "R" + std::to_string(r));
        }
        const uint student = QByteArray::fromStdString(usuario.asString("NOME").substr(1)).toUInt();
        QVERIFY(student >= posted);
        cutInsideRound += relat.physicalCount() > student;
        licao.setIndexName("TIPO");
        for (licao.first(); !licao.eof(); licao.next())
            QVERIFY(licao.asString("TEXTO").size() <= 300 + 6);

        for (const char* name : {"Relat.dbf", "Usuario.dbf", "Recorde.dbf", "Licao.dbf"}) {
            QProcess check;
            check.start(XBTOOL_PATH, {"check", dir.filePath(name)});
            QVERIFY(check.waitForFinished());
            QVERIFY2(check.exitCode() == 0, check.readAllStandardOutput().constData());
        }
    }
    qInfo("%d kills, %u rounds posted, %d kills fell between the result row and the student's edit",
          kills, posted, cutInsideRound);
    QVERIFY(posted > 0);
}

QTEST_GUILESS_MAIN(TestKill)
#include "tst_kill.moc"
