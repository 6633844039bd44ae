// One table open in several places at once (other computers, or other handles in this
// program): a pack waits until the table is alone, an open waits for a pack to end and then
// works on the new files, and a fresh read sees what the others wrote.
#include "ContadorDeChamadas.h"
#include "XbaseTestUtil.h"
#include "xbase/FileSystem.h"
#include "xbase/Environment.h"
#include "xbase/Error.h"
#include "xbase/Repair.h"

#include <QDir>
#include <QtEndian>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testutil;
using xbase::Table;

namespace {

constexpr off_t kOpenByte = 0x7FFFFFFF;

ino_t inodeOf(const std::string& file)
{
    struct stat s {};
    return ::stat(file.c_str(), &s) == 0 ? s.st_ino : 0;
}

// How many descriptors of this process are open on that file.
int descriptorsOn(ino_t inode)
{
    int n = 0;
    for (const QString& fd : QDir("/proc/self/fd").entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        struct stat s {};
        if (::stat(("/proc/self/fd/" + fd).toLocal8Bit().constData(), &s) == 0 && s.st_ino == inode)
            ++n;
    }
    return n;
}

// What a pack holds on a table: the open byte, for writing, on a descriptor of its own.
int holdAlone(const std::string& file)
{
    const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kOpenByte;
    lock.l_len = 1;
    return fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? fd : -1;
}

} // namespace

class TestSharing : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void packWaitsUntilAlone_data();
    void packWaitsUntilAlone();
    void openDuringPackEndsOnNewFiles();
    void readFreshSeesAnotherWriter();
    void freshReadFollowsTheChanges_data();
    void freshReadFollowsTheChanges();
    void openAndAppendReadNoOtherRow();
    void repairWaitsUntilAlone();
    void rewrittenFilesKeepTheGroupsWrite();
    void readOnlyOpenAfterAWriterDiedBeforeItsTags();

private:
    // Relat.dbf with a NOME tag and the students ANA, BIA, CAIO and DUDA.
    void makeTable(const std::string& dir);
    std::unique_ptr<QTemporaryDir> dir_;
    std::string d() const { return dir_->path().toStdString(); }
    std::string file() const { return d() + "/Relat.dbf"; }
};

void TestSharing::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    makeTable(d());
}

void TestSharing::cleanup()
{
    xbase::environment().lockWaitMilliseconds = 5000;
    xbase::environment().syncOnPost = true;
    xbase::setFileSystem(nullptr);
}

namespace {

// A results table of some years: many pages of rows, no tags.
void makeLongTable(const std::string& dir, int rows)
{
    Table::create(dir, "Longa.dbf", lessonFields(false));
    xbase::environment().syncOnPost = false;
    Table t;
    t.open(dir, "Longa.dbf");
    for (int i = 1; i <= rows; ++i)
        append(t, {("ALUNO" + std::to_string(i)).c_str(), "Básico", i % 60 + 1});
    xbase::environment().syncOnPost = true;
}

// What a program that knows nothing of the change counter, or a writer killed in the middle,
// leaves: bytes of a row changed in place.
void writeRawName(const std::string& file, uint32_t recno, const QByteArray& name, int changesStep)
{
    QByteArray bytes = readFile(file);
    const int headerLength = qFromLittleEndian<quint16>(bytes.constData() + 8);
    const int recordLength = qFromLittleEndian<quint16>(bytes.constData() + 10);
    bytes.replace(headerLength + int(recno - 1) * recordLength + 1, name.size(), name);
    const quint32 changes = qFromLittleEndian<quint32>(bytes.constData() + 16) + quint32(changesStep);
    qToLittleEndian(changes, bytes.data() + 16);
    writeFile(file, bytes);
}

} // namespace

void TestSharing::makeTable(const std::string& dir)
{
    Table::create(dir, "Relat.dbf", lessonFields(false), {{"NOME", "NOME"}});
    Table t;
    t.open(dir, "Relat.dbf");
    for (const char* nome : {"ANA", "BIA", "CAIO", "DUDA"})
        append(t, {nome, "Básico", 1});
}

