#include "Teclas.h"
#include "ui/Acessibilidade.h"

#include "domain/ArquivoTeclas.h"
#include "domain/Cursos.h"
#include "domain/DesenhoTeclado.h"
#include "platform/Ajuda.h"
#include "platform/Diretorios.h"
#include "platform/Exibicao.h"
#include "ui/Botoes.h"
#include "ui/Mensagens.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The colour of a key by its error rate, and the legend that names each colour.
struct Faixa {
    double ateTaxa;
    QColor cor;
    const char* legenda;
};
const Faixa kFaixas[] = {
    {0.0, QColor(120, 200, 120), "sem erros"},
    {0.02, QColor(200, 230, 120), "até 2%"},
    {0.05, QColor(255, 220, 90), "até 5%"},
    {0.10, QColor(255, 150, 60), "até 10%"},
    {1.0, QColor(230, 60, 50), "mais de 10%"},
};
const QColor kSemDados(200, 200, 200);

// Fewer keystrokes than this say nothing of a key.
constexpr long long kMinimoToques = 5;
constexpr std::size_t kTeclasNaLista = 12;
constexpr std::size_t kTeclasTreinadas = 6;
constexpr int kContextoAjuda = 16;
const QSize kTamanhoTeclado(524, 184);

QColor corDaTaxa(double taxa)
{
    for (const Faixa& f : kFaixas)
        if (taxa <= f.ateTaxa) return f.cor;
    return kFaixas[std::size(kFaixas) - 1].cor;
}

QLabel* quadro(QWidget* pai, const QString& texto, const QColor& cor)
{
    auto* l = new QLabel(texto, pai);
    l->setFrameStyle(QFrame::Panel | QFrame::Raised);
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, cor);
    pal.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(pal);
    return l;
}

// The drawing of the keyboard the practice window guides with.
dominio::DesenhoTeclado desenho(bool abnt2, bool numerico)
{
    const QString nome = QString::fromLatin1(abnt2 ? "ABNT2" : "EUA") + (numerico ? QStringLiteral("n") : QString());
    const QString arquivo = numerico ? QStringLiteral(":/teclados/TecladoN.txt")
                                     : abnt2 ? QStringLiteral(":/teclados/TecladoB.txt") : QStringLiteral(":/teclados/TecladoA.txt");
    QFile f(arquivo);
    if (f.open(QIODevice::ReadOnly))
        for (const dominio::DesenhoTeclado& d : dominio::lerDesenhos(f.readAll().toStdString()))
            if (QString::fromStdString(d.nome) == nome) return d;
    return {};
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Each key of the student's keyboard, coloured by its error rate.
QVector<QuadroTecla> quadrosDoTeclado(const dominio::EstatisticaTeclas& figuras, bool abnt2, bool numerico)
{
    const dominio::DesenhoTeclado d = desenho(abnt2, numerico);
    const std::map<int, dominio::FiguraTecla> porTecla = dominio::figurasPorTecla(figuras, d);
    QVector<QuadroTecla> quadros;
    for (const dominio::PainelTecla& p : d.paineis) {
        const auto f = porTecla.find(p.tecla);
        const bool temDados = f != porTecla.end() && f->second.toques() > 0;
        quadros.push_back({QRect(4 + p.x, 4 + p.y, p.largura, p.altura),
                           temDados ? corDaTaxa(f->second.taxaErro()) : kSemDados, qs(p.legenda),
                           p.legenda.size() > 2 && p.legenda.find('\n') == std::string::npos ? 10 : 12,
                           temDados ? QStringLiteral("%1 toques, %2 erros").arg(f->second.toques()).arg(f->second.erros)
                                    : QString()});
    }
    return quadros;
}

// The weakest keys: key, error rate, time per keystroke, what was typed instead.
QVector<QStringList> linhasDasFracas(const dominio::EstatisticaTeclas& figuras)
{
    const QLocale local(QLocale::Portuguese, QLocale::Brazil);
    QVector<QStringList> linhas;
    for (char32_t c : figuras.maisFracas(kTeclasNaLista, kMinimoToques)) {
        const dominio::FiguraTecla& f = figuras.figuras().at(c);
        QString troca;
        if (const char32_t t = f.trocaMaisComum())
            troca = QStringLiteral("%1 (%2×)").arg(qs(dominio::textoTroca(c, t))).arg(f.vezesTroca());
        linhas.push_back({qs(dominio::nomeTecla(c)), local.toString(f.taxaErro() * 100, 'f', 1) + QStringLiteral("%"),
                          QStringLiteral("%1 ms").arg(qRound(f.msPorToque())), troca});
    }
    return linhas;
}

// The colours of the keyboard and what each says.
QVector<QPair<QString, QColor>> legenda()
{
    QVector<QPair<QString, QColor>> itens;
    for (const Faixa& f : kFaixas) itens.push_back({QString::fromUtf8(f.legenda), f.cor});
    itens.push_back({QStringLiteral("sem dados"), kSemDados});
    return itens;
}

const QStringList kCabecalhoLista = {QStringLiteral("Tecla"), QStringLiteral("Taxa de erro"),
                                     QStringLiteral("Tempo por toque"), QStringLiteral("O que foi digitado")};

} // namespace

