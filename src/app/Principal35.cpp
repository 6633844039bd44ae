#include "Principal35.h"

#include "platform/Voz.h"

#include "QelImage.h"
#include "TabelaMusicas.h"
#include "abertura.h"
#include "Copia.h"
#include "ArquivosIniciais.h"

#include "data/Data1.h"
#include "data/Gravacao.h"
#include "domain/Esquema.h"
#include "platform/Ajuda.h"
#include "platform/CopiaArquivo.h"
#include "platform/Diretorios.h"
#include "platform/Exibicao.h"
#include "platform/InstanciaUnica.h"
#include "platform/SomWave.h"
#include "platform/TocadorMidi.h"
#include "admin/Config.h"
#include "admin/Editor.h"
#include "admin/Exigencia.h"
#include "practice/Digitacao.h"
#include "results/Recorde.h"
#include "students/AbrirNome.h"
#include "students/Cadastro.h"
#include "ui/FiguraPng.h"
#include "ui/Mensagens.h"
#include "ui/TLabel3D.h"
#include "xbase/Error.h"
#include "xbase/Repair.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

QString StartDir;

const ArquivoCopia kListaCopia[10] = {
    {"Config.dbf", 5},   {"LicaoA.dbf", 10}, {"LicaoA.cdx", 15}, {"LicaoA.fpt", 35},
    {"LicaoB.dbf", 40},  {"LicaoB.cdx", 45}, {"LicaoB.fpt", 65}, {"Recorde.dbf", 80},
    {"Relat.dbf", 90},   {"Usuario.dbf", 100},
};

std::function<std::unique_ptr<plataforma::TocadorMidi>()> TForm1::fabricaTocador =
    [] { return plataforma::criarTocadorMidi(); };
std::function<int()> TForm1::sorteioMusica;