void TestSharing::packWaitsUntilAlone_data()
{
    QTest::addColumn<QString>("outro");
    QTest::newRow("outra tabela neste programa") << "tabela";
    QTest::newRow("outra, somente leitura") << "leitura";
    QTest::newRow("outro computador") << "processo";
}

void TestSharing::packWaitsUntilAlone()
{
    QFETCH(QString, outro);
    Table t;
    t.open(d(), "Relat.dbf");
    std::unique_ptr<Table> aberta;
    pid_t filho = -1;
    int pronto[2], fim[2];
    QVERIFY(::pipe(pronto) == 0 && ::pipe(fim) == 0);
    if (outro == "processo") {
        filho = fork();
        QVERIFY(filho >= 0);
        if (filho == 0) {
            ::close(fim[1]);  // the parent's close of it is the signal to end
            Table x;
            x.open(d(), "Relat.dbf");
            char c = 1;
            const bool ok = ::write(pronto[1], &c, 1) == 1 && ::read(fim[0], &c, 1) >= 0;
            _exit(ok ? 0 : 1);
        }
        char c = 0;
        QCOMPARE(::read(pronto[0], &c, 1), ssize_t(1));
    } else {
        aberta = std::make_unique<Table>();
        aberta->open(d(), "Relat.dbf", outro == "leitura");
    }

    const ino_t antes = inodeOf(file());
    t.goTo(2);
    t.deleteRecord();
    QVERIFY(!t.pack());
    QCOMPARE(t.physicalCount(), 4u);
    QCOMPARE(t.count(), 3u);  // the deleted row is already out of sight
    QCOMPARE(t.deletedCount(), 1u);
    QCOMPARE(inodeOf(file()), antes);
    if (aberta)
        QCOMPARE(aberta->physicalCount(), 4u);

    if (filho > 0) {
        ::close(fim[1]);
        int status = 0;
        QCOMPARE(::waitpid(filho, &status, 0), filho);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    } else {
        aberta->close();
    }
    for (int fd : {pronto[0], pronto[1], fim[0], fim[1]})
        ::close(fd);

    QVERIFY(t.pack());
    QCOMPARE(t.physicalCount(), 3u);
    QCOMPARE(t.deletedCount(), 0u);
    QVERIFY(inodeOf(file()) != antes);
    QVERIFY(t.checkTags().empty());
}

// A pack stands for itself here: the open byte held for writing on the old file, a new file
// renamed over it, held the same way until its tags would be made.
void TestSharing::openDuringPackEndsOnNewFiles()
{
    const int velho = holdAlone(file());
    QVERIFY(velho >= 0);

    // An open that cannot wait long enough names the table.
    xbase::environment().lockWaitMilliseconds = 30;
    Table impaciente;
    try {
        impaciente.open(d(), "Relat.dbf");
        QFAIL("a table being packed was opened");
    } catch (const xbase::Error& e) {
        QCOMPARE(QString::fromUtf8(e.what()), "Relat.dbf está em uso por outro computador; tente de novo");
        QCOMPARE(e.kind(), xbase::ErrorKind::Busy);
    }
    QVERIFY(!impaciente.isOpen());

    xbase::environment().lockWaitMilliseconds = 20000;
    const ino_t inodeVelho = inodeOf(file());
    std::atomic<uint32_t> registros{0};
    std::string primeiro, erro;
    std::thread abertura([&] {
        try {
            Table t;
            t.open(d(), "Relat.dbf");
            registros = t.physicalCount();
            t.setIndexName("NOME");
            t.first();
            primeiro = t.asString("Nome");
        } catch (const xbase::Error& e) {
            erro = e.what();
        }
    });
    QTRY_COMPARE(descriptorsOn(inodeVelho), 2);  // the open waits on the old file

    // The packed table: ANA and CAIO gone.
    const std::string outra = d() + "/novo";
    QDir().mkpath(QString::fromStdString(outra));
    {
        Table::create(outra, "Relat.dbf", lessonFields(false), {{"NOME", "NOME"}});
        Table t;
        t.open(outra, "Relat.dbf");
        for (const char* nome : {"BIA", "DUDA"})
            append(t, {nome, "Básico", 1});
    }
    const int novo = holdAlone(outra + "/Relat.dbf");
    QVERIFY(novo >= 0);
    const ino_t inodeNovo = inodeOf(outra + "/Relat.dbf");
    for (const char* ext : {".cdx", ".dbf"})
        QVERIFY(::rename((outra + "/Relat" + ext).c_str(), (d() + "/Relat" + ext).c_str()) == 0);
    ::close(velho);
    QTRY_COMPARE(descriptorsOn(inodeNovo), 2);  // it left the old file for the new one
    QCOMPARE(descriptorsOn(inodeVelho), 0);
    QCOMPARE(registros.load(), 0u);
    ::close(novo);
    abertura.join();
    QCOMPARE(QString::fromStdString(erro), QString());
    QCOMPARE(registros.load(), 2u);
    QCOMPARE(primeiro, std::string("BIA"));
}

