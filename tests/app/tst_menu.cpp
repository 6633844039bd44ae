// The start-up of the main menu: first-run copy, settings, the keyboard question, music, exit.
#include "Acessivel.h"
#include "app/ArquivosIniciais.h"
#include "app/IconeSobDemanda.h"
#include "app/Principal35.h"
#include "app/QelImage.h"
#include "app/abertura.h"
#include "app/TabelaMusicas.h"
#include "data/Data1.h"
#include "platform/Diretorios.h"
#include "platform/TocadorMidi.h"
#include "ui/Mensagens.h"
#include "ui/TLabel3D.h"
#include "domain/ArquivoTeclas.h"
#include "domain/Esquema.h"
#include "FigurasTeclas.h"
#include "Processo.h"
#include "TravaAlheia.h"
#include "xbase/Table.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <ctime>

Q_DECLARE_METATYPE(Remedio)
Q_DECLARE_METATYPE(xbase::ErrorKind)

namespace {

// A music player whose position the test sets.
struct TocadorFalso : plataforma::TocadorMidi {
    static inline QStringList abertos;
    static inline qint64 posicao = 0;
    static inline bool falhar = false;
    bool aberto_ = false;
    bool abrir(const QString& arquivo) override
    {
        if (falhar) return false;
        abertos << QFileInfo(arquivo).fileName();
        aberto_ = true;
        posicao = 0;
        return true;
    }
    bool tocarDoInicio() override { return aberto_; }
    void parar() override {}
    void fechar() override { aberto_ = false; }
    bool aberto() const override { return aberto_; }
    qint64 posicaoMs() const override { return aberto_ ? posicao : 0; }
    QString erro() const override { return QStringLiteral("Não há dispositivo MIDI"); }
};


// The screen as the display system shows it: the root window on X11, grim under Wayland (the
// compositor, not the program, knows what is on screen there).
QImage fotoDaTela()
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QProcess grim;
    grim.start(QStringLiteral("grim"), {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
    if (!grim.waitForFinished(10000)) return QImage();
    return QImage::fromData(grim.readAllStandardOutput(), "PPM");
}

void criarTabelas(const QString& pasta, bool musica)
{
    const std::string p = pasta.toStdString();
    dominio::criarTabela(p, dominio::esquemaConfig());
    xbase::Table config;
    config.open(p, "Config.dbf");
    config.insert();
    config.setBoolean(0, true);
    config.setBoolean(1, musica);
    config.setBoolean(2, false);
    config.post();
    config.close();
    for (const dominio::EsquemaTabela* e : {&dominio::esquemaUsuario(), &dominio::esquemaRelat(),
                                            &dominio::esquemaRecorde(), &dominio::esquemaExigen()})
        dominio::criarTabela(p, *e);
    for (const char* licao : {"LicaoA.dbf", "LicaoB.dbf"})
        dominio::criarTabela(p, dominio::esquemaLicao(), licao);
}

} // namespace

class TstMenu : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void primeiraExecucaoCopiaNaOrdem();
    void respostaDoCedilhaGravadaNaHora_data();
    void respostaDoCedilhaGravadaNaHora();
    void outrosEsperamARespostaDoCedilha();
    void pastaExistenteSemConfigGuardaOsArquivosDoUsuario();
    void tabelaDanificadaNaPartidaOferecidaParaReparo_data();
    void tabelaDanificadaNaPartidaOferecidaParaReparo();
    void remedioPeloTipoDaFalha_data();
    void remedioPeloTipoDaFalha();
    void tabelaDeTrabalhoReparadaNaPartida_data();
    void tabelaDeTrabalhoReparadaNaPartida();
    void aberturaSomeQuandoUmPassoFalha();
    void tabelaEmUsoOfereceTentarDeNovo();
    void copiaSoDeTabelasInteiras_data();
    void copiaSoDeTabelasInteiras();
    void copiaInterrompidaSeCompletaSemPergunta();
    void sairPerguntaENaoMudaNada();
    void esperarNaoAninha();
    void musicaComecaNoPrimeiroTique();
    void musicaSegueSoNaPosicaoExata();
    void musicaQueFalhaAvisaUmaVez();
    void configuracaoDesligaEReligaMusica();
    void trabalhoAdiadoRodaUmaVez_data();
    void trabalhoAdiadoRodaUmaVez();
    void iconeLidoSobDemanda();
    void menuProntoAoSerCriado();
    void menuCobreATelaPintada();
    void tecladoMoveOFoco_data();
    void tecladoMoveOFoco();
    void tecladoPressionaOBotao_data();
    void tecladoPressionaOBotao();

private:
    void iniciar(bool musica = false);
    TQelImage* botao(const QString& nome) const { return menu_->Panel1->findChild<TQelImage*>(nome); }
    void teclar(const QString& teclas) { ::teclar(menu_, teclas); }
    void copiarParaTrabalho();
    void partir();
    QTemporaryDir tmp_;
    QString inicio_, trabalho_;
    TForm1* menu_ = nullptr;
    Tdm1* dm_ = nullptr;
    QList<QPair<ui::TipoMensagem, QString>> mensagens_;
    bool respostaSim_ = true;
    QString dirOriginal_;
};