namespace {

constexpr int kLarguraPainel = 632;
constexpr int kAlturaPainel = 453;
constexpr int kQuantidadeMusicas = 18;

// Task windows: a new one per click, modal, freed when it closes.
void abrirModal(QDialog* janela)
{
    janela->setAttribute(Qt::WA_DeleteOnClose);
    janela->exec();
}

// A button's picture: variant 1 plain, 0 highlighted.
QString recursoBotao(const QString& nome, int variante)
{
    return QStringLiteral(":/imagens/botoes/%1%2.png").arg(nome).arg(variante);
}

QString caminho(const QString& pasta, const QString& nome)
{
    return plataforma::resolver(plataforma::juntar(pasta, nome));
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Tarvex 3"));
    FormCreate();
}

TForm1::~TForm1() = default;

TQelImage* TForm1::criarBotao(const QString& lista, int x, int y, const QString& dica)
{
    auto* botao = new TQelImage(Panel1);
    botao->setObjectName(lista);
    botao->setGeometry(x, y, 250, 100);
    botao->setAccessibleName(dica);  // what a screen reader says is what the mouse shows
    // The highlighted picture is decoded at the first hover (then kept in Qt's pixmap cache),
    // not while the menu is being built.
    connect(botao, &TQelImage::OnMouseEnter, this, [this, lista, dica](TQelImage* b) {
        b->setPicture(QPixmap(recursoBotao(lista, 0)));
        Label1->setText(dica);
    });
    connect(botao, &TQelImage::OnMouseLeave, this, [this, lista](TQelImage* b) {
        b->setPicture(QPixmap(recursoBotao(lista, 1)));
        Label1->clear();
    });
    return botao;
}

void TForm1::FormCreate()
{
    splash_ = new TfAbertura;
    splash_->show();
    // The wait lets the splash paint; it processes window messages, and building the menu (its
    // widgets, its pictures and its window) is one of them, so the wait is not time lost.
    QTimer::singleShot(0, this, [this] { montarMenu(); });
    Esperar(10);
    montarMenu();  // when the wait returned before it

    StartDir = plataforma::calcularStartDir(QDir::currentPath(), plataforma::pastaDadosInstalada());

    LWave1 = new plataforma::SomWave(QStringLiteral(":/sons/clique.wav"), this);
    mp1_ = fabricaTocador();

    Timer3 = new QTimer(this);
    Timer3->setInterval(1000);
    connect(Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
}

void TForm1::montarMenu()
{
    if (Panel1) return;
    // The window covers the screen and cannot be resized.
    setStyleSheet(QStringLiteral("TForm1 { background: black; }"));
    // The black around the panel is left unpainted where a new window is black already: the
    // pages never written (most of a full-screen buffer) take no memory. Under Wayland it is
    // painted, and the memory spent, or the compositor's background would show through.
    setAttribute(Qt::WA_OpaquePaintEvent, plataforma::janelaNovaEPreta());
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, Qt::black);
    setPalette(paleta);
    const QSize tela = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                         : QSize(1024, 768);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(tela);
    setWindowState(Qt::WindowMaximized);

    Panel1 = new QWidget(this);
    Panel1->setAutoFillBackground(true);
    Panel1->setPalette(paleta);
    posicionarPainel();

    Label1 = new TLabel3D(QString(), Panel1);
    Label1->setEstilo(TLabel3D::Estilo::Raised);
    Label1->setProfundidade(2);
    Label1->setCorLuz(QColor(128, 128, 128));
    Label1->setCorSombra(QColor(32, 32, 32));
    Label1->setGeometry(8, 428, 616, 24);
    QFont fonte(QStringLiteral("Arial"));
    fonte.setPixelSize(16);
    fonte.setBold(true);
    Label1->setFont(fonte);
    Label1->setStyleSheet(QStringLiteral("color: rgb(192,192,192);"));

    DigiImage = criarBotao(QStringLiteral("Digi"), 8, 8, QStringLiteral("Iniciar a digitação"));
    CadImage = criarBotao(QStringLiteral("Cad"), 8, 112, QStringLiteral("Cadastrar aluno"));
    RecImage = criarBotao(QStringLiteral("Rec"), 8, 216, QStringLiteral("Consultar os recordes"));
    AjudaImage = criarBotao(QStringLiteral("Ajuda"), 8, 320, QStringLiteral("Consultar arquivo de ajuda"));
    ConfigImage = criarBotao(QStringLiteral("Config"), 368, 8, QStringLiteral("Configurar o Tarvex"));
    LicaoImage = criarBotao(QStringLiteral("Licao"), 368, 112, QStringLiteral("Editar as lições"));
    ExigeImage = criarBotao(QStringLiteral("Exige"), 368, 216, QStringLiteral("Consultar tabela de exigências"));
    SairImage = criarBotao(QStringLiteral("Sair"), 368, 328, QStringLiteral("Finalizar o Tarvex"));

    connect(DigiImage, &TQelImage::clicked, this, &TForm1::DigiImageClick);
    connect(CadImage, &TQelImage::clicked, this, &TForm1::CadImageClick);
    connect(RecImage, &TQelImage::clicked, this, &TForm1::RecImageClick);
    connect(AjudaImage, &TQelImage::clicked, this, &TForm1::AjudaImageClick);
    connect(ConfigImage, &TQelImage::clicked, this, &TForm1::ConfigImageClick);
    connect(LicaoImage, &TQelImage::clicked, this, &TForm1::LicaoImageClick);
    connect(ExigeImage, &TQelImage::clicked, this, &TForm1::ExigeImageClick);
    connect(SairImage, &TQelImage::clicked, this, &TForm1::SairImageClick);

    for (TQelImage* b : {ExigeImage, DigiImage, CadImage, LicaoImage, RecImage, ConfigImage, SairImage, AjudaImage})
        b->setPicture(QPixmap::fromImage(ui::lerFiguraPng(recursoBotao(b->objectName(), 1))));
    prepararTeclado();
}

void TForm1::prepararTeclado()
{
    colunas_ = {{DigiImage, CadImage, RecImage, AjudaImage}, {ConfigImage, LicaoImage, ExigeImage, SairImage}};
    // Tab goes down the left column, then down the right one.
    const QList<TQelImage*> ordem = colunas_[0] + colunas_[1];
    for (int i = 1; i < ordem.size(); ++i) setTabOrder(ordem[i - 1], ordem[i]);
    const struct {
        TQelImage* botao;
        Qt::Key letra;
        const char* descricao;
    } atalhos[] = {
        {DigiImage, Qt::Key_I, "Escolher o aluno e praticar (Alt+I)"},
        {CadImage, Qt::Key_C, "Cadastrar, editar e remover alunos (Alt+C)"},
        {RecImage, Qt::Key_R, "Ver os recordes de cada curso (Alt+R)"},
        {AjudaImage, Qt::Key_A, "Abrir a ajuda (Alt+A ou F1)"},
        {ConfigImage, Qt::Key_G, "Som, música e modelo de teclado (Alt+G)"},
        {LicaoImage, Qt::Key_L, "Editar o texto das lições (Alt+L)"},
        {ExigeImage, Qt::Key_E, "Velocidade e precisão exigidas em cada nível (Alt+E)"},
        {SairImage, Qt::Key_F, "Fechar o Tarvex (Alt+F ou Esc)"},
    };
    for (const auto& a : atalhos) {
        TQelImage* botao = a.botao;
        botao->setAccessibleDescription(QString::fromUtf8(a.descricao));
        auto* atalho = new QShortcut(QKeySequence(Qt::ALT | a.letra), this);
        connect(atalho, &QShortcut::activated, botao, [botao] {
            botao->setFocus(Qt::ShortcutFocusReason);
            botao->clicar();
        });
    }
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, AjudaImage, &TQelImage::clicar);
    // The voice before any student is chosen, for one who cannot see the list of names.
    setAccessibleDescription(QStringLiteral("F12 liga ou desliga a voz do Tarvex"));
    connect(new QShortcut(QKeySequence(Qt::Key_F12), this), &QShortcut::activated, this,
            [] { plataforma::alternarVozDaExecucao(); });
    DigiImage->setFocus();
}

