// Many processes, standing for a lab's computers, finish lessons on one shared folder at once:
// each appends a result, moves its own student to the next lesson and checks the course record.
// Nothing may be lost or doubled, the record must hold the true best and every table must
// stay sound. Once more with the teacher's computer listing the class again and again and
// removing a student in the middle.
#include "ContadorDeChamadas.h"
#include "domain/ArquivoTeclas.h"
#include "domain/Cursos.h"
#include "domain/Esquema.h"
#include "domain/TabelasTurma.h"
#include "xbase/Locks.h"
#include "xbase/Table.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
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

// The student the teacher removes: no computer of his own, results and key figures from before.
const std::string kAusente = "AUSENTE";
constexpr int kResultadosDoAusente = 40;
// Student 0 stops at this lesson until the removal is done, so that it happens while every
// computer has the tables open.
constexpr int kLicaoDaRemocao = 100;

// The speed of student i in lesson n: spread so that the best is reached by one lesson only.
int velocidade(int i, int n) { return 100 + (i * 7919 + n * 104729) % 9000; }

void postarResultado(xbase::Table& relat, const std::string& nome, int licao, int velocidade)
{
    relat.insert();
    relat.setString("NOME", nome);
    relat.setString("TIPO", "Básico");
    relat.setInteger("LICAO", licao);
    relat.setInteger("VELOCIDADE", velocidade);
    relat.setInteger("PRECISAO", 90 + licao % 10);
    relat.setString("RESULTADO", velocidade > 5000 ? dominio::kAprovado : "Reprovado");
    relat.post();
}

void postarTeclas(xbase::Table& teclas, const std::string& nome, int licao)
{
    teclas.insert();
    teclas.setString("NOME", nome);
    teclas.setString("TIPO", "Básico");
    teclas.setInteger("LICAO", licao);
    teclas.setString("TECLAS", "65 10 1 200 83 1");
    teclas.post();
}

// The students' and results' fields as the program has them, with tags so that those tables
// lock at the positions of tables with a .cdx.
void criarTabelas(const std::string& pasta)
{
    using xbase::FieldDef;
    using xbase::FieldType;
    xbase::Table::create(pasta, "Relat.dbf", dominio::esquemaRelat().campos, {{"NOME", "NOME"}});
    xbase::Table::create(pasta, "Aluno.dbf", dominio::esquemaUsuario().campos, {{"NOME", "NOME"}, {"LICAO", "LICAO"}});
    // The record table has no tags: it locks at the other positions.
    xbase::Table::create(pasta, "Rec.dbf", {{"NOME", FieldType::Character, 20}, {"VELOCIDADE", FieldType::Numeric, 5}});
    dominio::criarTabela(pasta, dominio::esquemaTeclas());

    xbase::Table alunos;
    alunos.open(pasta, "Aluno.dbf");
    for (int i = 0; i <= kProcessos; ++i) {
        alunos.insert();
        alunos.setString("NOME", i == kProcessos ? kAusente : aluno(i));
        alunos.setString("TIPO", "Básico");
        alunos.setString("NIVEL", "Iniciante");
        alunos.setInteger("LICAO", i == kProcessos ? kResultadosDoAusente : 0);
        alunos.post();
    }
    xbase::Table relat, teclas;
    relat.open(pasta, "Relat.dbf");
    teclas.open(pasta, dominio::esquemaTeclas().arquivo);
    for (int n = 1; n <= kResultadosDoAusente; ++n) {
        postarResultado(relat, kAusente, n, 1000 + n);
        postarTeclas(teclas, kAusente, n);
        if (n <= 3) postarTeclas(teclas, aluno(0), n);
    }
    xbase::Table rec;
    rec.open(pasta, "Rec.dbf");
    rec.insert();
    rec.setInteger("VELOCIDADE", 0);
    rec.post();
}

bool existe(const std::string& arquivo) { return ::access(arquivo.c_str(), F_OK) == 0; }

void gravarNumero(const std::string& arquivo, qulonglong n)
{
    QFile f(QString::fromStdString(arquivo));
    if (!f.open(QIODevice::WriteOnly) || f.write(QByteArray::number(n)) <= 0 || !f.flush())
        throw xbase::Error(xbase::ErrorKind::Invalid, "não gravado: " + arquivo);
}

