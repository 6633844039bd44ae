#include "platform/CopiaArquivo.h"
#include "LimiteDeArquivo.h"
#include "platform/Diretorios.h"
#include "platform/InstanciaUnica.h"
#include "platform/TamanhoDaTela.h"

#include <optional>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sys/resource.h>

using namespace plataforma;

namespace {

void criarArquivo(const QString& caminho, const QByteArray& conteudo)
{
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(conteudo);
}

QByteArray lerArquivo(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray bytesAleatorios(int tamanho)
{
    QByteArray bytes(tamanho, Qt::Uninitialized);
    for (char& c : bytes) c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return bytes;
}

} // namespace

class TstArquivos : public QObject {
    Q_OBJECT

private slots:
    void startDir_data();
    void startDir();
    void startDirNaRaiz();
    void pastaDadosDaArvoreDeBuild();
    void resolver_data();
    void resolver();
    void copiaCompleta_data();
    void copiaCompleta();
    void falhasDaCopia_data();
    void falhasDaCopia();
    void pastaDadosEscolhida();
    void instanciaUnica();
    void tamanhoDaTela_data();
    void tamanhoDaTela();

private:
    QTemporaryDir tmp_;
};

void TstArquivos::startDir_data()
{
    QTest::addColumn<QString>("pastaDados"); // folder created under the current one, "" for none
    QTest::addColumn<QString>("sufixo");     // appended to the current directory
    QTest::addColumn<bool>("usaAtual");

    QTest::newRow("pasta com Dados") << "Dados" << "" << true;
    QTest::newRow("separador final") << "Dados" << "/" << true;
    QTest::newRow("dados em minúsculas") << "dados" << "" << true;
    QTest::newRow("sem Dados: pasta instalada") << "" << "" << false;
    QTest::newRow("Dados é um arquivo") << "Dados.txt" << "" << false;
    QTest::newRow("Dados do usuário, sem as tabelas") << "Dados-vazia" << "" << false;
}

void TstArquivos::startDir()
{
    QFETCH(QString, pastaDados);
    QFETCH(QString, sufixo);
    QFETCH(bool, usaAtual);

    QTemporaryDir atual;
    if (pastaDados.endsWith(QLatin1String(".txt"))) criarArquivo(atual.path() + "/Dados", "x");
    else if (pastaDados == QLatin1String("Dados-vazia")) QVERIFY(QDir(atual.path()).mkdir("Dados"));
    else if (!pastaDados.isEmpty()) {
        QVERIFY(QDir(atual.path()).mkdir(pastaDados));
        criarArquivo(atual.path() + "/" + pastaDados + "/Config.dbf", "x");
    }
    const QString instalada = QStringLiteral("/opt/tarvex/share/tarvex3");

    const QString esperado = usaAtual ? atual.path() : instalada;
    QCOMPARE(calcularStartDir(atual.path() + sufixo, instalada), esperado);
}

void TstArquivos::startDirNaRaiz()
{
    const auto soRaizTemDados = [](const QString& p) { return p == QLatin1String("/Dados"); };
    QCOMPARE(calcularStartDir("/", "/inst", soRaizTemDados), QString());
    QCOMPARE(juntar(calcularStartDir("/", "/inst", soRaizTemDados), "Dados"), QStringLiteral("/Dados"));

    const auto nenhumaTemDados = [](const QString&) { return false; };
    QCOMPARE(calcularStartDir("/", "/inst/", nenhumaTemDados), QStringLiteral("/inst"));
}

void TstArquivos::pastaDadosDaArvoreDeBuild()
{
    // The test runs from build/tests/platform; the program's data tree is build/data.
    if (!QFileInfo(QStringLiteral(TARVEX_DATA_DIR "/Dados")).isDir()) QSKIP("a pasta de dados ainda não foi gerada");
    QCOMPARE(pastaDadosInstalada(), QStringLiteral(TARVEX_DATA_DIR));
}

void TstArquivos::resolver_data()
{
    QTest::addColumn<QString>("pedido");
    QTest::addColumn<QString>("esperado");

    QTest::newRow("caixa diferente em cada parte") << "dados/TecladoA.dbf" << "Dados/TECLADOA.DBF";
    QTest::newRow("nome exato") << "Dados/TECLADOA.DBF" << "Dados/TECLADOA.DBF";
    QTest::newRow("o nome exato vence") << "som/QEL1.MID" << "som/QEL1.MID";
    QTest::newRow("outra caixa com duas opções") << "SOM/qel1.mid" << "som/QEL1.MID";
    QTest::newRow("parte ausente fica como escrita") << "DADOS/Nova/licaoB.fpt" << "Dados/Nova/licaoB.fpt";
    QTest::newRow("arquivo ausente") << "dados/Relat.dbf" << "Dados/Relat.dbf";
    QTest::newRow("separador final") << "DADOS/" << "Dados/";
}

void TstArquivos::resolver()
{
    QFETCH(QString, pedido);
    QFETCH(QString, esperado);

    const QString base = tmp_.path() + "/resolver";
    criarArquivo(base + "/Dados/TECLADOA.DBF", "a");
    criarArquivo(base + "/som/QEL1.MID", "m");
    criarArquivo(base + "/som/qel1.MID", "m");

    QCOMPARE(plataforma::resolver(base + "/" + pedido), base + "/" + esperado);
}

void TstArquivos::copiaCompleta_data()
{
    QTest::addColumn<int>("tamanho");

    QTest::newRow("vazio") << 0;
    QTest::newRow("menor que um bloco") << 1000;
    QTest::newRow("vários blocos") << 200'000;
    QTest::newRow("múltiplo exato de um bloco") << 4 * 64 * 1024;
}

void TstArquivos::copiaCompleta()
{
    QFETCH(int, tamanho);

    const QString origem = tmp_.path() + "/origem.bin";
    const QString destino = tmp_.path() + QStringLiteral("/novas/pastas/%1/destino.bin").arg(tamanho);
    const QByteArray conteudo = bytesAleatorios(tamanho);
    criarArquivo(origem, conteudo);
    const QDateTime data(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile f(origem);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(data, QFileDevice::FileModificationTime));
    }