void TForm1::keyPressEvent(QKeyEvent* event)
{
    // The arrows move through the two columns as they are drawn; Escape is "Finalizar".
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    int coluna = -1, linha = -1;
    for (int c = 0; c < colunas_.size(); ++c)
        if (int l = colunas_[c].indexOf(focusWidget()); l >= 0) coluna = c, linha = l;
    if (coluna < 0) return QWidget::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Up: linha = (linha + 3) % 4; break;
    case Qt::Key_Down: linha = (linha + 1) % 4; break;
    case Qt::Key_Left:
    case Qt::Key_Right: coluna = 1 - coluna; break;
    default: return QWidget::keyPressEvent(event);
    }
    colunas_[coluna][linha]->setFocus(Qt::TabFocusReason);
}

void TForm1::posicionarPainel()
{
    // Integer division that truncates toward zero, as on the original screen formula.
    Panel1->setGeometry((width() - kLarguraPainel) / 2, (height() - (kAlturaPainel + 30)) / 2,
                        kLarguraPainel, kAlturaPainel);
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (mostrado_) return;
    mostrado_ = true;
    // FormShow runs once, after the window is on screen, as the message loop shows it.
    QTimer::singleShot(0, this, [this] {
        ui::protegido(this, [this] { FormShow(); });
        emit inicioConcluido();
    });
}

void TForm1::noPrimeiroClique(std::function<void()> tarefa) { adiado_ = std::move(tarefa); }

void TForm1::executarAdiado()
{
    if (!adiado_) return;
    const std::function<void()> tarefa = std::move(adiado_);
    adiado_ = nullptr;
    tarefa();
}

