// Two computers of a lab, each a copy of the real program on its own X display and as its own
// user, on one shared data folder: two students finish lesson 1 with their last keystroke sent
// to both at the same moment, and both results must be stored once, both students moved on
// and every table sound. The copies are driven through their windows with xdotool.
#include "domain/Esquema.h"
#include "domain/Estatisticas.h"
#include "domain/Linhas.h"
#include "Processo.h"
#include "xbase/Table.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

const QString kTipo = QString::fromUtf8("Básico");

struct Aluno {
    QString nome;
    QString tecla;  // the key that picks the name in the student chooser
};
const Aluno kAlunos[2] = {{QStringLiteral("ANA SOUZA"), QStringLiteral("a")},
                          {QStringLiteral("BIA LIMA"), QStringLiteral("b")}};

// The shared folder as a technician leaves it after the first start: the shipped tables, the
// keyboard question answered, no sound or music (the test machine has no sound card), and the
// two students registered at lesson 1.
void prepararPastaCompartilhada(const QString& pasta)
{
    const QDir dados(QStringLiteral(TARVEX_DATA_DIR "/Dados"));
    for (const char* nome : {"LicaoA.dbf", "LicaoA.cdx", "LicaoA.fpt", "LicaoB.dbf", "LicaoB.cdx", "LicaoB.fpt",
                             "Recorde.dbf", "Relat.dbf", "Usuario.dbf"})
        QVERIFY(QFile::copy(dados.filePath(nome), pasta + QLatin1Char('/') + nome));
    const std::string p = pasta.toStdString();
    dominio::criarTabela(p, dominio::esquemaConfig());
    xbase::Table config;
    config.open(p, "Config.dbf");
    config.insert();
    config.setBoolean("SOM", false);
    config.setBoolean("MUSICA", false);
    config.setBoolean("ABNT2", true);
    QVERIFY(config.post());

    xbase::Table usuarios;
    usuarios.open(p, "Usuario.dbf");
    for (const Aluno& a : kAlunos) {
        usuarios.insert();
        usuarios.setString("NOME", a.nome.toStdString());
        usuarios.setString("TIPO", kTipo.toStdString());
        usuarios.setString("NIVEL", "Iniciante");
        usuarios.setInteger("LICAO", 1);
        usuarios.setBoolean("TECLADO", true);
        QVERIFY(usuarios.post());
    }
}

// What the student types: lesson 1 of the course in the lines the practice window divides it
// into.
QStringList linhasDaLicao(const QString& pasta)
{
    xbase::Table licoes;
    licoes.open(pasta.toStdString(), "LicaoB.dbf", true);
    QStringList linhas;
    for (licoes.first(); !licoes.eof(); licoes.next()) {
        if (QString::fromStdString(licoes.asString("TIPO")).trimmed() != kTipo || licoes.asInteger("LICAO") != 1)
            continue;
        for (const std::string& linha : dominio::dividirLinhas(licoes.asString("TEXTO")))
            linhas << QString::fromStdString(linha).left(int(dominio::kLarguraLinha));
    }
    return linhas;
}

// One computer: an X display of its own, and the program started there as its own user.
class Computador {
public:
    Computador(const QString& raiz, int numero) : raiz_(raiz + QStringLiteral("/usuario%1").arg(numero)) {}

    ~Computador()
    {
        for (QProcess* p : {&programa_, &xvfb_}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->kill();
            p->waitForFinished(5000);
        }
    }