void TstMenu::init()
{
    QVERIFY(tmp_.isValid());
    inicio_ = tmp_.path() + "/inicio";
    trabalho_ = tmp_.path() + "/qel99";
    QDir().mkpath(inicio_ + "/Dados");  // the tables are made in it by each test
    QDir(trabalho_).removeRecursively();
    plataforma::definirDiretorioTrabalho(trabalho_);
    dirOriginal_ = QDir::currentPath();
    QDir::setCurrent(inicio_);
    mensagens_.clear();
    respostaSim_ = true;
    ui::definirRespondedor([this](ui::TipoMensagem tipo, const QString& texto) {
        mensagens_ << qMakePair(tipo, texto);
        return respostaSim_;
    });
    TocadorFalso::abertos.clear();
    TocadorFalso::falhar = false;
    TForm1::fabricaTocador = [] { return std::make_unique<TocadorFalso>(); };
    TForm1::sorteioMusica = [] { return 7; };
}

void TstMenu::cleanup()
{
    delete menu_;
    menu_ = nullptr;
    delete dm_;
    dm_ = nullptr;
    QDir::setCurrent(dirOriginal_);
    ui::definirRespondedor({});
}

void TstMenu::iniciar(bool musica)
{
    criarTabelas(inicio_ + "/Dados", musica);
    menu_ = new TForm1;
    dm_ = new Tdm1;
    QSignalSpy pronto(menu_, &TForm1::inicioConcluido);
    menu_->show();
    QVERIFY(pronto.wait(5000));
}

// The working folder as a later start finds it: every shipped table copied.
void TstMenu::copiarParaTrabalho()
{
    criarTabelas(inicio_ + "/Dados", false);
    QDir().mkpath(trabalho_);
    for (const ArquivoCopia& a : kListaCopia)
        QVERIFY(QFile::copy(inicio_ + "/Dados/" + a.nome, trabalho_ + "/" + a.nome));
}

void TstMenu::partir()
{
    menu_ = new TForm1;
    dm_ = new Tdm1;
    QSignalSpy pronto(menu_, &TForm1::inicioConcluido);
    menu_->show();
    QVERIFY(pronto.wait(5000));
}

void TstMenu::primeiraExecucaoCopiaNaOrdem()
{
    criarTabelas(inicio_ + "/Dados", false);
    menu_ = new TForm1;
    dm_ = new Tdm1;
    QSignalSpy copiados(menu_, &TForm1::arquivoCopiado);
    QSignalSpy pronto(menu_, &TForm1::inicioConcluido);
    menu_->show();
    QVERIFY(pronto.wait(5000));

    QCOMPARE(StartDir, inicio_);
    QCOMPARE(copiados.size(), 10);
    const QStringList nomes{"Config.dbf", "LicaoA.dbf", "LicaoA.cdx", "LicaoA.fpt", "LicaoB.dbf",
                            "LicaoB.cdx", "LicaoB.fpt", "Recorde.dbf", "Relat.dbf", "Usuario.dbf"};
    const QList<int> percentuais{5, 10, 15, 35, 40, 45, 65, 80, 90, 100};
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(copiados.at(i).at(0).toString(), nomes.at(i));
        QCOMPARE(copiados.at(i).at(1).toInt(), percentuais.at(i));
        QVERIFY(QFileInfo::exists(trabalho_ + "/" + nomes.at(i)));
    }
    QVERIFY(!QFileInfo::exists(trabalho_ + "/Exigen.dbf"));  // read from the data folder, never copied
    QVERIFY(dm_->TabAluno->active() && dm_->TabRelat->active() && dm_->TabRec->active());
    QVERIFY(dm_->TabExig->active());
    QCOMPARE(dm_->ProgramDir, inicio_);
}

