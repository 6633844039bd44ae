#include "Digitacao.h"
#include "SessaoDigitacao.h"
#include "Locutor.h"

#include "data/Data1.h"
#include "data/Gravacao.h"
#include "domain/AjudasAluno.h"
#include "domain/Cursos.h"
#include "domain/Filtros.h"
#include "domain/Linhas.h"
#include "platform/Ajuda.h"
#include "platform/Diretorios.h"
#include "platform/SomWave.h"
#include "platform/Voz.h"
#include "results/relat.h"
#include "students/Selec.h"
#include "ui/TSpinEdit.h"
#include "ui/TStatusBar.h"
#include "ui/Mensagens.h"
#include "ui/Fontes.h"
#include "ui/Acessibilidade.h"
#include "ui/Cores.h"
#include "ui/Escala.h"
#include "platform/TamanhoDaTela.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QDate>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <cmath>


namespace {


QString texto(const char* utf8) { return QString::fromUtf8(utf8); }

// A label of the black information panel.
QLabel* rotuloInfo(QWidget* pai, const QString& legenda, int x, int y, int w)
{
    auto* l = new QLabel(legenda, pai);
    l->setGeometry(x, y, w, 18);
    l->setFont(ui::fontePixels(QStringLiteral("Arial"), 13));
    return l;
}

// A label of the text panel: bold Courier New 16 px on its own background, as wide as its text.
QLabel* rotuloTexto(QWidget* pai, int x, int y)
{
    auto* l = new QLabel(pai);
    l->setFont(ui::fontePixels(QStringLiteral("Courier New"), 16, true));
    l->setTextFormat(Qt::PlainText);
    l->setAutoFillBackground(true);
    l->move(x, y);
    return l;
}

} // namespace

TFDigitacao::TFDigitacao(QWidget* parent) : QDialog(parent)
{
    sessao = new SessaoDigitacao(this);
    montarJanela();
    montarTeclados();
    aplicarCores();
    connect(sessao, &SessaoDigitacao::linhaNova, this, &TFDigitacao::linhaNova);
    connect(sessao, &SessaoDigitacao::acertou, this, &TFDigitacao::acertou);
    connect(sessao, &SessaoDigitacao::errou, this, &TFDigitacao::errou);
    // The end of a lesson (its writes, its windows) runs once the key event that finished it
    // has returned.
    connect(sessao, &SessaoDigitacao::terminou, this, &TFDigitacao::terminarLicao, Qt::QueuedConnection);
    relogioTeclas_.start();
    connect(sessao, &SessaoDigitacao::julgada, this, [this](QChar esperada, QChar digitada) {
        if (!esperada.isNull()) teclas_.registrar(esperada.unicode(), digitada.unicode(), relogioTeclas_.elapsed());
    });
}

TFDigitacao::~TFDigitacao()
{
    qApp->removeEventFilter(this);
}