    // False when the display cannot be started.
    bool ligar()
    {
        // -displayfd: the server picks a free display and writes its number when it is ready.
        xvfb_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                             QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                             QStringLiteral("tcp")});
        if (!QTest::qWaitFor([this] { return xvfb_.canReadLine() || xvfb_.state() == QProcess::NotRunning; }, 20000))
            return false;
        const QByteArray numero = xvfb_.readLine().trimmed();
        if (numero.isEmpty()) return false;
        display_ = QStringLiteral(":") + QString::fromLatin1(numero);
        return true;
    }

    void abrirPrograma(const QString& pastaDados)
    {
        const QString home = raiz_ + QStringLiteral("/home");
        const QString runtime = raiz_ + QStringLiteral("/run");
        QDir().mkpath(home);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("TARVEX3_PASTA_DADOS"));
        programa_.setProcessEnvironment(env);
        programa_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The program finds its shipped Dados in the folder it starts in.
        programa_.setWorkingDirectory(QStringLiteral(TARVEX_DATA_DIR));
        programa_.start(QStringLiteral(TARVEX3_PATH), {QStringLiteral("--pasta-dados"), pastaDados});
        // Until the start is confirmed the process counts as not running yet.
        programa_.waitForStarted(10000);
    }

    bool programaRodando() const { return programa_.state() == QProcess::Running; }

    // xdotool on this display; its output, or nothing when it failed (a search that finds
    // nothing fails too).
    std::optional<QByteArray> xdotool(const QStringList& args) const
    {
        QProcess p;
        p.setProcessEnvironment(ambienteX());
        p.start(QStringLiteral("xdotool"), args);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return std::nullopt;
        return p.readAllStandardOutput();
    }

    // Starts xdotool without waiting: the typing of both computers runs side by side.
    void xdotoolAoFundo(QProcess& p, const QStringList& args) const
    {
        p.setProcessEnvironment(ambienteX());
        p.start(QStringLiteral("xdotool"), args);
    }

    // Types the lines, each ended with Enter but the last, without waiting. Enter is a key of
    // its own: xdotool types a newline as Linefeed, and its "type" takes every word after it.
    void digitarAoFundo(QProcess& p, const QStringList& linhas) const
    {
        p.setProcessEnvironment(ambienteX());
        p.start(QStringLiteral("bash"),
                QStringList{QStringLiteral("-euc"),
                            QStringLiteral("n=0; for linha in \"$@\"; do\n"
                                           "  if [ $n -gt 0 ]; then xdotool key Return; fi\n"
                                           "  xdotool type --delay 30 -- \"$linha\"; n=$((n + 1))\n"
                                           "done"),
                            QStringLiteral("digitar")}
                    + linhas);
    }

    // The program's visible windows with exactly this title.
    QStringList janelas(const QString& titulo) const
    {
        return procurar(QStringLiteral("--name"), QLatin1Char('^') + QRegularExpression::escape(titulo) + QLatin1Char('$'));
    }

    // Waits until the program shows a window with this title; empty when it does not.
    QString esperarJanela(const QString& titulo, int ms = 30000) const
    {
        QString janela;
        (void)QTest::qWaitFor([&] {
            const QStringList js = janelas(titulo);
            if (!js.isEmpty()) janela = js.last();
            return !janela.isEmpty() || !programaRodando();
        }, ms);
        if (!programaRodando())
            qWarning("the program ended (%s, status %d) while \"%s\" was awaited",
                     programa_.exitStatus() == QProcess::CrashExit ? "crashed" : "exited", programa_.exitCode(),
                     qPrintable(titulo));
        return janela;
    }

    // The menu is ready when the start-up is over: the splash is gone and only the menu shows.
    bool esperarMenu() const
    {
        return QTest::qWaitFor([this] {
            return procurar(QStringLiteral("--class"), QStringLiteral(".")).size() == 1
                   && janelas(QStringLiteral("Tarvex 3")).size() == 1;
        }, 30000);
    }

    bool clicar(const QString& janela, int x, int y) const
    {
        return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), janela, QString::number(x),
                        QString::number(y), QStringLiteral("click"), QStringLiteral("1")})
            .has_value();
    }

    bool focar(const QString& janela) const
    {
        return xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), janela}).has_value();
    }

    // The window's size, from xdotool's "Geometry: WxH".
    QSize tamanho(const QString& janela) const
    {
        const QString saida = QString::fromLatin1(xdotool({QStringLiteral("getwindowgeometry"), janela}).value_or(""));
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)")).match(saida);
        return m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
    }

    bool capturar(const QString& arquivo) const
    {
        return executar(QStringLiteral("import"), {QStringLiteral("-display"), display_, QStringLiteral("-window"),
                                                   QStringLiteral("root"), arquivo},
                        QDir::tempPath())
                   .exitCode
               == 0;
    }