    QList<QPair<qint64, qint64>> chamadas;
    copiarArquivo(origem, destino, [&](qint64 copiados, qint64 total) { chamadas.append({copiados, total}); });

    QCOMPARE(lerArquivo(destino), conteudo);
    QCOMPARE(QFileInfo(destino).lastModified(), data);

    QVERIFY(chamadas.size() >= 2);
    QCOMPARE(chamadas.last().first, qint64(0));
    QCOMPARE(chamadas.at(chamadas.size() - 2).first, qint64(tamanho));
    qint64 anterior = -1;
    for (int i = 0; i + 1 < chamadas.size(); ++i) {
        QCOMPARE(chamadas.at(i).second, qint64(tamanho));
        QVERIFY(chamadas.at(i).first >= anterior);
        anterior = chamadas.at(i).first;
    }
}

void TstArquivos::falhasDaCopia_data()
{
    QTest::addColumn<QString>("origem");
    QTest::addColumn<QString>("destino");
    QTest::addColumn<QString>("mensagem");
    QTest::addColumn<int>("limiteArquivo");  // file-size limit in bytes; 0: none

    const QString t = tmp_.path();
    criarArquivo(t + "/bom.dbf", "conteudo");
    criarArquivo(t + "/grande.fpt", QByteArray(200 * 1024, 'g'));
    criarArquivo(t + "/arquivo", "não é pasta");

    QTest::newRow("origem ausente") << t + "/falta.dbf" << t + "/x.dbf"
                                    << "Não é possível abrir o arquivo " + t + "/falta.dbf" << 0;
    QTest::newRow("origem é pasta") << t << t + "/y.dbf" << "Não é possível abrir o arquivo " + t << 0;
    QTest::newRow("pasta do destino é arquivo") << t + "/bom.dbf" << t + "/arquivo/z.dbf"
                                                << "Não é possível criar a pasta " + t + "/arquivo" << 0;
    QTest::newRow("destino é pasta") << t + "/bom.dbf" << t
                                     << "Erro de gravação no fluxo em " + t + ": é uma pasta, não um arquivo" << 0;
    if (QFileInfo::exists("/proc/self/mem"))
        QTest::newRow("leitura falha") << "/proc/self/mem" << t + "/mem"
                                       << "Erro de leitura de fluxo em /proc/self/mem: erro de entrada e saída no disco" << 0;
    QTest::newRow("disco cheio no meio") << t + "/grande.fpt" << t + "/copia/LicaoB.fpt"
                                         << "Erro de gravação no fluxo em " + t
                                                + "/copia/LicaoB.fpt: arquivo grande demais (limite de tamanho de arquivo)"
                                         << 100 * 1024;
}