void TForm1::FormShow()
{
    // Whatever a step throws, the splash (always on top) goes before the error box shows.
    const auto semAbertura = qScopeGuard([this] { esconderAbertura(); });
    dm1->ProgramDir = StartDir;
    const QString pastaDados = caminho(StartDir, QStringLiteral("Dados"));
    const QString trabalho = plataforma::diretorioTrabalho();
    // A lab's computers may start together on one empty shared folder: one fills it and
    // answers the keyboard question, the others wait for both and find the answer stored.
    auto trava = std::make_unique<plataforma::TravaDaPasta>(trabalho);
    const bool primeiraVez = !QFileInfo::exists(caminho(trabalho, QStringLiteral("Config.dbf")));
    copiarArquivosIniciais(pastaDados, trabalho, primeiraVez);
    if (!primeiraVez) trava.reset();

    // Each table on its own: one damaged table leaves the others usable, and the windows that
    // need it say which one and why.
    if (abrirTabela(dm1->TabConfig, trabalho)) {
        dm1->SoundOn = dm1->TabConfig->fieldByName(QStringLiteral("Som")).asBoolean();
        dm1->MusicOn = dm1->TabConfig->fieldByName(QStringLiteral("Musica")).asBoolean();
        if (primeiraVez) perguntarTecladoABNT2();
        dm1->Abnt2Keyboard = dm1->TabConfig->fieldByName(QStringLiteral("ABNT2")).asBoolean();
    }
    trava.reset();
    for (TApTable* t : {dm1->TabAluno, dm1->TabRelat, dm1->TabRec})
        abrirTabela(t, trabalho);
    // The tables the windows open themselves are checked now, while a repair can be offered.
    for (const QString& nome : {QStringLiteral("LicaoA.dbf"), QStringLiteral("LicaoB.dbf"), QStringLiteral("Teclas.dbf")})
        verificarTabela(nome, trabalho);
    dm1->retomarRenomeacao();
    if (dm1->MusicOn) Timer3->start();
    abrirTabela(dm1->TabExig, pastaDados);
}

void TForm1::esconderAbertura()
{
    if (!splash_) return;
    splash_->hide();
    splash_->deleteLater();
    splash_ = nullptr;
}

void TForm1::verificarTabela(const QString& nome, const QString& pasta)
{
    if (!QFileInfo::exists(caminho(pasta, nome))) return;  // a missing lesson table is reported by the copy
    TApTable tabela;
    tabela.setTableName(nome);
    abrirTabela(&tabela, pasta);
}

bool TForm1::abrirTabela(TApTable* tabela, const QString& pasta)
{
    falhas_.remove(tabela->tableName());
    tabela->setDatabaseName(pasta);
    xbase::ErrorKind tipo = xbase::ErrorKind::System;
    try {
        tabela->open();
        return true;
    } catch (const xbase::Error& e) {
        falhas_[tabela->tableName()] = QString::fromUtf8(e.what());
        tipo = e.kind();
    }
    if (remediar(tabela->tableName(), pasta, tipo)) return abrirTabela(tabela, pasta);
    return false;
}

bool TForm1::remediar(const QString& nomeTabela, const QString& pasta, xbase::ErrorKind tipo)
{
    switch (remedioPara(tipo, QFileInfo::exists(caminho(pasta, nomeTabela)))) {
    case Remedio::Reparar: return oferecerReparo(nomeTabela, pasta);
    case Remedio::TentarDeNovo:
        return ui::pergunta(this, falhas_.value(nomeTabela) + QStringLiteral(".\n\nTentar de novo agora?"));
    case Remedio::Desistir: break;
    }
    return false;
}