void TFDigitacao::montarJanela()
{
    setObjectName(QStringLiteral("Digitacao"));
    setWindowTitle(texto("Digitação"));
    // No border icons: the window is left through "Sair", which asks before abandoning.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(632, 426);
    setFont(ui::fontePixels(QStringLiteral("Arial"), 12));

    // 1. Button bar.
    Panel4 = new QFrame(this);
    Panel4->setGeometry(0, 0, 632, 40);
    Panel4->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto botao = [this](const QString& legenda, QStyle::StandardPixmap icone, int x) {
        auto* b = new QPushButton(style()->standardIcon(icone), legenda, Panel4);
        b->setGeometry(x, 6, 96, 28);
        b->setAutoDefault(false);
        // Tab reaches the buttons between runs; a click leaves the focus where it was: during
        // a run, on the lesson.
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    bIniciar = botao(QStringLiteral("&Iniciar"), QStyle::SP_MediaPlay, 8);
    bPausar = botao(QStringLiteral("&Pausar"), QStyle::SP_MediaPause, 108);
    bPesquisa = botao(QStringLiteral("P&esquisar"), QStyle::SP_FileDialogContentsView, 208);
    bTeclado = botao(QStringLiteral("&Teclado"), QStyle::SP_ComputerIcon, 308);
    fcShapeBtn4 = botao(QStringLiteral("&Sair"), QStyle::SP_DialogCloseButton, 428);
    fcShapeBtn5 = botao(QStringLiteral("&Ajuda"), QStyle::SP_DialogHelpButton, 528);
    // Function keys that no lesson types reach the commands during a run too: the typed keys
    // belong to the lesson, shortcuts are handled before it sees them.
    const struct {
        QPushButton* botao;
        Qt::Key tecla;
        const char* descricao;
    } comandos[] = {
        {bIniciar, Qt::Key_F2, "Começar ou continuar a lição (Alt+I ou F2)"},
        {bPausar, Qt::Key_F3, "Parar o relógio e esconder o texto (Alt+P ou F3)"},
        {bPesquisa, Qt::Key_F4, "Ver os resultados do aluno (Alt+E ou F4)"},
        {bTeclado, Qt::Key_F5, "Mostrar ou esconder o teclado guia (Alt+T ou F5)"},
        {fcShapeBtn4, Qt::Key_Escape, "Fechar a janela (Alt+S ou Esc)"},
        {fcShapeBtn5, Qt::Key_F1, "Abrir a ajuda desta janela (Alt+A ou F1)"},
    };
    for (const auto& c : comandos) {
        c.botao->setAccessibleDescription(QString::fromUtf8(c.descricao));
        QPushButton* b = c.botao;
        connect(new QShortcut(QKeySequence(c.tecla), this), &QShortcut::activated, b, [b] {
            if (b->isEnabled()) b->click();
        });
    }

    auto protegida = [this](void (TFDigitacao::*metodo)()) {
        return [this, metodo] { ui::protegido(this, [this, metodo] { (this->*metodo)(); }); };
    };
    connect(bIniciar, &QPushButton::clicked, this, protegida(&TFDigitacao::bIniciarClick));
    connect(bPausar, &QPushButton::clicked, this, protegida(&TFDigitacao::bPausarClick));
    connect(bPesquisa, &QPushButton::clicked, this, protegida(&TFDigitacao::bPesquisaClick));
    connect(bTeclado, &QPushButton::clicked, this, protegida(&TFDigitacao::bTecladoClick));
    connect(fcShapeBtn4, &QPushButton::clicked, this, &QDialog::close);
    connect(fcShapeBtn5, &QPushButton::clicked, this, protegida(&TFDigitacao::fcShapeBtn5Click));

    // 2. Information panel.
    Panel5 = new QFrame(this);
    Panel5->setGeometry(0, 40, 632, 80);
    Panel5->setAutoFillBackground(true);
    rotuloInfo(Panel5, QStringLiteral("Velocidade"), 10, 6, 110);
    rotuloInfo(Panel5, texto("Precisão"), 128, 6, 70);
    rotuloInfo(Panel5, texto("Duração"), 204, 6, 70);
    VelL = rotuloInfo(Panel5, QString(), 10, 26, 116);
    PrecL = rotuloInfo(Panel5, QString(), 128, 26, 70);
    DuracaoL = rotuloInfo(Panel5, QString(), 204, 26, 70);
    lLicao = rotuloInfo(Panel5, QString(), 10, 52, 110);
    ui::nomearFigura(VelL, QStringLiteral("Velocidade"));
    ui::nomearFigura(PrecL, texto("Precisão"));
    ui::nomearFigura(DuracaoL, texto("Duração"));
    ui::nomearFigura(lLicao, texto("Lição"));
    pSeg = new QProgressBar(Panel5);
    pSeg->setGeometry(128, 56, 140, 10);
    pSeg->setRange(0, 60);
    pSeg->setValue(0);
    pSeg->setTextVisible(false);
    LNome = rotuloInfo(Panel5, QString(), 290, 6, 336);
    LTipo = rotuloInfo(Panel5, QString(), 290, 26, 150);
    lNivel = rotuloInfo(Panel5, QString(), 290, 46, 150);
    rotuloInfo(Panel5, texto("Exigências:"), 446, 26, 180);
    lVeloc = rotuloInfo(Panel5, QString(), 446, 44, 180);
    LPrec = rotuloInfo(Panel5, QString(), 446, 60, 180);

    // 3. Notebook: the four keyboard pages (built by montarTeclados) and the lesson page.
    Notebook2 = new QStackedWidget(this);
    Notebook2->setGeometry(0, 120, 632, 204);
    for (int i = 0; i < 4; ++i) {
        paginas_[i].pagina = new QWidget(Notebook2);
        Notebook2->addWidget(paginas_[i].pagina);
    }
    paginas_[0].pagina->setObjectName(QStringLiteral("EUA"));
    paginas_[1].pagina->setObjectName(QStringLiteral("EUAn"));
    paginas_[2].pagina->setObjectName(QStringLiteral("ABNT2"));
    paginas_[3].pagina->setObjectName(QStringLiteral("ABNT2n"));
    auto* pLicao = new QWidget(Notebook2);
    pLicao->setObjectName(QStringLiteral("PLicao"));
    Notebook2->addWidget(pLicao);

    Grid1 = new QTableWidget(pLicao);
    Grid1->setGeometry(6, 6, 620, 192);
    Grid1->setColumnCount(2);
    Grid1->horizontalHeader()->hide();
    Grid1->verticalHeader()->hide();
    Grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid1->verticalHeader()->setDefaultSectionSize(21);
    Grid1->setFont(ui::fontePixels(QStringLiteral("Courier New"), 15));
    Grid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setFocusPolicy(Qt::NoFocus);
    Grid1->setColumnWidth(0, 21);
    Grid1->setColumnWidth(1, 560);
    Grid1->hide();

    // 4. Text panel.
    pLic = new QFrame(this);
    pLic->setGeometry(7, 328, 618, 65);
    pLic->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pLic->setAutoFillBackground(true);
    lblTexto = rotuloTexto(pLic, 8, 8);
    lblCopy1 = rotuloTexto(pLic, 8, 36);
    ui::tornarTextoAcessivel(lblTexto);
    ui::nomear(lblTexto, QStringLiteral("Linha a digitar"));
    ajustarRotulo(lblTexto);
    ajustarRotulo(lblCopy1);
    lblCursor = new QLabel(QStringLiteral(" "), pLic);
    lblCursor->setFont(lblCopy1->font());
    lblCursor->setTextFormat(Qt::PlainText);
    lblCursor->setAttribute(Qt::WA_TranslucentBackground);
    lblCursor->move(8, 38);
    lblCursor->resize(lblCursor->sizeHint());

    // 5. The input field: no size, no frame. Input-method handling is off so that the dead
    // keys arrive as key presses (the guide lights the letter on the accent key) and the
    // accented letter is composed here, as one keystroke.
    txtLetra = new QLineEdit(pLic);
    // A screen reader follows the copy and its caret here, where the focus is while typing.
    ui::tornarTextoAcessivel(txtLetra);
    ui::nomear(txtLetra, texto("Sua cópia"));
    txtLetra->setObjectName(QStringLiteral("txtLetra"));
    txtLetra->setFrame(false);
    txtLetra->setMaxLength(1);
    txtLetra->setGeometry(0, 0, 0, 0);
    txtLetra->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtLetra->installEventFilter(this);
    txtLetra->setEnabled(false);

    // 6. Status bar with seven panels.
    sb1 = new QStatusBar(this);
    sb1->setGeometry(0, 404, 632, 22);
    sb1->setSizeGripEnabled(false);
    for (int largura : {80, 50, 80, 100, 50, 50, 70}) {
        auto* painel = new QLabel(sb1);
        painel->setFixedWidth(largura);
        painel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        sb1->addWidget(painel);
        sb1Panels.append(painel);
    }
    sb1Panels[6]->setText(QLocale(QLocale::Portuguese, QLocale::Brazil)
                              .toString(QDate::currentDate(), QStringLiteral("dd/MM/yyyy")));
    ajustarPainelData();

    // Non-visual parts.
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { ui::protegido(this, [this] { Timer1Timer(); }); });
    TimerCursor = new QTimer(this);
    TimerCursor->setInterval(250);
    connect(TimerCursor, &QTimer::timeout, this, &TFDigitacao::TimerCursorTimer);
    // The lock lights change from any window or key; the panels follow them.
    timerTravas_ = new QTimer(this);
    timerTravas_->setInterval(200);
    connect(timerTravas_, &QTimer::timeout, this, [this] { atualizarTravas(); });
    wave1 = new plataforma::SomWave(QStringLiteral(":/sons/erro.wav"), this);
    TimerFala = new QTimer(this);
    TimerFala->setSingleShot(true);
    TimerFala->setInterval(4000);
    connect(TimerFala, &QTimer::timeout, this, [this] {
        if (locutor_ && sessao->rodando()) locutor_->esperando(caractereEsperado());
    });
    TabTecla = new TApTable(this);
    TabTecla->setReadOnly(true);

    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

// The colours of the scheme in use: the panels, the texts, the keyboard guide.
void TFDigitacao::aplicarCores()
{
    const ui::Cores& c = ui::cores();
    ui::colorir(Panel5, QPalette::Window, c.fundoFiguras);
    for (QLabel* l : Panel5->findChildren<QLabel*>()) ui::colorir(l, QPalette::WindowText, c.textoFiguras);
    pSeg->setStyleSheet(QStringLiteral("QProgressBar { background: %1; border: 1px solid %2; }"
                                       "QProgressBar::chunk { background: %2; }")
                            .arg(c.fundoFiguras.name(), c.textoFiguras.name()));
    ui::colorir(pLic, QPalette::Window, c.fundoLicao);
    for (QLabel* l : {lblTexto, lblCopy1}) ui::colorir(l, QPalette::Window, c.fundoLinha);
    ui::colorir(lblTexto, QPalette::WindowText, c.textoLinha);
    ui::colorir(lblCopy1, QPalette::WindowText, c.textoCopia);
    ui::colorir(lblCursor, QPalette::WindowText, c.cursor);
    pintarTeclado();
}

// The student's text size for what is read while typing: the figures, the line and the copy,
// at once (the rest of the program takes it at its next start, so what that scale already
// gives is not given twice). The window grows around them and stays on the screen.
void TFDigitacao::aplicarTamanho(int percentual, bool dislexia)
{
    const double f = std::max(1.0, double(percentual) / plataforma::TamanhoDaTela::escalaDaExecucao());
    // The window keeps to the screen's width.
    const QScreen* tela = screen() ? screen() : QGuiApplication::primaryScreen();
    const int cabe = tela ? tela->availableGeometry().width() - 30 : 1250;
    const double fPainel = std::max(1.0, std::min(f, double(cabe) / 632));
    for (QWidget* w : Panel5->findChildren<QWidget*>()) ui::escalar(w, fPainel);
    const int alturaFiguras = int(std::lround(80 * fPainel));

    // The longest line fits too: a wider font is made smaller until it does.
    const QString familia = dislexia ? ui::familiaDislexia() : QString();
    const QString linhaMaisLonga(int(dominio::kLarguraLinha), QLatin1Char('W'));
    QFont fonte;
    int larguraLicao = 0;
    for (int px = int(std::lround(16 * f)); px >= 8; --px) {
        fonte = familia.isEmpty() ? ui::fontePixels(QStringLiteral("Courier New"), px, true) : ui::fontePixels(familia, px);
        larguraLicao = std::max(618, QFontMetrics(fonte).horizontalAdvance(linhaMaisLonga) + 16);
        if (larguraLicao <= std::max(618, cabe)) break;
    }
    for (QLabel* l : {lblTexto, lblCopy1, lblCursor}) l->setFont(fonte);
    const int alturaLinha = QFontMetrics(fonte).height();
    lblTexto->move(8, 8);
    lblCopy1->move(8, std::max(int(std::lround(36 * f)), 8 + alturaLinha + 6));
    lblCursor->move(8, lblCopy1->y() + 2);
    ajustarRotulo(lblTexto);
    ajustarRotulo(lblCopy1);
    lblCursor->resize(lblCursor->sizeHint());
    const int alturaLicao = std::max(int(std::lround(65 * f)), lblCopy1->y() + alturaLinha + 9);

    const int largura = std::max({632, int(std::lround(632 * fPainel)), larguraLicao + 14});
    Panel4->resize(largura, Panel4->height());
    Panel5->setGeometry(0, 40, largura, alturaFiguras);
    Notebook2->move((largura - Notebook2->width()) / 2, Panel5->geometry().bottom() + 1);
    pLic->setGeometry((largura - larguraLicao) / 2, Notebook2->geometry().bottom() + 5, larguraLicao, alturaLicao);
    sb1->setGeometry(0, pLic->geometry().bottom() + 12, largura, sb1->height());
    setFixedSize(largura, sb1->geometry().bottom() + 1);
    if (tela) move(tela->availableGeometry().center() - rect().center());
}

// The date panel is as wide as its whole text in the window's font, whatever the font is.
void TFDigitacao::ajustarPainelData()
{
    QLabel* data = sb1Panels[6];
    data->setFixedWidth(std::max(70, data->sizeHint().width() + 4));
}

void TFDigitacao::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && sb1Panels.size() > 6) ajustarPainelData();
}