private:
    // The program's visible windows whose title (--name) or class (--class: every window of
    // the program has one, the untitled splash too) matches the pattern.
    QStringList procurar(const QString& campo, const QString& padrao) const
    {
        const std::optional<QByteArray> saida =
            xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                     QString::number(programa_.processId()), campo, padrao});
        return QString::fromLatin1(saida.value_or("")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QProcessEnvironment ambienteX() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        return env;
    }

    QString raiz_;
    QString display_;
    QProcess xvfb_;
    QProcess programa_;
};

// The student's way from the menu to a running lesson: the practice button, the name, Iniciar.
void abrirLicao(Computador& c, const Aluno& aluno)
{
    QVERIFY2(c.esperarMenu(), "the menu did not finish starting");
    const QString menu = c.janelas(QStringLiteral("Tarvex 3")).value(0);
    // The menu's buttons sit on a 632 x 453 panel centred above a 30-pixel strip.
    const QSize tela = c.tamanho(menu);
    const QPoint painel((tela.width() - 632) / 2, (tela.height() - 483) / 2);
    QVERIFY(c.clicar(menu, painel.x() + 8 + 125, painel.y() + 8 + 50));

    const QString abrir = c.esperarJanela(QStringLiteral("Abrir"));
    QVERIFY2(!abrir.isEmpty(), "the student chooser did not open");
    QVERIFY(c.focar(abrir));
    QVERIFY(c.xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50"), aluno.tecla,
                       QStringLiteral("Return")}));

    const QString pratica = c.esperarJanela(QString::fromUtf8("Digitação"));
    QVERIFY2(!pratica.isEmpty(), "the practice window did not open");
    QVERIFY(c.clicar(pratica, 8 + 48, 6 + 14));  // Iniciar
    QVERIFY(c.focar(pratica));
}

// Rows of a table as an independent reader sees them: one "NAME|LESSON|..." line each.
QStringList lerComDbfread(const QString& arquivo, const QString& campos)
{
    const Execucao r = executar(QStringLiteral("/usr/bin/python3"),
                                {QStringLiteral("-c"),
                                 QStringLiteral("import sys\nfrom dbfread import DBF\n"
                                                "for r in DBF(sys.argv[1], encoding='cp1252'):\n"
                                                "    print('|'.join(str(r[c]).strip() for c in sys.argv[2].split(',')))"),
                                 arquivo, campos},
                                QDir::tempPath());
    if (r.exitCode != 0) return {QStringLiteral("dbfread falhou: ") + QString::fromUtf8(r.err)};
    return QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TstDoisProgramas : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char* ferramenta : {"Xvfb", "xdotool", "import"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(ferramenta)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QString::fromLatin1(ferramenta))));
    }

    void doisAlunosTerminamALicaoNoMesmoMomento();
};