void TstArquivos::falhasDaCopia()
{
    QFETCH(QString, origem);
    QFETCH(QString, destino);
    QFETCH(QString, mensagem);
    QFETCH(int, limiteArquivo);

    QString recebida;
    {
        std::optional<LimiteDeArquivo> limite;
        if (limiteArquivo > 0) limite.emplace(rlim_t(limiteArquivo));
        try {
            copiarArquivo(origem, destino, {});
        } catch (const ErroCopia& e) {
            recebida = e.mensagem();
        }
    }
    QCOMPARE(recebida, mensagem);
    // Nothing cut is left under the target's name or beside it.
    if (!QFileInfo(destino).isDir()) QVERIFY(!QFileInfo::exists(destino));
    QVERIFY(!QFileInfo::exists(destino + ".copiando"));
}

void TstArquivos::pastaDadosEscolhida()
{
    // The option beats the variable, the variable beats the machine's file; none: own folder.
    const QString conf = tmp_.path() + "/tarvex3.conf";
    criarArquivo(conf, "# laboratório\n  pasta_dados = /srv/lab/ # a pasta do servidor\n");
    const QStringList semOpcao{"tarvex3"};
    QCOMPARE(plataforma::pastaDadosEscolhida(semOpcao, "", conf), "/srv/lab");
    QCOMPARE(plataforma::pastaDadosEscolhida(semOpcao, "/home/ana/dados", conf), "/home/ana/dados");
    QCOMPARE(plataforma::pastaDadosEscolhida({"tarvex3", "--pasta-dados", "/mnt/a"}, "/x", conf), "/mnt/a");
    QCOMPARE(plataforma::pastaDadosEscolhida({"tarvex3", "--pasta-dados=/mnt/b"}, "", conf), "/mnt/b");
    QCOMPARE(plataforma::pastaDadosEscolhida(semOpcao, "", tmp_.path() + "/nao-existe.conf"), QString());
    criarArquivo(conf, "outra_chave = /x\n");
    QCOMPARE(plataforma::pastaDadosEscolhida(semOpcao, "", conf), QString());
}