bool TForm1::oferecerReparo(const QString& nomeTabela, const QString& pasta)
{
    const QString motivo = falhas_.value(nomeTabela);
    if (!ui::pergunta(this, nomeTabela + QStringLiteral(" está danificado: ") + motivo + QStringLiteral("\n\nReparar?")))
        return false;
    const QString arquivo = caminho(pasta, nomeTabela);
    // The shipped index gives the tags when the table's own is gone; the layout the program
    // made the table with gives a header whose counts are garbage.
    const QString modelo = caminho(caminho(StartDir, QStringLiteral("Dados")),
                                   QFileInfo(nomeTabela).completeBaseName() + QStringLiteral(".cdx"));
    const dominio::EsquemaTabela* esquema = dominio::esquemaDoArquivo(nomeTabela.toStdString());
    try {
        const xbase::RepairReport r = xbase::repairTable(arquivo.toStdString(),
                                                         QFileInfo::exists(modelo) ? modelo.toStdString() : std::string(),
                                                         esquema ? esquema->campos : std::vector<xbase::FieldDef>{});
        ui::aviso(this, nomeTabela + QStringLiteral(" foi reparado: %1 registros mantidos. Uma cópia dos arquivos "
                                                    "danificados ficou em %2.")
                                         .arg(r.recordsKept)
                                         .arg(QString::fromStdString(r.backupDir)));
        return true;
    } catch (const xbase::Error& e) {
        ui::erro(this, nomeTabela + QStringLiteral(" não pôde ser reparado: ") + QString::fromUtf8(e.what()));
        return false;
    }
}

bool TForm1::tabelasProntas(std::initializer_list<TApTable*> tabelas)
{
    for (TApTable* t : tabelas) {
        if (t->active()) continue;
        ui::erro(this, QStringLiteral("Esta janela não pode ser aberta: a tabela ") + t->tableName()
                           + QStringLiteral(" não pôde ser aberta (") + falhas_.value(t->tableName(), QStringLiteral("motivo desconhecido"))
                           + QStringLiteral(")."));
        return false;
    }
    return true;
}

bool TForm1::tabelaDeLicoesPronta()
{
    const QString nome = dm1->Abnt2Keyboard ? QStringLiteral("LicaoB.dbf") : QStringLiteral("LicaoA.dbf");
    const QString trabalho = plataforma::diretorioTrabalho();
    TApTable teste;
    teste.setTableName(nome);
    if (abrirTabela(&teste, trabalho)) return true;
    return tabelasProntas({&teste});
}

void TForm1::copiarArquivosIniciais(const QString& pastaDados, const QString& trabalho, bool primeiraVez)
{
    QStringList lista;
    for (const ArquivoCopia& a : kListaCopia) lista << QString::fromUtf8(a.nome);
    const PlanoCopia plano = planejarCopia(lista, [&](const QString& nome) {
        return QFileInfo::exists(caminho(trabalho, nome));
    });
    if (!plano.tabelasIncompletas.isEmpty())
        ui::erro(this, QStringLiteral("Tabelas danificadas na pasta ") + trabalho + QStringLiteral(": ")
                           + plano.tabelasIncompletas.join(QStringLiteral("; "))
                           + QStringLiteral(". Os arquivos que restam não foram substituídos."));

    TfCopia* copia = nullptr;
    if (primeiraVez) {
        copia = new TfCopia;
        copia->show();
        Esperar(10);
        copia->Pb1->setValue(0);
    }
    if (!QDir(trabalho).exists()) QDir().mkpath(trabalho);
    try {
        for (const ArquivoCopia& a : kListaCopia) {
            const QString nome = QString::fromUtf8(a.nome);
            if (!plano.copiar.contains(nome)) continue;
            plataforma::copiarArquivo(caminho(pastaDados, nome), caminho(trabalho, nome),
                                      [copia](qint64 copiados, qint64 total) {
                                          if (!copia) return;
                                          copia->Pb2->setRange(0, static_cast<int>(qMax<qint64>(total, 1)));
                                          copia->Pb2->setValue(static_cast<int>(copiados));
                                      });
            if (copia) copia->Pb1->setValue(a.percentual);
            emit arquivoCopiado(nome, a.percentual);
            QCoreApplication::processEvents();
        }
    } catch (const plataforma::ErroCopia& e) {
        if (copia) copia->close();
        ui::erro(this, e.mensagem());
        return;
    }
    if (copia) copia->close();
}

void TForm1::perguntarTecladoABNT2()
{
    TApTable* config = dm1->TabConfig;
    Gravacao gravacao(config, Gravacao::Modo::Editar);
    const bool abnt2 = ui::pergunta(this, QStringLiteral("Seu teclado possui tecla \"Ç\"?"));
    config->fieldByName(QStringLiteral("ABNT2")).setAsBoolean(abnt2);
    gravacao.gravar();
}