// ---- Showing and closing ----------------------------------------------------------------

void TFDigitacao::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || mostrado_) return;
    mostrado_ = true;
    ui::protegido(this, [this] { FormShow(); });
}

void TFDigitacao::closeEvent(QCloseEvent* event)
{
    bool pode = true;
    ui::protegido(this, [&] { pode = FormCloseQuery(); });
    if (!pode) {
        event->ignore();
        return;
    }
    ui::protegido(this, [this] { FormClose(); });
    mostrado_ = false;
    setResult(QDialog::Rejected);
    event->accept();
}

// Escape and the window manager's close go through the same question as "Sair".
void TFDigitacao::reject() { close(); }

void TFDigitacao::FormShow()
{
    TApTable* aluno = dm1->TabAluno;
    TecladoLigado = aluno->fieldByName(QStringLiteral("Teclado")).asBoolean();
    NomeAluno = aluno->fieldByName(QStringLiteral("Nome")).asString().left(25);
    TipoLicao = aluno->fieldByName(QStringLiteral("Tipo")).asString().left(15);
    NivelAluno = aluno->fieldByName(QStringLiteral("Nivel")).asString().left(15);
    // Another type keeps the previous value.
    if (const dominio::TipoCurso* tipo = dominio::tipoCurso(TipoLicao.toStdString()))
        licao_.maxLicoes = tipo->maxLicoes;

    LNome->setText(QStringLiteral("Nome: ") + NomeAluno);
    lNivel->setText(texto("Nível: ") + NivelAluno);
    LTipo->setText(QStringLiteral("Tipo: ") + TipoLicao);

    TApTable* exig = dm1->TabExig;
    exig->setFilter(QString::fromStdString(
        dominio::filtroTipoNivel(TipoLicao.toStdString(), NivelAluno.toStdString())));
    // No row for the pair: nothing relies on the values then.
    licao_.exigVel = exig->isEmpty() ? 0 : int(exig->fieldByName(QStringLiteral("Velocidade")).asInteger());
    licao_.exigPrec = exig->isEmpty() ? 0 : int(exig->fieldByName(QStringLiteral("Precisao")).asInteger());
    lVeloc->setText(QStringLiteral("Velocidade: ") + QString::number(licao_.exigVel) + QStringLiteral(" teclas/min."));
    LPrec->setText(texto("Precisão: ") + QString::number(licao_.exigPrec) + QStringLiteral("%"));

    LicaoNumerica = TipoLicao == QString::fromUtf8(dominio::kTipoNumerico);
    licao_.numerico = LicaoNumerica;
    licao_.abnt2 = dm1->Abnt2Keyboard;
    licoes_ = std::make_unique<dominio::LeitorLicoes>(plataforma::diretorioTrabalho().toStdString(), dm1->Abnt2Keyboard);

    SelecionarTeclado();
    // The student's own aids, wherever he or she sits.
    const dominio::AjudasAluno ajudas = dominio::lerAjudas(aluno->databaseName().toStdString(), NomeAluno.toStdString());
    plataforma::ligarFala(ajudas.falar);
    locutor_.reset(plataforma::falando() ? new Locutor(plataforma::voz()) : nullptr);
    ui::usarAltoContraste(ajudas.altoContraste);
    aplicarCores();
    aplicarTamanho(ajudas.tamanhoTexto, ajudas.fonteDislexia);

    Recarregar = true;
    LimparDados();
    Grid1->hide();
    atualizarTravas();
    timerTravas_->start();
}