void TstMenu::respostaDoCedilhaGravadaNaHora_data()
{
    QTest::addColumn<bool>("sim");
    QTest::newRow("Sim") << true;
    QTest::newRow("Não") << false;
}

void TstMenu::respostaDoCedilhaGravadaNaHora()
{
    QFETCH(bool, sim);
    respostaSim_ = sim;
    iniciar();
    QCOMPARE(mensagens_.size(), 1);
    QCOMPARE(mensagens_.first().second, QString("Seu teclado possui tecla \"Ç\"?"));
    QCOMPARE(dm_->Abnt2Keyboard, sim);
    xbase::Table config;
    config.open(trabalho_.toStdString(), "Config.dbf", true);
    QCOMPARE(config.asBoolean("ABNT2"), sim);
}

// Another computer starting on the same empty shared folder (another process) finds the
// folder's start lock taken while the keyboard question waits for its answer.
void TstMenu::outrosEsperamARespostaDoCedilha()
{
    QString outro;
    ui::definirRespondedor([&](ui::TipoMensagem, const QString&) {
        const QString teste = QStringLiteral(
            "import fcntl\nf = open('%1/.tarvex3-inicio.lck', 'r+')\n"
            "try:\n    fcntl.lockf(f, fcntl.LOCK_EX | fcntl.LOCK_NB)\n    print('livre')\n"
            "except OSError:\n    print('esperando')\n").arg(trabalho_);
        outro = QString::fromUtf8(executar("/usr/bin/python3", {"-c", teste}, trabalho_).out).trimmed();
        return true;
    });
    iniciar();
    QCOMPARE(outro, QString("esperando"));
    QVERIFY(dm_->Abnt2Keyboard);
}

void TstMenu::pastaExistenteSemConfigGuardaOsArquivosDoUsuario()
{
    QDir().mkpath(trabalho_);
    QFile velho(trabalho_ + "/Usuario.dbf");
    QVERIFY(velho.open(QIODevice::WriteOnly));
    velho.write("lixo");
    velho.close();
    iniciar();
    QCOMPARE(QFileInfo(trabalho_ + "/Usuario.dbf").size(), 4);  // a user's file is never replaced
    QVERIFY(QFileInfo::exists(trabalho_ + "/Relat.dbf"));       // the missing tables are copied
    QVERIFY(!dm_->TabAluno->active());
    QVERIFY(dm_->TabRelat->active() && dm_->TabRec->active() && dm_->TabConfig->active());
    mensagens_.clear();
    menu_->CadImageClick();
    QCOMPARE(mensagens_.size(), 1);
    QVERIFY2(mensagens_.first().second.startsWith("Esta janela não pode ser aberta: a tabela Usuario.dbf"),
             qPrintable(mensagens_.first().second));
}

void TstMenu::tabelaDanificadaNaPartidaOferecidaParaReparo_data()
{
    QTest::addColumn<bool>("reparar");
    QTest::newRow("reparada") << true;
    QTest::newRow("recusada") << false;
}

void TstMenu::tabelaDanificadaNaPartidaOferecidaParaReparo()
{
    QFETCH(bool, reparar);
    copiarParaTrabalho();
    {
        xbase::Table relat;  // two results, then the count says five
        relat.open(trabalho_.toStdString(), "Relat.dbf");
        for (const char* nome : {"ANA", "BIA"}) {
            relat.insert();
            relat.setString("NOME", nome);
            relat.post();
        }
    }
    QFile relat(trabalho_ + "/Relat.dbf");
    QVERIFY(relat.open(QIODevice::ReadWrite));
    relat.seek(4);
    relat.write(QByteArray("\x05", 1));
    relat.close();

    respostaSim_ = reparar;
    partir();
    QVERIFY2(mensagens_.first().second.startsWith("Relat.dbf está danificado: "), qPrintable(mensagens_.first().second));
    QVERIFY(mensagens_.first().second.endsWith("Reparar?"));
    QVERIFY(dm_->TabAluno->active() && dm_->TabRec->active() && dm_->TabExig->active());
    QCOMPARE(dm_->TabRelat->active(), reparar);
    if (reparar) {
        QCOMPARE(dm_->TabRelat->recordCount(), 2);
        QVERIFY(mensagens_.at(1).second.contains("Uma cópia dos arquivos danificados ficou em " + trabalho_ + "/Relat-danificado-"));
    } else {
        mensagens_.clear();
        menu_->DigiImageClick();
        QCOMPARE(mensagens_.size(), 1);
        QVERIFY(mensagens_.first().second.contains("a tabela Relat.dbf não pôde ser aberta (Arquivo de tabela"));
    }
}

