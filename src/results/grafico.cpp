#include "grafico.h"

#include "data/Data1.h"
#include "domain/Estatisticas.h"
#include "platform/Ajuda.h"
#include "ui/Mensagens.h"
#include "ui/TChart.h"
#include "ui/TLabel3D.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>

namespace {

const QString kVelocidade = QStringLiteral("Gráfico de velocidade");
const QString kPrecisao = QStringLiteral("Gráfico de precisão");

constexpr int kLarguraGrafico = 447;
constexpr int kAlturaGrafico = 391;

// A small picture of the chart kind for its button.
QIcon iconeGrafico(TChart::Tipo tipo)
{
    QPixmap figura(16, 16);
    figura.fill(Qt::transparent);
    QPainter p(&figura);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(1, 1, 1, 14);
    p.drawLine(1, 14, 15, 14);
    const QPolygonF linha({QPointF(3, 11), QPointF(6, 6), QPointF(10, 9), QPointF(14, 3)});
    switch (tipo) {
    case TChart::Tipo::Linha:
        p.setPen(QPen(Qt::red, 2));
        p.drawPolyline(linha);
        break;
    case TChart::Tipo::Area: {
        QPolygonF area = linha;
        area << QPointF(14, 13) << QPointF(3, 13);
        p.setPen(QPen(Qt::darkGreen, 1));
        p.setBrush(QColor(0, 170, 0));
        p.drawPolygon(area);
        break;
    }
    case TChart::Tipo::Barra:
        p.setPen(Qt::NoPen);
        p.fillRect(QRect(3, 8, 3, 6), Qt::red);
        p.fillRect(QRect(7, 4, 3, 10), Qt::blue);
        p.fillRect(QRect(11, 6, 3, 8), QColor(0, 160, 0));
        break;
    }
    return QIcon(figura);
}

// A sunken panel of the status line.
QLabel* painelStatus(QWidget* pai, int x, int largura, int altura)
{
    auto* painel = new QLabel(pai);
    painel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    painel->setContentsMargins(3, 0, 3, 0);
    painel->setGeometry(x, 0, largura, altura);
    return painel;
}

} // namespace

TfGrafico::TfGrafico(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Gráficos"));
    setFixedSize(632, 453);
    setAttribute(Qt::WA_DeleteOnClose);

    criarGraficos();
    criarPainelDireito();
    criarBotoes();
    criarStatus();

    Timer1 = new QTimer(this);
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, &TfGrafico::Timer1Timer);

    lerResultados();
    FormCreate();

    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

TfGrafico::~TfGrafico() = default;

// ---- Building the window -------------------------------------------------------------------

void TfGrafico::criarGraficos()
{
    Notebook1 = new QStackedWidget(this);
    Notebook1->setGeometry(0, 0, kLarguraGrafico, kAlturaGrafico);

    TChart::Parede chao;
    chao.cor = Qt::red;
    chao.corBorda = Qt::yellow;
    chao.larguraBorda = 2;
    chao.tamanho = 2;
    TChart::Parede lado;
    lado.cor = QColor(128, 128, 255);
    lado.corBorda = Qt::yellow;
    lado.larguraBorda = 2;
    lado.tamanho = 3;
    QFont rodape(QStringLiteral("Arial"));
    rodape.setPixelSize(11);
    rodape.setItalic(true);

    auto novo = [&](TChart::Tipo tipo, bool velocidade) {
        auto* g = new TChart(Notebook1);
        g->setTipo(tipo);
        g->setTitulo(velocidade ? kVelocidade : kPrecisao);
        g->setTituloEixo(velocidade ? QStringLiteral("Velocidade (teclas/minuto)")
                                    : QStringLiteral("Precisão (%)"));
        if (velocidade)
            g->setFaixa(60, 360);
        else
            g->setFaixa(0, 100);
        g->setPontosPorPagina(10);
        g->setCorSerie(Qt::red);
        g->setCorPorPonto(true);
        g->setParedeInferior(chao);
        g->setParedeEsquerda(lado);
        g->setFonteRodape(rodape, Qt::red);
        g->setVisao3D(true);
        g->setProfundidade(15);
        Notebook1->addWidget(g);
        return g;
    };
    DBChart1 = novo(TChart::Tipo::Linha, true);
    DBChart2 = novo(TChart::Tipo::Area, true);
    DBChart3 = novo(TChart::Tipo::Barra, true);
    DBChart4 = novo(TChart::Tipo::Linha, false);
    DBChart5 = novo(TChart::Tipo::Area, false);
    DBChart6 = novo(TChart::Tipo::Barra, false);
}

