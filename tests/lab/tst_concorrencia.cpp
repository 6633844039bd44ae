// Many processes, standing for a lab's computers, finish lessons on one shared folder at once:
// each appends a result, moves its own student to the next lesson and checks the course record.
// Nothing may be lost or doubled, the record must hold the true best and every table must
// stay sound.
#include "xbase/Locks.h"
#include "xbase/Table.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <set>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kProcessos = 30;
constexpr int kLicoes = 200;

std::string aluno(int i) { return "ALUNO" + std::to_string(i); }

// The speed of student i in lesson n: spread so that the best is reached by one lesson only.
int velocidade(int i, int n) { return 100 + (i * 7919 + n * 104729) % 9000; }

void criarTabelas(const std::string& pasta)
{
    using xbase::FieldDef;
    using xbase::FieldType;
    xbase::Table::create(pasta, "Relat.dbf",
                         {{"NOME", FieldType::Character, 20}, {"LICAO", FieldType::Numeric, 3},
                          {"VELOCIDADE", FieldType::Numeric, 5}},
                         {{"NOME", "NOME"}});
    xbase::Table::create(pasta, "Aluno.dbf", {{"NOME", FieldType::Character, 20}, {"LICAO", FieldType::Numeric, 3}},
                         {{"NOME", "NOME"}, {"LICAO", "LICAO"}});
    // The record table has no tags: it locks at the other positions.
    xbase::Table::create(pasta, "Rec.dbf", {{"NOME", FieldType::Character, 20}, {"VELOCIDADE", FieldType::Numeric, 5}});

    xbase::Table alunos;
    alunos.open(pasta, "Aluno.dbf");
    for (int i = 0; i < kProcessos; ++i) {
        alunos.insert();
        alunos.setString("NOME", aluno(i));
        alunos.setInteger("LICAO", 0);
        alunos.post();
    }
    xbase::Table rec;
    rec.open(pasta, "Rec.dbf");
    rec.insert();
    rec.setInteger("VELOCIDADE", 0);
    rec.post();
}

// Some computers are switched off in the middle (every sixth, after a few lessons).
bool desligado(int i) { return i % 6 == 1; }
int licoesAntesDeDesligar(int i) { return 5 + i; }

// One computer: every table opened before the others start posting, so that each must read in
// what the others did meanwhile. After each lesson end it notes in "feitas" how many it
// finished. Returns the longest lock wait in microseconds.
uint64_t computador(const std::string& pasta, int i, int feitas)
{
    xbase::Table relat, alunos, rec;
    relat.open(pasta, "Relat.dbf");
    alunos.open(pasta, "Aluno.dbf");
    alunos.setIndexName("NOME");
    rec.open(pasta, "Rec.dbf");
    for (int n = 1; n <= kLicoes; ++n) {
        const int v = velocidade(i, n);
        relat.insert();
        relat.setString("NOME", aluno(i));
        relat.setInteger("LICAO", n);
        relat.setInteger("VELOCIDADE", v);
        relat.post();

        if (!alunos.findKey(aluno(i)))
            throw xbase::Error("aluno sumiu: " + aluno(i));
        alunos.edit();
        alunos.setInteger("LICAO", alunos.asInteger("LICAO") + 1);
        alunos.post();

        rec.first();
        rec.edit();  // re-reads the record: the best of everybody so far
        if (rec.asInteger("VELOCIDADE") < v) {
            rec.setInteger("VELOCIDADE", v);
            rec.setString("NOME", aluno(i));
            rec.post();
        } else {
            rec.cancel();
        }
        if (::pwrite(feitas, &n, sizeof n, 0) != sizeof n)
            throw xbase::Error("progresso não gravado");
    }
    return xbase::locks::longestWaitMicroseconds();
}

} // namespace

class TestConcorrencia : public QObject {
    Q_OBJECT
private slots:
    void fimDeLicaoEmMuitosComputadores();
    void travaDoRegistroEmEdicao_data();
    void travaDoRegistroEmEdicao();
};