// What a computer noted in its "feitas" file: the lessons it finished.
int licoesFeitas(const std::string& arquivo)
{
    int n = 0;
    QFile f(QString::fromStdString(arquivo));
    if (f.open(QIODevice::ReadOnly)) f.read(reinterpret_cast<char*>(&n), sizeof n);
    return n;
}

qulonglong lerNumero(const std::string& arquivo)
{
    QFile f(QString::fromStdString(arquivo));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toULongLong() : 0;
}

// Some computers are switched off in the middle (every sixth, after a few lessons).
bool desligado(int i) { return i % 6 == 1; }
int licoesAntesDeDesligar(int i) { return 5 + i; }

// One computer: every table opened before the others start posting, so that each must read in
// what the others did meanwhile. After each lesson end it notes in "feitas" how many it
// finished. Student 0 waits for the teacher's removal at its lesson when `removido` is given.
// Returns the longest lock wait in microseconds.
uint64_t computador(const std::string& pasta, int i, int feitas, const std::string& removido)
{
    xbase::Table relat, alunos, rec;
    relat.open(pasta, "Relat.dbf");
    alunos.open(pasta, "Aluno.dbf");
    alunos.setIndexName("NOME");
    rec.open(pasta, "Rec.dbf");
    for (int n = 1; n <= kLicoes; ++n) {
        for (int espera = 0; i == 0 && n == kLicaoDaRemocao && !removido.empty() && !existe(removido); ++espera) {
            if (espera > 60000)
                throw xbase::Error(xbase::ErrorKind::Invalid, "o professor não removeu o aluno");
            usleep(500);
        }
        const int v = velocidade(i, n);
        postarResultado(relat, aluno(i), n, v);

        if (!alunos.findKey(aluno(i)))
            throw xbase::Error(xbase::ErrorKind::Invalid, "aluno sumiu: " + aluno(i));
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
            throw xbase::Error(xbase::ErrorKind::Invalid, "progresso não gravado");
    }
    return xbase::locks::longestWaitMicroseconds();
}

// Runs `corpo` as another computer: a child process that ends 0 when it returns, 1 (saying
// why) when it throws. Returns the child's pid, -1 when it could not start.
pid_t outroComputador(const std::string& quem, const std::function<void()>& corpo)
{
    const pid_t pid = fork();
    if (pid != 0) return pid;
    int saida = 0;
    try {
        corpo();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", quem.c_str(), e.what());
        saida = 1;
    }
    _exit(saida);
}

// The teacher's computer, with the students and results open as the program holds them: lists
// the class again and again (no student's count of results may go down), and removes the
// absent student once student 0 stands at kLicaoDaRemocao. Lists until `fim` appears, then
// writes its figures beside it.
void professor(const std::string& pasta, const std::string& feitas0, const std::string& removido,
               const std::string& fim)
{
    xbase::Table alunos, relat;
    alunos.open(pasta, "Aluno.dbf");
    relat.open(pasta, "Relat.dbf");
    std::map<std::string, int> vistos;
    bool removeu = false, compactou = false;
    qulonglong listagens = 0;
    while (!existe(fim)) {
        const dominio::FigurasTurma turma = dominio::lerTurma(pasta, "Aluno.dbf", "Relat.dbf");
        ++listagens;
        for (const dominio::FigurasAluno& a : turma.linhas()) {
            if (a.resultados < vistos[a.nome])
                throw xbase::Error(xbase::ErrorKind::Invalid, "a turma perdeu resultados de " + a.nome);
            vistos[a.nome] = a.resultados;
            if (removeu && a.nome == kAusente)
                throw xbase::Error(xbase::ErrorKind::Invalid, "o aluno removido continua na turma");
        }
        if (!removeu && licoesFeitas(feitas0) >= kLicaoDaRemocao - 1) {
            alunos.readFresh();
            if (!alunos.locate("NOME", kAusente))
                throw xbase::Error(xbase::ErrorKind::Invalid, "o aluno a remover sumiu");
            compactou = dominio::removerAluno(alunos, relat, pasta);
            removeu = true;
            gravarNumero(removido, compactou);
        }
    }
    gravarNumero(fim + ".listagens", listagens);
    gravarNumero(fim + ".espera", xbase::locks::longestWaitMicroseconds());
}