TfTeclas::TfTeclas(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Teclas"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* coluna = new QVBoxLayout(this);
    titulo_ = new QLabel(this);
    coluna->addWidget(titulo_);

    teclado_ = new QWidget(this);
    teclado_->setFixedSize(kTamanhoTeclado);
    coluna->addWidget(teclado_, 0, Qt::AlignHCenter);

    auto* legenda = new QHBoxLayout;
    legenda->addWidget(new QLabel(QStringLiteral("Erros por tecla:"), this));
    for (const auto& [texto, cor] : ::legenda()) legenda->addWidget(quadro(this, texto, cor));
    legenda->addStretch();
    coluna->addLayout(legenda);

    coluna->addWidget(new QLabel(QStringLiteral("Teclas mais fracas:"), this));
    lista_ = new QTableWidget(this);
    ui::nomear(lista_, QStringLiteral("Teclas mais fracas"));
    lista_->setColumnCount(4);
    lista_->setHorizontalHeaderLabels(kCabecalhoLista);
    lista_->verticalHeader()->hide();
    lista_->verticalHeader()->setDefaultSectionSize(22);
    lista_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lista_->horizontalHeader()->setStretchLastSection(true);
    coluna->addWidget(lista_);

    auto* botoes = new QHBoxLayout;
    treinar_ = new QPushButton(QStringLiteral("Treinar estas teclas"), this);
    treinar_->hide();
    connect(treinar_, &QPushButton::clicked, this, [this] {
        std::u32string fracas;
        for (char32_t c : figuras_.maisFracas(kTeclasTreinadas, kMinimoToques)) fracas += c;
        if (aoTreinar && aoTreinar(fracas)) close();
    });
    botoes->addWidget(treinar_);
    botoes->addStretch();
    imprimir_ = new QPushButton(QStringLiteral("&Imprimir"), this);
    connect(imprimir_, &QPushButton::clicked, this, &TfTeclas::imprimir);
    botoes->addWidget(imprimir_);
    ajuda_ = ui::botaoAjuda(this, QRect(0, 0, 96, 27));
    ajuda_->setFixedSize(96, 27);
    connect(ajuda_, &QPushButton::clicked, this, [this] { plataforma::mostrarAjuda(kContextoAjuda, this); });
    botoes->addWidget(ajuda_);
    sair_ = ui::botaoSair(this, QRect(0, 0, 96, 27), this);
    sair_->setFixedSize(96, 27);
    botoes->addWidget(sair_);
    coluna->addLayout(botoes);
    resize(QSize(560, 520).boundedTo(plataforma::areaLivre(this)));
}

void TfTeclas::mostrar(const QString& nome, const QString& tipo, int de, int ate, bool abnt2)
{
    titulo_->setText(QString::fromUtf8("%1 — %2, lições %3 a %4").arg(nome, tipo).arg(de).arg(ate));
    figuras_ = dominio::lerTeclas(plataforma::diretorioTrabalho().toStdString(), nome.toStdString(),
                                  tipo.toStdString(), de, ate);
    quadros_ = quadrosDoTeclado(figuras_, abnt2, tipo.toStdString() == dominio::kTipoNumerico);
    linhas_ = linhasDasFracas(figuras_);
    desenharTeclado();
    preencherLista();
    treinar_->setVisible(bool(aoTreinar));
    treinar_->setEnabled(!figuras_.maisFracas(1, kMinimoToques).empty());
}

void TfTeclas::desenharTeclado()
{
    qDeleteAll(teclado_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly));
    for (const QuadroTecla& q : quadros_) {
        QLabel* painel = quadro(teclado_, q.legenda, q.cor);
        painel->setGeometry(q.geometria);
        QFont fonte(QStringLiteral("Arial"));
        fonte.setPixelSize(q.tamanhoFonte);
        fonte.setBold(true);
        painel->setFont(fonte);
        painel->setToolTip(q.dica);
        painel->show();
    }
}

void TfTeclas::preencherLista()
{
    lista_->setRowCount(linhas_.size());
    for (int i = 0; i < linhas_.size(); ++i)
        for (int j = 0; j < linhas_[i].size(); ++j) lista_->setItem(i, j, new QTableWidgetItem(linhas_[i][j]));
    lista_->resizeColumnsToContents();
}

FolhaTeclas TfTeclas::folha() const
{
    return {titulo_->text(), kTamanhoTeclado, quadros_, legenda(), kCabecalhoLista, linhas_};
}

// Through the banded report, as the results list prints: the preview at real size, with
// "Salvar PDF" beside its print button.
void TfTeclas::imprimir()
{
    ui::protegido(this, [this] {
        TfRelTeclas relatorio(folha());
        relatorio.Preview(this);
    });
}