// Whether another program finds the byte at offset of the file locked.
static bool travado(const std::string& arquivo, uint64_t offset)
{
    const int fd = ::open(arquivo.c_str(), O_RDWR);
    struct flock trava {};
    trava.l_type = F_WRLCK;
    trava.l_whence = SEEK_SET;
    trava.l_start = static_cast<off_t>(offset);
    trava.l_len = 1;
    const bool ok = ::fcntl(fd, F_OFD_GETLK, &trava) == 0;
    ::close(fd);
    return ok && trava.l_type != F_UNLCK;
}

void TestConcorrencia::travaDoRegistroEmEdicao_data()
{
    QTest::addColumn<bool>("comTags");
    QTest::addColumn<qulonglong>("registro2");  // where record 2 is locked
    QTest::addColumn<qulonglong>("registro3");
    // Tagged: counting down from 0x7FFFFFFE. Untagged: 0x40000000 + the record's offset
    // (header 32 + 32 + 1 = 65 bytes, records of 11 bytes).
    QTest::newRow("com .cdx") << true << 0x7FFFFFFEull - 2 << 0x7FFFFFFEull - 3;
    QTest::newRow("sem tags") << false << 0x40000000ull + 65 + 11 << 0x40000000ull + 65 + 22;
}

void TestConcorrencia::travaDoRegistroEmEdicao()
{
    QFETCH(bool, comTags);
    QFETCH(qulonglong, registro2);
    QFETCH(qulonglong, registro3);
    xbase::environment().lockWaitMilliseconds = 30;
    QTemporaryDir tmp;
    const std::string pasta = tmp.path().toStdString();
    const std::vector<xbase::TagDef> tags = comTags ? std::vector<xbase::TagDef>{{"NOME", "NOME"}}
                                                    : std::vector<xbase::TagDef>{};
    xbase::Table::create(pasta, "Relat.dbf", {{"NOME", xbase::FieldType::Character, 10}}, tags);
    xbase::Table um, outro;
    um.open(pasta, "Relat.dbf");
    for (const char* nome : {"ANA", "BIA", "CAIO"}) {
        um.insert();
        um.setString("NOME", nome);
        um.post();
    }
    outro.open(pasta, "Relat.dbf");
    const std::string arquivo = pasta + "/Relat.dbf";

    // An edit holds its record, and only it, until the post.
    um.goTo(2);
    um.edit();
    QVERIFY(travado(arquivo, registro2));
    QVERIFY(!travado(arquivo, registro3));
    outro.goTo(2);
    try {
        outro.edit();
        QFAIL("the record being edited elsewhere was taken");
    } catch (const xbase::Error& e) {
        QCOMPARE(QString::fromUtf8(e.what()), "Relat.dbf está em uso por outro computador; tente de novo");
    }
    outro.goTo(3);
    outro.edit();
    outro.setString("NOME", "CAROL");
    QVERIFY(outro.post());
    um.setString("NOME", "BEATRIZ");
    QVERIFY(um.post());
    QVERIFY(!travado(arquivo, registro2));

    // The edit re-reads its record: the other's change is not written over.
    um.goTo(3);
    um.edit();
    QCOMPARE(um.asString("NOME"), "CAROL");
    um.cancel();
    QVERIFY(!travado(arquivo, registro3));
    xbase::environment().lockWaitMilliseconds = 5000;
}