void TstDoisProgramas::doisAlunosTerminamALicaoNoMesmoMomento()
{
    QTemporaryDir tmp;
    const QString pasta = tmp.filePath(QStringLiteral("compartilhada"));
    QVERIFY(QDir().mkpath(pasta));
    prepararPastaCompartilhada(pasta);
    if (QTest::currentTestFailed()) return;
    const QStringList linhas = linhasDaLicao(pasta);
    QVERIFY(!linhas.isEmpty());

    std::unique_ptr<Computador> computadores[2];
    for (int i = 0; i < 2; ++i) {
        computadores[i] = std::make_unique<Computador>(tmp.path(), i + 1);
        QVERIFY2(computadores[i]->ligar(), "Xvfb did not start");
        computadores[i]->abrirPrograma(pasta);
    }
    for (int i = 0; i < 2; ++i) {
        abrirLicao(*computadores[i], kAlunos[i]);
        if (QTest::currentTestFailed()) return;
    }

    // Both students type the lesson at once, all but its last keystroke.
    QProcess digitacao[2];
    for (int i = 0; i < 2; ++i)
        computadores[i]->digitarAoFundo(digitacao[i], linhas);
    for (QProcess& d : digitacao) {
        QVERIFY(d.waitForFinished(120000));
        QCOMPARE(d.exitCode(), 0);
    }
    // The last Enter of both, sent together: both lessons end, and both posts meet in the tables.
    QProcess ultimaTecla[2];
    for (int i = 0; i < 2; ++i)
        computadores[i]->xdotoolAoFundo(ultimaTecla[i], {QStringLiteral("key"), QStringLiteral("Return")});
    for (QProcess& u : ultimaTecla) QVERIFY(u.waitForFinished(30000));

    // The result window shows only once the result, the unlock and the record are on disk.
    bool terminaram = true;
    for (auto& c : computadores) terminaram = !c->esperarJanela(QStringLiteral("Resultado")).isEmpty() && terminaram;

    // Both screens side by side, for a person to look at (also when a lesson did not end).
    const QString capturas = QStringLiteral(TARVEX_BINARY_DIR "/capturas");
    QDir().mkpath(capturas);
    const QString tela1 = tmp.filePath(QStringLiteral("tela1.png"));
    const QString tela2 = tmp.filePath(QStringLiteral("tela2.png"));
    if (computadores[0]->capturar(tela1) && computadores[1]->capturar(tela2))
        executar(QStringLiteral("convert"),
                 {tela1, tela2, QStringLiteral("+append"), capturas + QStringLiteral("/lab-dois-programas.png")},
                 tmp.path());
    QVERIFY2(terminaram, "a lesson did not end");

    // Each student's result once, passed, and each student on lesson 2.
    QStringList resultados = lerComDbfread(pasta + QStringLiteral("/Relat.dbf"),
                                           QStringLiteral("NOME,LICAO,RESULTADO,VELOCIDADE,PRECISAO"));
    resultados.sort();
    QCOMPARE(resultados.size(), 2);
    long long melhor = 0;
    QString melhores;
    for (int i = 0; i < 2; ++i) {
        const QStringList campos = resultados[i].split(QLatin1Char('|'));
        QCOMPARE(campos.mid(0, 3), QStringList({kAlunos[i].nome, QStringLiteral("1"), QStringLiteral("Aprovado")}));
        const long long pontos = dominio::pontuacao(campos[3].toLong(), campos[4].toLong(), 1);
        if (pontos > melhor) melhores.clear();
        if (pontos >= melhor) melhores += kAlunos[i].nome + QLatin1Char(' ');
        melhor = std::max(melhor, pontos);
    }
    QStringList alunos = lerComDbfread(pasta + QStringLiteral("/Usuario.dbf"), QStringLiteral("NOME,LICAO"));
    alunos.sort();
    QCOMPARE(alunos, QStringList({kAlunos[0].nome + QStringLiteral("|2"), kAlunos[1].nome + QStringLiteral("|2")}));

    // Both beat the shipped record: the course's record holds the better of the two.
    QStringList recorde = lerComDbfread(pasta + QStringLiteral("/Recorde.dbf"), QStringLiteral("TIPO,NOME,PONTUACAO"))
                              .filter(QRegularExpression(QLatin1Char('^') + kTipo + QStringLiteral("\\|")));
    QCOMPARE(recorde.size(), 1);
    const QStringList campos = recorde[0].split(QLatin1Char('|'));
    QCOMPARE(campos[2].toLongLong(), melhor);
    QVERIFY2(melhores.contains(campos[1]), qPrintable(recorde[0]));

    for (const char* nome : {"Relat.dbf", "Usuario.dbf", "Recorde.dbf"}) {
        const Execucao check = executar(QStringLiteral(XBTOOL_PATH), {QStringLiteral("check"), QString::fromLatin1(nome)}, pasta);
        QVERIFY2(check.exitCode == 0, check.out.constData());
    }
}

QTEST_GUILESS_MAIN(TstDoisProgramas)
#include "tst_dois_programas.moc"