void TstMenu::remedioPeloTipoDaFalha_data()
{
    QTest::addColumn<xbase::ErrorKind>("tipo");
    QTest::addColumn<bool>("dbfExiste");
    QTest::addColumn<Remedio>("remedio");
    QTest::newRow("danificada") << xbase::ErrorKind::Damaged << true << Remedio::Reparar;
    QTest::newRow("sem índice ou memo") << xbase::ErrorKind::Missing << true << Remedio::Reparar;
    QTest::newRow("sem a tabela") << xbase::ErrorKind::Missing << false << Remedio::Desistir;
    QTest::newRow("em uso") << xbase::ErrorKind::Busy << true << Remedio::TentarDeNovo;
    QTest::newRow("sistema") << xbase::ErrorKind::System << true << Remedio::Desistir;
    QTest::newRow("inválida") << xbase::ErrorKind::Invalid << true << Remedio::Desistir;
}

void TstMenu::remedioPeloTipoDaFalha()
{
    QFETCH(xbase::ErrorKind, tipo);
    QFETCH(bool, dbfExiste);
    QFETCH(Remedio, remedio);
    QCOMPARE(remedioPara(tipo, dbfExiste), remedio);
}

void TstMenu::tabelaDeTrabalhoReparadaNaPartida_data()
{
    QTest::addColumn<QString>("tabela");
    QTest::addColumn<int>("registros");  // kept by the repair
    QTest::newRow("índice das lições apagado") << "LicaoB.dbf" << 2;
    QTest::newRow("cabeçalho dos alunos com lixo") << "Usuario.dbf" << 2;
    QTest::newRow("memo das figuras esvaziado") << "Teclas.dbf" << 1;
}

void TstMenu::tabelaDeTrabalhoReparadaNaPartida()
{
    QFETCH(QString, tabela);
    QFETCH(int, registros);
    copiarParaTrabalho();
    const std::string pasta = trabalho_.toStdString();
    {
        xbase::Table licoes, alunos;
        licoes.open(pasta, "LicaoB.dbf");
        alunos.open(pasta, "Usuario.dbf");
        for (int n : {1, 2}) {
            licoes.insert();
            licoes.setString("TIPO", "Básico");
            licoes.setInteger("LICAO", n);
            licoes.setString("TEXTO", "asdf");
            licoes.post();
            alunos.insert();
            alunos.setString("NOME", n == 1 ? "ANA" : "BIA");
            alunos.post();
        }
    }
    dominio::EstatisticaTeclas figuras;
    somarFigura(figuras, U'a', 3, 1, 900);
    dominio::gravarTeclas(pasta, "ANA", "Básico", 1, 2024, 3, 1, figuras);

    if (tabela == "LicaoB.dbf") {
        QVERIFY(QFile::remove(trabalho_ + "/LicaoB.cdx"));
    } else if (tabela == "Usuario.dbf") {
        QFile f(trabalho_ + "/Usuario.dbf");
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(4);
        f.write(QByteArray(12, '\xA7'));  // count, header and record lengths
    } else {
        QFile f(trabalho_ + "/Teclas.fpt");
        QVERIFY(f.resize(0));
    }
    partir();
    QVERIFY(!mensagens_.isEmpty());
    QVERIFY2(mensagens_.first().second.startsWith(tabela + " está danificado: "), qPrintable(mensagens_.first().second));
    QVERIFY(mensagens_.first().second.endsWith("Reparar?"));
    QVERIFY2(mensagens_.at(1).second.contains(" foi reparado"), qPrintable(mensagens_.at(1).second));
    QCOMPARE(mensagens_.size(), 2);
    QVERIFY(dm_->TabAluno->active());
    xbase::Table reparada;
    reparada.open(pasta, tabela.toStdString());
    QCOMPARE(int(reparada.count()), registros);
    if (tabela == "LicaoB.dbf") {
        reparada.setIndexName("TIPO");
        QVERIFY(reparada.findKey("Básico  " + std::string("  2")));
        QCOMPARE(reparada.asString("TEXTO"), std::string("asdf"));
    }
}