void TForm1::Esperar(int ms)
{
    if (esperando_) return;
    QTimer espera;
    espera.setSingleShot(true);
    espera.setTimerType(Qt::PreciseTimer);
    espera.setInterval(ms);
    esperando_ = true;
    espera.start();
    struct Liberar {
        bool& flag;
        ~Liberar() { flag = false; }
    } liberar{esperando_};
    while (espera.isActive() && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TForm1::TocarMusica()
{
    if (!dm1->MusicOn) {
        if (mp1_->aberto()) mp1_->parar();
        return;
    }
    const int n = sorteioMusica ? sorteioMusica()
                                : QRandomGenerator::securelySeeded().bounded(1, kQuantidadeMusicas + 1);
    musicaAtual_ = n;
    fimMusica_ = kFimMusica[n];
    const QString arquivo = caminho(StartDir, QStringLiteral("som/QEL%1.MID").arg(n));
    if (!mp1_->abrir(arquivo) || !mp1_->tocarDoInicio()) {
        // Said once per session: closing the settings tries again, silently.
        if (!avisouFalhaMusica_) ui::erro(this, mp1_->erro());
        avisouFalhaMusica_ = true;
        return;
    }
    Timer3->start();
}

void TForm1::Timer3Timer()
{
    if (mp1_->posicaoMs() == fimMusica_) {
        Timer3->stop();
        TocarMusica();
    }
}

void TForm1::aplicarRegraMusica()
{
    if (!dm1->MusicOn) {
        if (mp1_->aberto()) mp1_->parar();
        Timer3->stop();
    } else if (!Timer3->isActive()) {
        TocarMusica();
    }
}

void TForm1::tocarClique()
{
    if (dm1 && dm1->SoundOn) LWave1->tocar();
    executarAdiado();  // every button starts here: what a task window may need exists from now on
}

void TForm1::DigiImageClick()
{
    tocarClique();
    ui::protegido(this, [this] {
        if (!tabelasProntas({dm1->TabAluno, dm1->TabRelat, dm1->TabRec, dm1->TabExig, dm1->TabConfig})
            || !tabelaDeLicoesPronta())
            return;
        const auto abrirCadastro = [this] { abrirModal(new TfCadastro(this)); };
        if (fluxoAbertura(this, FAbrir, abrirCadastro) == ResultadoAbertura::AbrirPratica)
            abrirModal(new TFDigitacao(this));
    });
}

void TForm1::CadImageClick()
{
    tocarClique();
    ui::protegido(this, [this] {
        if (tabelasProntas({dm1->TabAluno, dm1->TabRelat, dm1->TabRec})) abrirModal(new TfCadastro(this));
    });
}

void TForm1::RecImageClick()
{
    tocarClique();
    ui::protegido(this, [this] {
        if (tabelasProntas({dm1->TabRec})) abrirModal(new TfRecorde(this));
    });
}

void TForm1::AjudaImageClick()
{
    tocarClique();
    plataforma::mostrarAjuda(20, this);
}

void TForm1::ConfigImageClick()
{
    tocarClique();
    ui::protegido(this, [this] {
        if (tabelasProntas({dm1->TabConfig})) abrirModal(new TfConfig(this));
    });
    aplicarRegraMusica();
}

void TForm1::LicaoImageClick()
{
    tocarClique();
    ui::protegido(this, [this] {
        if (tabelaDeLicoesPronta()) abrirModal(new TfEditor(this));
    });
}

void TForm1::ExigeImageClick()
{
    tocarClique();
    ui::protegido(this, [this] {
        if (tabelasProntas({dm1->TabExig})) abrirModal(new TfExig(this));
    });
}

void TForm1::SairImageClick()
{
    tocarClique();
    close();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    FormCloseQuery(event);
}

void TForm1::FormCloseQuery(QCloseEvent* event)
{
    if (ui::pergunta(this, QStringLiteral("Finalizar o Tarvex?"))) event->accept();
    else event->ignore();
}