void TfGrafico::criarPainelDireito()
{
    auto* painel = new QWidget(this);
    painel->setGeometry(kLarguraGrafico, 0, 632 - kLarguraGrafico, kAlturaGrafico);

    auto* caixaTitulo = new QFrame(painel);
    caixaTitulo->setFrameStyle(QFrame::Panel | QFrame::Raised);
    caixaTitulo->setLineWidth(2);
    caixaTitulo->setGeometry(6, 8, 173, 64);
    Label1 = new TLabel3D(QStringLiteral("Tarvex 3"), caixaTitulo);
    QFont fonteTitulo(QStringLiteral("Arial"));
    fonteTitulo.setPixelSize(32);
    fonteTitulo.setBold(true);
    Label1->setFont(fonteTitulo);
    Label1->setEstilo(TLabel3D::Estilo::Extrusion);
    Label1->setProfundidade(5);
    Label1->setCorSombra(Qt::yellow);
    Label1->setStyleSheet(QStringLiteral("color: red;"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(4, 4, 165, 56);

    auto* grupo = new QGroupBox(QStringLiteral("Selecione o tipo de gráfico:"), painel);
    grupo->setGeometry(6, 82, 173, 178);
    rb1 = new QRadioButton(QStringLiteral("Velocidade"), grupo);
    rb1->setGeometry(14, 26, 150, 20);
    rb1->setChecked(true);
    rb2 = new QRadioButton(QStringLiteral("Precisão"), grupo);
    rb2->setGeometry(14, 48, 150, 20);
    bit1 = new QPushButton(iconeGrafico(TChart::Tipo::Linha), QStringLiteral("Linha"), grupo);
    bit1->setGeometry(14, 76, 145, 27);
    bit2 = new QPushButton(iconeGrafico(TChart::Tipo::Area), QStringLiteral("Área"), grupo);
    bit2->setGeometry(14, 108, 145, 27);
    bit3 = new QPushButton(iconeGrafico(TChart::Tipo::Barra), QStringLiteral("Barra"), grupo);
    bit3->setGeometry(14, 140, 145, 27);

    auto* legenda2D = new QLabel(QStringLiteral("2D"), painel);
    legenda2D->setGeometry(16, 274, 30, 20);
    CheckBox1 = new QCheckBox(QStringLiteral("3&D:"), painel);
    CheckBox1->setLayoutDirection(Qt::RightToLeft);  // the box after its caption
    CheckBox1->setGeometry(66, 274, 56, 20);
    CheckBox1->setChecked(true);
    auto* legenda3D = new QLabel(QStringLiteral("3D"), painel);
    legenda3D->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    legenda3D->setGeometry(136, 274, 30, 20);

    ScrollBar2 = new QScrollBar(Qt::Horizontal, painel);
    ScrollBar2->setGeometry(14, 302, 157, 18);
    ScrollBar2->setRange(1, 100);
    ScrollBar2->setValue(15);

    cb2 = new QCheckBox(QStringLiteral("Animar gráfico"), painel);
    cb2->setGeometry(14, 334, 157, 20);

    connect(bit1, &QPushButton::clicked, this, &TfGrafico::bit1Click);
    connect(bit2, &QPushButton::clicked, this, &TfGrafico::bit2Click);
    connect(bit3, &QPushButton::clicked, this, &TfGrafico::bit3Click);
    connect(rb1, &QRadioButton::toggled, this, [this](bool marcado) { if (marcado) rb1Click(); });
    connect(rb2, &QRadioButton::toggled, this, [this](bool marcado) { if (marcado) rb2Click(); });
    connect(CheckBox1, &QCheckBox::toggled, this, &TfGrafico::CheckBox1Click);
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &TfGrafico::ScrollBar2Change);
    connect(cb2, &QCheckBox::toggled, this, &TfGrafico::cb2Click);
}

void TfGrafico::criarBotoes()
{
    auto botao = [this](const QString& texto, int x) {
        auto* b = new QPushButton(texto, this);
        b->setGeometry(x, kAlturaGrafico + 8, 95, 25);
        b->setAutoDefault(false);
        return b;
    };
    BFirstPage = botao(QStringLiteral("Inicio"), 11);
    bPrev = botao(QStringLiteral("Voltar"), 114);
    Next = botao(QStringLiteral("Avançar"), 217);
    BLastPage = botao(QStringLiteral("Fim"), 320);
    BitBtn4 = botao(QStringLiteral("&Ajuda"), 423);
    BitBtn4->setIcon(QIcon(QStringLiteral(":/imagens/ajuda16.png")));
    BitBtn3 = botao(QStringLiteral("&Sair"), 526);
    BitBtn3->setIcon(QIcon(QStringLiteral(":/imagens/sair16.png")));

    connect(BFirstPage, &QPushButton::clicked, this, &TfGrafico::BFirstPageClick);
    connect(bPrev, &QPushButton::clicked, this, &TfGrafico::bPrevClick);
    connect(Next, &QPushButton::clicked, this, &TfGrafico::NextClick);
    connect(BLastPage, &QPushButton::clicked, this, &TfGrafico::BLastPageClick);
    connect(BitBtn4, &QPushButton::clicked, this, &TfGrafico::BitBtn4Click);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::close);
}