bool TFDigitacao::FormCloseQuery()
{
    if (Timer1->isActive()) {
        // The seconds the question stays open are nobody's typing: the clock waits for the answer.
        Timer1->stop();
        if (!ui::pergunta(this, texto("Você não concluiu a lição. Deseja realmente abandonar a lição?"))) {
            Timer1->start();
            teclas_.retomar(relogioTeclas_.elapsed());
            return false;
        }
    }
    // The window closes all the same; a choice that cannot be stored is said, and the
    // student's record is left unlocked for the other computers.
    try {
        TApTable* aluno = dm1->TabAluno;
        Gravacao gravacao(aluno, Gravacao::Modo::Editar);
        aluno->fieldByName(QStringLiteral("Teclado")).setAsBoolean(TecladoLigado);
        gravacao.gravar();
    } catch (const xbase::Error& e) {
        ui::erro(this, QStringLiteral("A escolha do teclado não pôde ser guardada: ") + QString::fromUtf8(e.what()));
    }
    return true;
}

void TFDigitacao::FormClose()
{
    qApp->removeEventFilter(this);
    sessao->pausar();
    Timer1->stop();
    TimerCursor->stop();
    timerTravas_->stop();
    txtLetra->setEnabled(false);
}

// ---- Lesson ----------------------------------------------------------------------------