// Another computer packing the students table as this one starts.
void TstMenu::tabelaEmUsoOfereceTentarDeNovo()
{
    copiarParaTrabalho();
    auto outro = std::make_unique<TravaAlheia>((trabalho_ + "/Usuario.dbf").toStdString(), TravaAlheia::Trava::Sozinho);
    ui::definirRespondedor([&](ui::TipoMensagem, const QString& texto) {
        mensagens_ << qMakePair(ui::TipoMensagem::Pergunta, texto);
        outro.reset();  // the pack is over
        return true;
    });
    partir();
    QCOMPARE(mensagens_.size(), 1);
    QCOMPARE(mensagens_.first().second,
             QString("Usuario.dbf está em uso por outro computador; tente de novo.\n\nTentar de novo agora?"));
    QVERIFY(dm_->TabAluno->active());
}

void TstMenu::aberturaSomeQuandoUmPassoFalha()
{
    copiarParaTrabalho();
    QVERIFY(QFile::remove(trabalho_ + "/Config.dbf"));
    xbase::Table::create(trabalho_.toStdString(), "Config.dbf", {{"OUTRO", xbase::FieldType::Logical, 1, 0, 0}});
    {
        xbase::Table config;
        config.open(trabalho_.toStdString(), "Config.dbf");
        config.insert();
        config.post();
    }
    partir();
    QVERIFY(!mensagens_.isEmpty());
    QVERIFY2(mensagens_.last().second.contains("Som"), qPrintable(mensagens_.last().second));  // the field it lacks
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<TfAbertura*>(w) || !w->isVisible());
}

void TstMenu::copiaSoDeTabelasInteiras_data()
{
    QTest::addColumn<QStringList>("presentes");
    QTest::addColumn<QStringList>("copiar");
    QTest::addColumn<QStringList>("incompletas");
    const QStringList todos{"Config.dbf", "LicaoB.dbf", "LicaoB.cdx", "LicaoB.fpt", "Relat.dbf"};
    QTest::newRow("nada presente") << QStringList() << todos << QStringList();
    QTest::newRow("tudo presente") << todos << QStringList() << QStringList();
    // A table whose .dbf is there is offered the repair when it opens.
    QTest::newRow("memo apagado") << QStringList{"Config.dbf", "LicaoB.dbf", "LicaoB.cdx", "Relat.dbf"}
                                  << QStringList() << QStringList();
    QTest::newRow("só o índice") << QStringList{"LicaoB.cdx"} << QStringList{"Config.dbf", "Relat.dbf"}
                                 << QStringList{"LicaoB.dbf (falta LicaoB.dbf, LicaoB.fpt)"};
}

void TstMenu::copiaSoDeTabelasInteiras()
{
    QFETCH(QStringList, presentes);
    QFETCH(QStringList, copiar);
    QFETCH(QStringList, incompletas);
    const PlanoCopia plano = planejarCopia({"Config.dbf", "LicaoB.dbf", "LicaoB.cdx", "LicaoB.fpt", "Relat.dbf"},
                                           [&](const QString& nome) { return presentes.contains(nome); });
    QCOMPARE(plano.copiar, copiar);
    QCOMPARE(plano.tabelasIncompletas, incompletas);
}

void TstMenu::copiaInterrompidaSeCompletaSemPergunta()
{
    criarTabelas(inicio_ + "/Dados", false);
    QDir().mkpath(trabalho_);
    QVERIFY(QFile::copy(inicio_ + "/Dados/Config.dbf", trabalho_ + "/Config.dbf"));
    // A students table already there with a student in it is never replaced.
    QVERIFY(QFile::copy(inicio_ + "/Dados/Usuario.dbf", trabalho_ + "/Usuario.dbf"));
    {
        xbase::Table usuario;
        usuario.open(trabalho_.toStdString(), "Usuario.dbf");
        usuario.insert();
        usuario.setString(0, "ANA");
        usuario.post();
    }
    menu_ = new TForm1;
    dm_ = new Tdm1;
    QSignalSpy pronto(menu_, &TForm1::inicioConcluido);
    menu_->show();
    QVERIFY(pronto.wait(5000));
    QVERIFY(mensagens_.isEmpty());  // no keyboard question again
    for (const ArquivoCopia& a : kListaCopia) QVERIFY(QFileInfo::exists(trabalho_ + "/" + a.nome));
    QCOMPARE(dm_->TabAluno->recordCount(), 1);
}