void TestSharing::readFreshSeesAnotherWriter()
{
    Table leitor, escritor;
    leitor.open(d(), "Relat.dbf", true);
    leitor.setIndexName("NOME");
    QVERIFY(leitor.findKey("CAIO"));
    escritor.open(d(), "Relat.dbf");
    append(escritor, {"EVA", "Básico", 2});
    escritor.goTo(2);
    escritor.edit();
    escritor.setString("Nome", "BEATRIZ");
    QVERIFY(escritor.post());
    escritor.goTo(1);
    escritor.deleteRecord();

    QCOMPARE(leitor.physicalCount(), 4u);
    leitor.readFresh();
    QCOMPARE(leitor.recNo(), 3u);  // the cursor stays
    QCOMPARE(leitor.physicalCount(), 5u);
    QCOMPARE(leitor.count(), 4u);
    QStringList nomes;
    for (leitor.first(); !leitor.eof(); leitor.next())
        nomes << QString::fromStdString(leitor.asString("Nome"));
    QCOMPARE(nomes, QStringList({"BEATRIZ", "CAIO", "DUDA", "EVA"}));  // the tag read again too
}

// A fresh read takes in what another writer changed: appended, edited or deleted rows, and
// the rows of a writer that died in the middle of a change (the counter left odd). A change
// that moved neither the count nor the counter is not read again: the rows already read are
// trusted, which is what keeps a fresh read of a long table cheap.
void TestSharing::freshReadFollowsTheChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<uint>("recno");
    QTest::addColumn<QString>("seen");
    QTest::addColumn<uint>("visible");
    QTest::newRow("linha nova no fim") << "append" << 2001u << "NOVA" << 2001u;
    QTest::newRow("linha mudada no lugar") << "edit" << 1500u << "MUDADA" << 2000u;
    QTest::newRow("linha apagada") << "delete" << 700u << "ALUNO700" << 1999u;
    QTest::newRow("gravador morto no meio") << "killed" << 3u << "MORTO" << 2000u;
    QTest::newRow("sem contador nem contagem") << "raw" << 3u << "ALUNO3" << 2000u;
}

void TestSharing::freshReadFollowsTheChanges()
{
    QFETCH(QString, change);
    QFETCH(uint, recno);
    QFETCH(QString, seen);
    QFETCH(uint, visible);
    makeLongTable(d(), 2000);
    Table reader, writer;
    reader.open(d(), "Longa.dbf");
    QCOMPARE(reader.count(), 2000u);  // every row read
    writer.open(d(), "Longa.dbf");
    if (change == "append") {
        append(writer, {"NOVA", "Básico", 1});
    } else if (change == "edit") {
        writer.goTo(recno);
        writer.edit();
        writer.setString("NOME", "MUDADA");
        QVERIFY(writer.post());
    } else if (change == "delete") {
        writer.goTo(recno);
        writer.deleteRecord();
    } else {
        writeRawName(path(dir_->path(), "Longa.dbf"), recno, "MORTO ", change == "killed" ? 1 : 0);
    }
    reader.readFresh();
    reader.goTo(recno);
    QCOMPARE(QString::fromStdString(reader.asString("NOME")), seen);
    QCOMPARE(reader.isDeleted(), change == "delete");
    QCOMPARE(reader.count(), visible);
}