void TfGrafico::criarStatus()
{
    const int altura = 21;
    auto* status = new QWidget(this);
    status->setGeometry(0, height() - altura, width(), altura);
    p3 = painelStatus(status, 0, 129, altura);
    p2 = painelStatus(status, 129, 168, altura);
    p1 = painelStatus(status, 297, 72, altura);
    painelStatus(status, 369, width() - 369, altura);
}

// The results the list has selected, in record order, into the speed and accuracy charts.
void TfGrafico::lerResultados()
{
    if (!dm1 || !dm1->TabRelat->active()) return;
    QVector<int> velocidades;
    QVector<int> precisoes;
    ui::protegido(this, [&] {
        TApTable* tabela = dm1->TabRelat;
        tabela->first();
        while (!tabela->eof()) {
            velocidades << int(tabela->fieldByName(QStringLiteral("Velocidade")).asInteger());
            precisoes << int(tabela->fieldByName(QStringLiteral("Precisao")).asInteger());
            tabela->next();
        }
    });
    // A speed the fixed axis does not hold widens it, so that every result is seen.
    const dominio::FaixaEixo faixa = dominio::faixaVelocidade({velocidades.begin(), velocidades.end()});
    for (TChart* g : {DBChart1, DBChart2, DBChart3}) {
        g->setFaixa(faixa.minimo, faixa.maximo);
        g->setValores(velocidades);
    }
    for (TChart* g : {DBChart4, DBChart5, DBChart6}) g->setValores(precisoes);
}

void TfGrafico::FormCreate()
{
    Notebook1->setCurrentIndex(0);
    p3->setText(TextoPagina());
    p2->setText(kVelocidade);
    p1->setText(QStringLiteral("3D"));
    AnimacaoDescendo = false;
}

// ---- Choosing the chart --------------------------------------------------------------------

TChart* TfGrafico::GraficoAtual() const { return qobject_cast<TChart*>(Notebook1->currentWidget()); }

void TfGrafico::Listar()
{
    TChart* g = GraficoAtual();
    g->setVisao3D(CheckBox1->isChecked());
    ScrollBar2->setEnabled(g->visao3D());
    g->setProfundidade(ScrollBar2->value());
}