void TstMenu::sairPerguntaENaoMudaNada()
{
    iniciar(true);
    mensagens_.clear();
    respostaSim_ = false;
    const bool musica = menu_->Timer3->isActive();
    menu_->SairImageClick();
    QCOMPARE(mensagens_.size(), 1);
    QCOMPARE(mensagens_.first().second, QString("Finalizar o Tarvex?"));
    QVERIFY(menu_->isVisible());
    QCOMPARE(menu_->Timer3->isActive(), musica);
    respostaSim_ = true;
    QVERIFY(menu_->close());
}

void TstMenu::esperarNaoAninha()
{
    iniciar();
    qint64 interna = -1;
    QTimer::singleShot(20, menu_, [&] {
        QElapsedTimer t;
        t.start();
        menu_->Esperar(5000);  // a second wait started during the first returns at once
        interna = t.elapsed();
    });
    QElapsedTimer total;
    total.start();
    menu_->Esperar(300);
    QVERIFY(interna >= 0);           // events were processed during the wait
    QVERIFY(interna < 2500);         // and the nested wait did not wait
    QVERIFY(total.elapsed() >= 250); // the outer wait did
    QVERIFY(total.elapsed() < 5000);

    // Waiting sleeps until the next message instead of spinning: the splash's wait shares the
    // processor with the X server and the rest of the start-up.
    const std::clock_t antes = std::clock();
    menu_->Esperar(300);
    const double processadorMs = 1000.0 * double(std::clock() - antes) / CLOCKS_PER_SEC;
    QVERIFY2(processadorMs < 100, qPrintable(QString::number(processadorMs)));
}

void TstMenu::musicaComecaNoPrimeiroTique()
{
    iniciar(true);
    QVERIFY(menu_->Timer3->isActive());
    QCOMPARE(menu_->fimMusica(), qint64(0));
    QVERIFY(TocadorFalso::abertos.isEmpty());
    menu_->Timer3Timer();  // no song open: position 0 equals the end position 0
    QCOMPARE(TocadorFalso::abertos, QStringList{"QEL7.MID"});
    QCOMPARE(menu_->musicaAtual(), 7);
    QCOMPARE(menu_->fimMusica(), qint64(kFimMusica[7]));
    QVERIFY(menu_->Timer3->isActive());
}

void TstMenu::musicaSegueSoNaPosicaoExata()
{
    iniciar(true);
    menu_->Timer3Timer();
    TocadorFalso::posicao = kFimMusica[7] - 1;
    menu_->Timer3Timer();
    QCOMPARE(TocadorFalso::abertos.size(), 1);
    // The same song may come twice in a row.
    TocadorFalso::posicao = kFimMusica[7];
    menu_->Timer3Timer();
    QCOMPARE(TocadorFalso::abertos, (QStringList{"QEL7.MID", "QEL7.MID"}));
}

void TstMenu::musicaQueFalhaAvisaUmaVez()
{
    iniciar(true);
    TocadorFalso::falhar = true;
    menu_->Timer3Timer();
    QCOMPARE(mensagens_.size(), 2);  // the keyboard question, then the player's error
    QCOMPARE(mensagens_.last().first, ui::TipoMensagem::Erro);
    QCOMPARE(mensagens_.last().second, QString("Não há dispositivo MIDI"));
    QVERIFY(!menu_->Timer3->isActive());
    // The settings closed with music on try again, without a second message.
    menu_->aplicarRegraMusica();
    QVERIFY(!menu_->Timer3->isActive());
    QCOMPARE(mensagens_.size(), 2);
}

void TstMenu::configuracaoDesligaEReligaMusica()
{
    iniciar(false);
    QVERIFY(!menu_->Timer3->isActive());
    // Music switched off while no song was ever opened: nothing is said.
    menu_->aplicarRegraMusica();
    QVERIFY(!menu_->Timer3->isActive());
    QCOMPARE(mensagens_.size(), 1);
    dm_->MusicOn = true;
    menu_->aplicarRegraMusica();
    QVERIFY(menu_->Timer3->isActive());
    QCOMPARE(TocadorFalso::abertos.size(), 1);
    // A song playing with the timer on goes on undisturbed.
    menu_->aplicarRegraMusica();
    QCOMPARE(TocadorFalso::abertos.size(), 1);
    dm_->MusicOn = false;
    menu_->aplicarRegraMusica();
    QVERIFY(!menu_->Timer3->isActive());
}