void TstArquivos::instanciaUnica()
{
    // The program's own lock lives in the user's runtime folder, not in the shared data folder.
    definirDiretorioTrabalho(tmp_.path() + "/qel99");
    const QString runtime = tmp_.path() + "/run";
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    QVERIFY(adquirirInstanciaUnica());
    QVERIFY(adquirirInstanciaUnica()); // asking again in the same run keeps it
    QVERIFY(QFileInfo::exists(runtime + "/tarvex3.lock"));
    QVERIFY(!QFileInfo::exists(tmp_.path() + "/qel99/tarvex3.lock"));
    // Another copy (another open of the file) cannot take it.
    const auto travar = [](const QString& arquivo) {
        const int fd = ::open(QFile::encodeName(arquivo).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    };
    QCOMPARE(travar(runtime + "/tarvex3.lock"), -1);

    // A copy that finds the lock taken is refused.
    const QString trava = tmp_.path() + "/outra.lock";
    const int outraCopia = travar(trava);
    QVERIFY(outraCopia >= 0);
    QVERIFY(!adquirirInstanciaUnica(trava));
    QString motivo;
    QVERIFY(!adquirirInstanciaUnica(trava, &motivo));
    QVERIFY(motivo.isEmpty());  // another copy: "O Tarvex já está aberto."
    ::close(outraCopia);  // that copy ends
    QVERIFY(adquirirInstanciaUnica(trava));

    // A copy that was killed leaves nothing that keeps the program from starting again.
    const QString daMorta = tmp_.path() + "/morta.lock";
    int aviso[2];
    QVERIFY(::pipe(aviso) == 0);
    const pid_t filho = ::fork();
    if (filho == 0) {
        const char r = adquirirInstanciaUnica(daMorta) ? 'S' : 'N';
        if (::write(aviso[1], &r, 1) != 1) ::_exit(2);
        ::pause();
        ::_exit(0);
    }
    char resposta = 0;
    QCOMPARE(::read(aviso[0], &resposta, 1), ssize_t(1));
    QCOMPARE(resposta, 'S');
    QVERIFY(!adquirirInstanciaUnica(daMorta));
    ::kill(filho, SIGKILL);
    ::waitpid(filho, nullptr, 0);
    ::close(aviso[0]);
    ::close(aviso[1]);
    QVERIFY(adquirirInstanciaUnica(daMorta));

    // A folder that cannot be written is named, with the cause; it is not another copy.
    criarArquivo(tmp_.path() + "/arquivo", "não é pasta");
    QVERIFY(!adquirirInstanciaUnica(tmp_.path() + "/arquivo/x.lock", &motivo));
    QCOMPARE(motivo, "Não é possível gravar na pasta de trabalho " + tmp_.path()
                         + "/arquivo: um nome do caminho não é uma pasta.");

    // The lock is held until the process ends, after the temporary folder is gone.
    const QString ultima = QDir::temp().filePath(
        QStringLiteral("tst_plataforma_%1.lock").arg(QCoreApplication::applicationPid()));
    QVERIFY(adquirirInstanciaUnica(ultima));
}

void TstArquivos::tamanhoDaTela_data()
{
    QTest::addColumn<QByteArray>("conteudo");  // empty: no file
    QTest::addColumn<int>("lido");
    QTest::addColumn<QByteArray>("escala");     // QT_SCALE_FACTOR put at start
    QTest::newRow("sem arquivo") << QByteArray() << 100 << QByteArray();
    QTest::newRow("150") << QByteArray("150\n") << 150 << QByteArray("1.5");
    QTest::newRow("200") << QByteArray("200") << 200 << QByteArray("2");
    QTest::newRow("tamanho não oferecido") << QByteArray("175\n") << 100 << QByteArray();
    QTest::newRow("lixo") << QByteArray("\x01zz") << 100 << QByteArray();
}

// The size kept on this computer, read back, and the scale the next start takes from it.
void TstArquivos::tamanhoDaTela()
{
    QFETCH(QByteArray, conteudo);
    QFETCH(int, lido);
    QFETCH(QByteArray, escala);
    QTemporaryDir pasta;
    const QString arquivo = pasta.filePath(QStringLiteral("config/tarvex3/tamanho-do-texto"));
    const plataforma::TamanhoDaTela tamanho(arquivo);
    if (!conteudo.isEmpty()) {
        tamanho.gravar(200);  // makes the folders
        criarArquivo(arquivo, conteudo);
    }
    QCOMPARE(tamanho.ler(), lido);
    qunsetenv("QT_SCALE_FACTOR");
    tamanho.aplicarAntesDeAbrir();
    QCOMPARE(qgetenv("QT_SCALE_FACTOR"), escala);
    qunsetenv("QT_SCALE_FACTOR");
    tamanho.gravar(150);
    QCOMPARE(tamanho.ler(), 150);
}

QTEST_GUILESS_MAIN(TstArquivos)
#include "tst_arquivos.moc"
