// xbtool travas: the check a school's technician runs on the shared folder. It must say yes
// only when a lock taken through one view of the folder stops a process that comes through
// the other, and say why when the views are not one folder.
#include "Processo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TstTravas : public QObject {
    Q_OBJECT
private slots:
    void travasNaPasta_data();
    void travasNaPasta();
};

void TstTravas::travasNaPasta_data()
{
    QTest::addColumn<QString>("outraVista");  // relative to the temporary folder; empty: none given
    QTest::addColumn<int>("saida");
    QTest::addColumn<QString>("conclusao");
    QTest::newRow("a própria pasta") << QString() << 0 << QStringLiteral("As travas funcionam nesta pasta.");
    QTest::newRow("outro caminho para a pasta") << QStringLiteral("atalho") << 0
                                                << QStringLiteral("As travas funcionam nesta pasta.");
    QTest::newRow("outra pasta") << QStringLiteral("outra") << 1 << QStringLiteral("não é a mesma pasta");
    QTest::newRow("pasta que não existe") << QStringLiteral("falta") << 1 << QStringLiteral("não é a mesma pasta");
}

void TstTravas::travasNaPasta()
{
    QFETCH(QString, outraVista);
    QFETCH(int, saida);
    QFETCH(QString, conclusao);
    QTemporaryDir tmp;
    const QString pasta = tmp.filePath(QStringLiteral("dados"));
    QVERIFY(QDir().mkpath(pasta));
    QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("outra"))));
    QVERIFY(QFile::link(pasta, tmp.filePath(QStringLiteral("atalho"))));

    QStringList args{QStringLiteral("travas"), pasta};
    if (!outraVista.isEmpty()) args << tmp.filePath(outraVista);
    const Execucao r = executar(QStringLiteral(XBTOOL_PATH), args, tmp.path());
    QVERIFY2(r.exitCode == saida, r.out.constData());
    QVERIFY2(QString::fromUtf8(r.out).contains(conclusao), r.out.constData());
    // The test file is gone: nothing is left in the technician's folder.
    QCOMPARE(QDir(pasta).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

QTEST_GUILESS_MAIN(TstTravas)
#include "tst_travas.moc"