// The work kept for the first click runs once, at that click (before or after the menu shows),
// and never while the menu only waits.
void TstMenu::trabalhoAdiadoRodaUmaVez_data()
{
    QTest::addColumn<bool>("cliqueAntes");
    QTest::newRow("menu pronto, depois clique") << false;
    QTest::newRow("clique antes de o menu aparecer") << true;
}

void TstMenu::trabalhoAdiadoRodaUmaVez()
{
    QFETCH(bool, cliqueAntes);
    criarTabelas(inicio_ + "/Dados", false);
    menu_ = new TForm1;
    dm_ = new Tdm1;
    int vezes = 0;
    menu_->noPrimeiroClique([&vezes] { ++vezes; });
    respostaSim_ = false;  // "Sair" is answered no
    if (cliqueAntes) {
        menu_->SairImageClick();
        QCOMPARE(vezes, 1);
    }
    QSignalSpy pronto(menu_, &TForm1::inicioConcluido);
    menu_->show();
    QVERIFY(pronto.wait(5000));
    menu_->repaint();
    QTest::qWait(50);
    QCOMPARE(vezes, cliqueAntes ? 1 : 0);
    menu_->SairImageClick();
    QCOMPARE(vezes, 1);
    menu_->SairImageClick();
    QCoreApplication::processEvents();
    QCOMPARE(vezes, 1);
    respostaSim_ = true;
}

// The program's icon is the picture file's, at its size or scaled down, and nothing when the
// file cannot be read.
void TstMenu::iconeLidoSobDemanda()
{
    const QString arquivo = tmp_.path() + "/icone.png";
    QImage original(64, 32, QImage::Format_ARGB32);
    original.fill(QColor(10, 120, 200, 255));
    QVERIFY(original.save(arquivo));

    const QIcon icone(new IconeSobDemanda(arquivo));
    QCOMPARE(icone.availableSizes(), QList<QSize>{QSize(64, 32)});
    QCOMPARE(icone.pixmap(QSize(64, 32)).toImage().convertToFormat(QImage::Format_ARGB32), original);
    QCOMPARE(icone.actualSize(QSize(16, 16)), QSize(16, 8));
    QCOMPARE(icone.actualSize(QSize(128, 128)), QSize(64, 32));  // never scaled up

    const QIcon semArquivo(new IconeSobDemanda(tmp_.path() + "/nao-existe.png"));
    QVERIFY(semArquivo.availableSizes().isEmpty());
    QVERIFY(semArquivo.pixmap(QSize(32, 32)).isNull());

    // Asks that come together (a window being made) share one decoding; the picture is let go
    // a moment later.
    QImage outra(64, 32, QImage::Format_ARGB32);
    outra.fill(QColor(200, 20, 20, 255));
    const auto figura = [&icone] { return icone.pixmap(QSize(64, 32)).toImage().convertToFormat(QImage::Format_ARGB32); };
    QTRY_VERIFY_WITH_TIMEOUT(figura() == original, 3000);
    QVERIFY(outra.save(arquivo));
    QVERIFY(figura() == original);
    QCoreApplication::processEvents();
    QVERIFY(figura() == original);
    QTRY_VERIFY_WITH_TIMEOUT(figura() == outra, 3000);

    // The splash's icon: none, without falling back to the program's.
    const QIcon nenhum(new IconeSobDemanda(QString()));
    QVERIFY(!nenhum.isNull());
    QVERIFY(nenhum.availableSizes().isEmpty());
    QVERIFY(nenhum.pixmap(QSize(32, 32)).isNull());
}