void TFDigitacao::CarregarLicao()
{
    treinando_ = !treino_.isEmpty();
    if (treinando_) {
        DBMemo1 = treino_;
        treino_.clear();
        lLicao->setText(QStringLiteral("Treino"));
        ZerarDados();
        iniciarSessao(0);
        return;
    }
    const std::string tipo = TipoLicao.toStdString();
    int numLicao = 1;
    const int liberada = int(dm1->TabAluno->fieldByName(QStringLiteral("Licao")).asInteger());
    if (liberada > 1) {
        int total = 0;
        if (!ui::protegido(this, [&] { total = licoes_->quantas(tipo); })) return;
        FSelec->se1->setMaxValue(liberada);
        FSelec->se1->setValue(liberada);
        FSelec->sb2->setTextoPainel(0, texto("Lição permitada até: ") + QString::number(liberada));
        FSelec->sb2->setTextoPainel(1, texto("Total de lições: ") + QString::number(total));
        FSelec->exec();
        // Whatever way the chooser was closed, the number shown is taken.
        numLicao = FSelec->se1->value();
    }

    std::vector<std::string> linhas;
    if (!ui::protegido(this, [&] { linhas = licoes_->linhas(tipo, numLicao); })) return;
    DBMemo1.clear();
    for (const std::string& linha : linhas) DBMemo1.append(QString::fromStdString(linha));
    lLicao->setText(texto("Lição: ") + QString::number(numLicao));

    const int n = DBMemo1.size();
    Grid1->clearContents();
    Grid1->setRowCount(n);
    Grid1->setColumnWidth(0, 21);
    Grid1->setColumnWidth(1, 560);
    for (int i = 0; i < n; ++i) {
        Grid1->setItem(i, 0, new QTableWidgetItem(QString::number(i + 1)));
        Grid1->setItem(i, 1, new QTableWidgetItem(QString::fromStdString(dominio::aparar(DBMemo1[i].toStdString()))));
    }
    Grid1->show();

    ZerarDados();
    iniciarSessao(numLicao);
}