// xbtool and dbfread accept every table; dbfread counts the live rows of each.
void conferirArquivos(const QTemporaryDir& tmp, QMap<QString, int>* vivos)
{
    const QStringList nomes{"Relat.dbf", "Aluno.dbf", "Rec.dbf", "Teclas.dbf"};
    for (const QString& nome : nomes) {
        QProcess check;
        check.start(XBTOOL_PATH, {"check", tmp.filePath(nome)});
        QVERIFY(check.waitForFinished());
        QVERIFY2(check.exitCode() == 0, check.readAllStandardOutput().constData());
    }
    QProcess leitor;
    QStringList argumentos{"-c", "import sys; from dbfread import DBF\n"
                                 "for p in sys.argv[1:]: print(len(list(DBF(p, encoding='cp1252'))))"};
    for (const QString& nome : nomes) argumentos << tmp.filePath(nome);
    leitor.start("/usr/bin/python3", argumentos);
    QVERIFY(leitor.waitForFinished());
    QVERIFY2(leitor.exitCode() == 0, leitor.readAllStandardError().constData());
    const QList<QByteArray> contagens = leitor.readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(contagens.size(), nomes.size());
    for (int k = 0; k < nomes.size(); ++k) (*vivos)[nomes[k]] = contagens[k].toInt();
}

} // namespace