// On a file server every byte read crosses the network: an open reads the header, an append
// no other row, and a fresh read after another computer's append nothing of the rows.
void TestSharing::openAndAppendReadNoOtherRow()
{
    makeLongTable(d(), 5000);  // about 165 KB of rows
    ContadorDeChamadas counter;
    xbase::setFileSystem(&counter);
    Table table, other;
    table.open(d(), "Longa.dbf");
    append(table, {"NOVA", "Básico", 1});
    QVERIFY2(counter.lidos < 16 * 1024, qPrintable(QString::number(counter.lidos)));
    other.open(d(), "Longa.dbf");
    append(other, {"OUTRA", "Básico", 2});
    counter.zerar();
    table.readFresh();
    QVERIFY2(counter.lidos < 1024, qPrintable(QString::number(counter.lidos)));
    table.last();
    QCOMPARE(table.asString("NOME"), std::string("OUTRA"));
    table.close();
    other.close();
    xbase::setFileSystem(nullptr);
}

// A repair writes the files anew: not under another computer that has them open.
void TestSharing::repairWaitsUntilAlone()
{
    xbase::environment().lockWaitMilliseconds = 30;
    auto outra = std::make_unique<Table>();
    outra->open(d(), "Relat.dbf", true);
    const QByteArray antes = readFile(file());
    try {
        xbase::repairTable(file());
        QFAIL("a table open elsewhere was repaired");
    } catch (const xbase::Error& e) {
        QCOMPARE(QString::fromUtf8(e.what()), "Relat.dbf está em uso por outro computador; tente de novo");
        QCOMPARE(e.kind(), xbase::ErrorKind::Busy);
    }
    QCOMPARE(readFile(file()), antes);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());  // no backup either
    outra.reset();
    QCOMPARE(xbase::repairTable(file()).recordsKept, 4u);
}

// On one computer with several seats, the users share the folder through their group: a table
// made or rewritten by one (a pack renames new files over the old) stays writable by the others
// as far as their umask allows.
void TestSharing::rewrittenFilesKeepTheGroupsWrite()
{
    const mode_t antes = ::umask(002);
    const std::string pasta = d() + "/grupo";
    QVERIFY(QDir().mkpath(QString::fromStdString(pasta)));
    makeTable(pasta);
    {
        Table t;
        t.open(pasta, "Relat.dbf");
        t.deleteRecord();
        QVERIFY(t.pack());
    }
    ::umask(antes);
    for (const char* nome : {"/Relat.dbf", "/Relat.cdx"}) {
        struct stat s {};
        QCOMPARE(::stat((pasta + nome).c_str(), &s), 0);
        QCOMPARE(s.st_mode & 0777, mode_t(0664));
    }
}

// A computer switched off between a record and its tags leaves them out of step until the next
// writer mends them. A teacher's read-only look meanwhile reads the records in file order; only
// the stale tag is refused as an order. A writer's open then mends it.
void TestSharing::readOnlyOpenAfterAWriterDiedBeforeItsTags()
{
    QByteArray bytes = readFile(file());
    const int primeiroNome = qFromLittleEndian<quint16>(bytes.constData() + 8) + 1;
    QCOMPARE(bytes.mid(primeiroNome, 3), QByteArray("ANA"));
    bytes.replace(primeiroNome, 4, "ZECA");
    writeFile(file(), bytes);

    Table leitura;
    leitura.open(d(), "Relat.dbf", true);
    QCOMPARE(leitura.asString("NOME"), std::string("ZECA"));
    QCOMPARE(leitura.count(), 4u);
    try {
        leitura.setIndexName("NOME");
        QFAIL("a stale tag was taken as the order");
    } catch (const xbase::Error& e) {
        QVERIFY(QString::fromUtf8(e.what()).contains("não confere com os registros (tag NOME)"));
    }
    leitura.close();

    Table escrita;
    escrita.open(d(), "Relat.dbf");
    QVERIFY(escrita.checkTags().empty());
    escrita.setIndexName("NOME");
    escrita.last();
    QCOMPARE(escrita.asString("NOME"), std::string("ZECA"));
}

QTEST_GUILESS_MAIN(TestSharing)
#include "tst_sharing.moc"