void TFDigitacao::iniciarSessao(int numLicao)
{
    // Cleared before the first line is set up: a lesson without lines ends at once and asks
    // for a reload, and bIniciarClick then does not start typing on nothing.
    Recarregar = false;
    teclas_.limpar();
    licao_.linhas = DBMemo1;
    licao_.numero = numLicao;
    sessao->preparar(licao_);
}

void TFDigitacao::ZerarDados()
{
    pSeg->setValue(0);
    VelL->setText(QStringLiteral("000 teclas/min"));
    PrecL->setText(QStringLiteral("00%"));
    DuracaoL->setText(QStringLiteral("00:00"));
    for (int i = 0; i < 3; ++i) sb1Panels[i]->clear();
}

void TFDigitacao::LimparDados()
{
    VelL->clear();
    DuracaoL->clear();
    PrecL->clear();
    lLicao->clear();
    lblTexto->clear();
    ajustarRotulo(lblTexto);
    for (int i = 0; i < 3; ++i) sb1Panels[i]->clear();
    pSeg->setValue(0);
}

void TFDigitacao::Ativar()
{
    bIniciar->setEnabled(false);
    bTeclado->setEnabled(false);
    bPesquisa->setEnabled(false);
    bPausar->setEnabled(true);
    Timer1->start();
    TimerCursor->start();
    lblCursor->setText(QStringLiteral("_"));
    txtLetra->setEnabled(true);
    txtLetra->setFocus();
    sessao->iniciar();
    teclas_.retomar(relogioTeclas_.elapsed());
    qApp->installEventFilter(this);
    lblTexto->show();
    lblCopy1->show();
    Restaura();
    if (TecladoLigado) AchaTecla(sessao->estado().TeclaProx);
}