class TestConcorrencia : public QObject {
    Q_OBJECT
private slots:
    void partidasAoMesmoTempo();
    void fimDeLicaoEmMuitosComputadores_data();
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

// A morning in the lab: every computer starts at once on a share of the school's network and
// opens the results of years as the start does (open, the pack that needs the table alone,
// the first row). None may be told the table is in use: an open reads under a lock that any
// number of opens share, and not the rows it does not need.
void TestConcorrencia::partidasAoMesmoTempo()
{
    QTemporaryDir tmp;
    const std::string pasta = tmp.path().toStdString();
    xbase::environment().syncOnPost = false;
    dominio::criarTabela(pasta, dominio::esquemaRelat());
    {
        xbase::Table relat;
        relat.open(pasta, "Relat.dbf");
        for (int n = 0; n < 20000; ++n) postarResultado(relat, aluno(n % kProcessos), 1 + n % 60, 100 + n % 900);
    }
    xbase::environment().syncOnPost = true;
    std::vector<pid_t> filhos;
    for (int i = 0; i < kProcessos; ++i) {
        const pid_t pid = outroComputador("computador " + std::to_string(i), [&tmp, &pasta, i] {
            RedeLenta rede;
            xbase::setFileSystem(&rede);
            xbase::environment().lockWaitMilliseconds = 2000;
            xbase::Table relat;
            relat.open(pasta, "Relat.dbf");
            relat.packDeletedIfAlone();
            relat.first();
            gravarNumero(tmp.filePath(QString("espera%1").arg(i)).toStdString(), xbase::locks::longestWaitMicroseconds());
            relat.close();
            xbase::setFileSystem(nullptr);
        });
        QVERIFY(pid >= 0);
        filhos.push_back(pid);
    }
    int recusados = 0;
    for (pid_t pid : filhos) {
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        recusados += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    uint64_t maiorEspera = 0;
    for (int i = 0; i < kProcessos; ++i)
        maiorEspera = std::max<uint64_t>(maiorEspera, lerNumero(tmp.filePath(QString("espera%1").arg(i)).toStdString()));
    qInfo("%d starts at once on a 100 Mbit share, 20,000 results: %d refused, longest lock wait %.1f ms", kProcessos,
          recusados, maiorEspera / 1000.0);
    QCOMPARE(recusados, 0);
}

void TestConcorrencia::fimDeLicaoEmMuitosComputadores_data()
{
    QTest::addColumn<bool>("comProfessor");
    QTest::newRow("sem professor") << false;
    QTest::newRow("com professor") << true;
}

void TestConcorrencia::fimDeLicaoEmMuitosComputadores()
{
    QFETCH(bool, comProfessor);
    // The locks are under test, not the disk; LAB_SYNC=1 measures with every post on the disk, as
    // the program does.
    xbase::environment().syncOnPost = qEnvironmentVariableIsSet("LAB_SYNC");
    QTemporaryDir tmp;
    const std::string pasta = tmp.path().toStdString();
    criarTabelas(pasta);
    const std::string removido = comProfessor ? tmp.filePath("removido").toStdString() : std::string();
    const std::string fim = tmp.filePath("fim").toStdString();
    pid_t pidProfessor = -1;
    if (comProfessor) {
        pidProfessor = outroComputador("professor", [&] { professor(pasta, tmp.filePath("feitas0").toStdString(), removido, fim); });
        QVERIFY(pidProfessor >= 0);
    }

    QElapsedTimer relogio;
    relogio.start();
    std::vector<pid_t> filhos;
    for (int i = 0; i < kProcessos; ++i) {
        const pid_t pid = outroComputador("computador " + std::to_string(i), [&, i] {
            const int feitas = ::open(tmp.filePath(QString("feitas%1").arg(i)).toLocal8Bit().constData(),
                                      O_RDWR | O_CREAT, 0644);
            const uint64_t espera = computador(pasta, i, feitas, removido);
            gravarNumero(tmp.filePath(QString("espera%1").arg(i)).toStdString(), espera);
        });
        QVERIFY(pid >= 0);
        filhos.push_back(pid);
    }
    // Wherever the others stand in their posts at that moment.
    const auto feitas = [&tmp](int i) { return licoesFeitas(tmp.filePath(QString("feitas%1").arg(i)).toStdString()); };
    // A computer that ended (or failed) before its moment is not waited for in vain.
    std::vector<int> estados(kProcessos, 0);
    std::vector<bool> terminou(kProcessos, false);
    for (int i = 0; i < kProcessos; ++i) {
        if (!desligado(i)) continue;
        while (feitas(i) < licoesAntesDeDesligar(i) && !terminou[i]) {
            terminou[i] = waitpid(filhos[i], &estados[i], WNOHANG) == filhos[i];
            usleep(200);
        }
        if (!terminou[i]) ::kill(filhos[i], SIGKILL);
    }
    for (int i = 0; i < kProcessos; ++i) {
        int& status = estados[i];
        if (!terminou[i]) QCOMPARE(waitpid(filhos[i], &status, 0), filhos[i]);
        if (desligado(i)) QVERIFY(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
        else QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a computer failed");
    }
    const double segundos = relogio.nsecsElapsed() / 1e9;
    uint64_t maiorEspera = 0;
    for (int i = 0; i < kProcessos; ++i)
        maiorEspera = std::max<uint64_t>(maiorEspera, lerNumero(tmp.filePath(QString("espera%1").arg(i)).toStdString()));
    qulonglong listagens = 0;
    if (comProfessor) {
        gravarNumero(fim, 1);
        int status = 0;
        QCOMPARE(waitpid(pidProfessor, &status, 0), pidProfessor);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "the teacher's computer failed");
        listagens = lerNumero(fim + ".listagens");
        QVERIFY(listagens > 0);
        maiorEspera = std::max<uint64_t>(maiorEspera, lerNumero(fim + ".espera"));
    }

    // The files as the survivors left them, checked byte by byte before the engine opens
    // (and so repairs) anything: the posts cut short by a kill were made good by the others.
    QMap<QString, int> vivos;
    conferirArquivos(tmp, &vivos);
    if (comProfessor) {
        // The removal found the tables open everywhere: its rows wait, deleted, for a pack,
        // which runs now that the tables are alone.
        QCOMPARE(lerNumero(removido), 0ull);
        for (const char* nome : {"Relat.dbf", "Aluno.dbf"}) {
            xbase::Table t;
            t.open(pasta, nome);
            QVERIFY(t.deletedCount() > 0);
            QVERIFY(t.pack());
            QCOMPARE(t.deletedCount(), 0u);
        }
        QCOMPARE(vivos["Teclas.dbf"], 3);  // the absent student's key rows gone, the others kept
        QMap<QString, int> depois;
        conferirArquivos(tmp, &depois);
        QCOMPARE(depois, vivos);
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
    QCOMPARE(int(relat.count()), vivos["Relat.dbf"]);
    QCOMPARE(licoes.count(kAusente), std::size_t(comProfessor ? 0 : 1));
    xbase::Table alunos;
    alunos.open(pasta, "Aluno.dbf");
    alunos.setIndexName("NOME");
    QCOMPARE(alunos.physicalCount(), uint32_t(kProcessos + (comProfessor ? 0 : 1)));
    QCOMPARE(alunos.findKey(kAusente), !comProfessor);
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
    qInfo("%s: %d processes, %d lesson ends each, %d killed: %.0f lesson ends per second, longest lock wait "
          "%.1f ms; %llu class listings",
          comProfessor ? "with the teacher" : "without the teacher", kProcessos, kLicoes, (kProcessos + 4) / 6,
          terminadas / segundos, maiorEspera / 1000.0, listagens);
}

QTEST_GUILESS_MAIN(TestConcorrencia)
#include "tst_concorrencia.moc"