void TfGrafico::mostrarPagina(int pagina)
{
    Notebook1->setCurrentIndex(pagina);
    Listar();
}

void TfGrafico::bit1Click() { mostrarPagina(rb1->isChecked() ? 0 : 3); }
void TfGrafico::bit2Click() { mostrarPagina(rb1->isChecked() ? 1 : 4); }
void TfGrafico::bit3Click() { mostrarPagina(rb1->isChecked() ? 2 : 5); }

void TfGrafico::rb1Click()
{
    switch (Notebook1->currentIndex()) {
    case 3: bit1Click(); break;
    case 4: bit2Click(); break;
    case 5: bit3Click(); break;
    default: break;
    }
    p2->setText(kVelocidade);
}

void TfGrafico::rb2Click()
{
    switch (Notebook1->currentIndex()) {
    case 0: bit1Click(); break;
    case 1: bit2Click(); break;
    case 2: bit3Click(); break;
    default: break;
    }
    p2->setText(kPrecisao);
}

// ---- Three dimensions and the animation ----------------------------------------------------

void TfGrafico::CheckBox1Click()
{
    const bool marcado = CheckBox1->isChecked();
    GraficoAtual()->setVisao3D(marcado);
    ScrollBar2->setEnabled(marcado);
    p1->setText(marcado ? QStringLiteral("3D") : QStringLiteral("2D"));
    cb2->setEnabled(marcado);
    if (!cb2->isEnabled())
        Timer1->stop();
    else if (cb2->isChecked())
        Timer1->start();
}

void TfGrafico::ScrollBar2Change() { GraficoAtual()->setProfundidade(ScrollBar2->value()); }

void TfGrafico::cb2Click()
{
    if (cb2->isChecked())
        Timer1->start();
    else
        Timer1->stop();
}

// The depth swings between 1 and 100 percent; the slider shows 1 for a counter of 0 and
// reports only real changes of its position.
void TfGrafico::Timer1Timer()
{
    Timer1Tag += AnimacaoDescendo ? -5 : 5;
    if (Timer1Tag <= 0) {
        Timer1Tag = 0;
        AnimacaoDescendo = false;
    } else if (Timer1Tag >= 100) {
        Timer1Tag = 100;
        AnimacaoDescendo = true;
    }
    ScrollBar2->setValue(Timer1Tag);
}

// ---- Paging --------------------------------------------------------------------------------

QString TfGrafico::TextoPagina(const QString& inicio) const
{
    const TChart* g = GraficoAtual();
    return inicio + QString::number(g->pagina()) + QStringLiteral(" de ") + QString::number(g->paginas());
}

void TfGrafico::BFirstPageClick()
{
    GraficoAtual()->setPagina(1);
    BLastPage->setEnabled(true);
    BFirstPage->setEnabled(false);
    p3->setText(TextoPagina());
}

void TfGrafico::BLastPageClick()
{
    TChart* g = GraficoAtual();
    g->setPagina(g->paginas());
    BLastPage->setEnabled(false);
    BFirstPage->setEnabled(true);
    p3->setText(TextoPagina());
}

void TfGrafico::bPrevClick()
{
    TChart* g = GraficoAtual();
    g->setPagina(g->pagina() - 1);
    if (g->pagina() == 1) {
        BFirstPage->setEnabled(false);
        bPrev->setEnabled(false);
        BLastPage->setEnabled(true);
        Next->setEnabled(true);
    }
    p3->setText(TextoPagina());
}

void TfGrafico::NextClick()
{
    TChart* g = GraficoAtual();
    g->setPagina(g->pagina() + 1);
    if (g->pagina() == g->paginas()) {
        BFirstPage->setEnabled(true);
        bPrev->setEnabled(true);
        BLastPage->setEnabled(false);
        Next->setEnabled(false);
    }
    p3->setText(TextoPagina(QStringLiteral(" Página ")));
}

void TfGrafico::BitBtn4Click() { plataforma::mostrarAjuda(12, this); }