void TFDigitacao::Desativar()
{
    bTeclado->setEnabled(true);
    bPesquisa->setEnabled(true);
    bIniciar->setEnabled(true);
    bPausar->setEnabled(false);
    Timer1->stop();
    TimerCursor->stop();
    lblCursor->setText(QStringLiteral(" "));
    txtLetra->setEnabled(false);
    sessao->pausar();
    qApp->removeEventFilter(this);
    // Hidden so that the text cannot be read during a pause.
    lblTexto->hide();
    lblCopy1->hide();
    LimparTeclaAnt();
}

// The yellow of a text label covers its text only, and nothing when it is empty.
void TFDigitacao::ajustarRotulo(QLabel* rotulo)
{
    rotulo->adjustSize();
    if (rotulo->text().isEmpty()) rotulo->resize(0, rotulo->height());
}

// ---- Buttons ---------------------------------------------------------------------------

void TFDigitacao::bIniciarClick()
{
    if (Recarregar) {
        ZerarDados();
        CarregarLicao();
        if (Recarregar) return;  // the lesson had no line: it has ended already
    }
    Ativar();
}

void TFDigitacao::bPausarClick() { Desativar(); }

void TFDigitacao::bTecladoClick()
{
    TecladoLigado = !TecladoLigado;
    SelecionarTeclado();
}

void TFDigitacao::bPesquisaClick()
{
    // The results list frees itself when it closes.
    auto* relat = new TfRelat(this);
    relat->NomeAluno = NomeAluno;
    relat->TipoLicao = TipoLicao;
    relat->UltimaLicao = qint32(dm1->TabAluno->fieldByName(QStringLiteral("Licao")).asInteger());
    relat->aoTreinar = [this](const std::u32string& fracas) { return treinarTeclas(fracas); };
    relat->exec();
}

void TFDigitacao::fcShapeBtn5Click() { plataforma::mostrarAjuda(6, this); }