// The menu is whole when its constructor returns (it is built while the splash waits): it
// covers the screen, and each of its eight buttons shows its plain picture.
void TstMenu::menuProntoAoSerCriado()
{
    criarTabelas(inicio_ + "/Dados", false);
    menu_ = new TForm1;
    QVERIFY(menu_->Panel1);
    QCOMPARE(menu_->size(), QGuiApplication::primaryScreen()->size());
    QVERIFY(menu_->windowState() & Qt::WindowMaximized);
    for (TQelImage* botao : {menu_->DigiImage, menu_->CadImage, menu_->RecImage, menu_->AjudaImage,
                             menu_->ConfigImage, menu_->LicaoImage, menu_->ExigeImage, menu_->SairImage}) {
        QVERIFY(botao);
        QCOMPARE(botao->parentWidget(), menu_->Panel1);
        const QImage figura = botao->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage esperada = QImage(":/imagens/botoes/" + botao->objectName() + "1.png")
                                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY2(!esperada.isNull() && figura == esperada, qPrintable(botao->objectName()));
    }
    QVERIFY(menu_->Label1 && menu_->Label1->text().isEmpty());
}

// Tab goes down the left column and then the right one; the arrows move as the buttons are drawn.
void TstMenu::tecladoMoveOFoco_data()
{
    QTest::addColumn<QString>("de");
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QString>("para");
    QTest::newRow("Tab") << "Digi" << "Tab" << "Cad";
    QTest::newRow("Tab to the right column") << "Ajuda" << "Tab" << "Config";
    QTest::newRow("Shift+Tab") << "Config" << "Shift+Tab" << "Ajuda";
    QTest::newRow("Down wraps") << "Ajuda" << "Down" << "Digi";
    QTest::newRow("Up wraps") << "Config" << "Up" << "Sair";
    QTest::newRow("Right") << "Rec" << "Right" << "Exige";
}

void TstMenu::tecladoMoveOFoco()
{
    QFETCH(QString, de);
    QFETCH(QString, teclas);
    QFETCH(QString, para);
    iniciar();
    menu_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(menu_));
    QCOMPARE(QApplication::focusWidget(), botao("Digi"));  // the first choice has the focus
    botao(de)->setFocus();
    teclar(teclas);
    QCOMPARE(QApplication::focusWidget(), botao(para));
    // The focused button shows what the mouse over it shows.
    QCOMPARE(menu_->Label1->text(), botao(para)->accessibleName());
}

// Enter, Space, the Alt letter of "Finalizar" and Escape all reach the exit question.
void TstMenu::tecladoPressionaOBotao_data()
{
    QTest::addColumn<QString>("de");
    QTest::addColumn<QString>("teclas");
    QTest::newRow("Enter") << "Sair" << "Return";
    QTest::newRow("Alt letter") << "Digi" << "Alt+F";
    QTest::newRow("Escape") << "Cad" << "Esc";
}

void TstMenu::tecladoPressionaOBotao()
{
    QFETCH(QString, de);
    QFETCH(QString, teclas);
    iniciar();
    menu_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(menu_));
    mensagens_.clear();
    respostaSim_ = false;
    botao(de)->setFocus();
    teclar(teclas);
    QCOMPARE(mensagens_.size(), 1);
    QCOMPARE(mensagens_.first().second, QString("Finalizar o Tarvex?"));
    respostaSim_ = true;
}

QTEST_MAIN(TstMenu)
#include "tst_menu.moc"

// On a real display (Xvfb, or a Wayland compositor): the menu covers the screen, every pixel
// around the panel is black, and the splash is gone once the menu is ready.
void TstMenu::menuCobreATelaPintada()
{
    const QByteArray semWayland = qgetenv("TARVEX_SEM_WAYLAND");
    if (!semWayland.isEmpty()) QSKIP(semWayland.constData());
    const QString plataforma = QGuiApplication::platformName();
    if (plataforma != QLatin1String("xcb") && plataforma != QLatin1String("wayland"))
        QSKIP("needs a display (Xvfb, or a Wayland compositor)");
    copiarParaTrabalho();
    partir();
    QVERIFY(QTest::qWaitForWindowExposed(menu_));
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<TfAbertura*>(w) || !w->isVisible());
    const QSize tela = QGuiApplication::primaryScreen()->size();
    QTRY_COMPARE(menu_->size(), tela);
    const QList<QPoint> cantos{{2, 2}, {tela.width() - 3, 2}, {2, tela.height() - 3},
                               {tela.width() - 3, tela.height() - 3}};
    QImage foto;
    QTRY_VERIFY_WITH_TIMEOUT((foto = fotoDaTela()).size() == tela
                                 && std::all_of(cantos.begin(), cantos.end(),
                                                [&](QPoint p) { return foto.pixel(p) == qRgb(0, 0, 0); }),
                             5000);
}