void TestConcorrencia::fimDeLicaoEmMuitosComputadores()
{
    xbase::environment().syncOnPost = false;  // the locks are under test, not the disk
    QTemporaryDir tmp;
    const std::string pasta = tmp.path().toStdString();
    criarTabelas(pasta);

    QElapsedTimer relogio;
    relogio.start();
    std::vector<pid_t> filhos;
    for (int i = 0; i < kProcessos; ++i) {
        const pid_t pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            int saida = 0;
            try {
                const int feitas = ::open(tmp.filePath(QString("feitas%1").arg(i)).toLocal8Bit().constData(),
                                          O_RDWR | O_CREAT, 0644);
                const uint64_t espera = computador(pasta, i, feitas);
                QFile f(tmp.filePath(QString("espera%1").arg(i)));
                if (f.open(QIODevice::WriteOnly)) f.write(QByteArray::number(qulonglong(espera)));
            } catch (const std::exception& e) {
                std::fprintf(stderr, "computador %d: %s\n", i, e.what());
                saida = 1;
            }
            _exit(saida);
        }
        filhos.push_back(pid);
    }
    // Wherever the others stand in their posts at that moment.
    const auto feitas = [&tmp](int i) {
        int n = 0;
        QFile f(tmp.filePath(QString("feitas%1").arg(i)));
        if (f.open(QIODevice::ReadOnly)) f.read(reinterpret_cast<char*>(&n), sizeof n);
        return n;
    };
    for (int i = 0; i < kProcessos; ++i) {
        if (!desligado(i)) continue;
        while (feitas(i) < licoesAntesDeDesligar(i)) usleep(200);
        ::kill(filhos[i], SIGKILL);
    }
    for (int i = 0; i < kProcessos; ++i) {
        int status = 0;
        QCOMPARE(waitpid(filhos[i], &status, 0), filhos[i]);
        if (desligado(i)) QVERIFY(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
        else QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a computer failed");
    }
    const double segundos = relogio.nsecsElapsed() / 1e9;
    uint64_t maiorEspera = 0;
    for (int i = 0; i < kProcessos; ++i) {
        QFile f(tmp.filePath(QString("espera%1").arg(i)));
        if (f.open(QIODevice::ReadOnly)) maiorEspera = std::max<uint64_t>(maiorEspera, f.readAll().toULongLong());
    }

    // The files as the survivors left them, checked byte by byte before the engine opens
    // (and so repairs) anything: the posts cut short by a kill were made good by the others.
    for (const char* nome : {"Relat.dbf", "Aluno.dbf", "Rec.dbf"}) {
        QProcess check;
        check.start(XBTOOL_PATH, {"check", tmp.filePath(nome)});
        QVERIFY(check.waitForFinished());
        QVERIFY2(check.exitCode() == 0, check.readAllStandardOutput().constData());
    }

    // Every finished lesson's result once, and nothing else but the one a kill cut short;
    // each student at the lesson of his results; the best speed in the record.
    xbase::Table relat;
    relat.open(pasta, "Relat.dbf");
    std::map<std::string, std::set<long long>> licoes;
    std::set<long long> velocidades;
    for (relat.first(); !relat.eof(); relat.next()) {
        QVERIFY(licoes[relat.asString("NOME")].insert(relat.asInteger("LICAO")).second);
        velocidades.insert(relat.asInteger("VELOCIDADE"));
    }
    xbase::Table alunos;
    alunos.open(pasta, "Aluno.dbf");
    alunos.setIndexName("NOME");
    QCOMPARE(alunos.physicalCount(), uint32_t(kProcessos));
    int melhorTerminado = 0;
    int terminadas = 0;
    for (int i = 0; i < kProcessos; ++i) {
        const int feito = desligado(i) ? feitas(i) : kLicoes;
        terminadas += feito;
        const std::set<long long>& minhas = licoes[aluno(i)];
        const int gravadas = static_cast<int>(minhas.size());
        QVERIFY(gravadas == feito || gravadas == feito + 1);
        QCOMPARE(minhas.empty() ? 0 : *minhas.rbegin(), gravadas);  // 1..gravadas, no gaps
        QVERIFY(alunos.findKey(aluno(i)));
        QVERIFY(alunos.asInteger("LICAO") >= feito && alunos.asInteger("LICAO") <= gravadas);
        for (int n = 1; n <= feito; ++n) melhorTerminado = std::max(melhorTerminado, velocidade(i, n));
    }
    xbase::Table rec;
    rec.open(pasta, "Rec.dbf");
    QCOMPARE(rec.physicalCount(), 1u);
    QVERIFY(rec.asInteger("VELOCIDADE") >= melhorTerminado);
    QVERIFY(velocidades.count(rec.asInteger("VELOCIDADE")));
    QVERIFY(relat.checkTags().empty());
    QVERIFY(alunos.checkTags().empty());
    qInfo("%d processes, %d lesson ends each, %d killed: %.0f lesson ends per second, longest lock wait %.1f ms",
          kProcessos, kLicoes, (kProcessos + 4) / 6, terminadas / segundos, maiorEspera / 1000.0);
}

QTEST_GUILESS_MAIN(TestConcorrencia)
#include "tst_concorrencia.moc"
