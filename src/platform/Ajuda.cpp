#include "platform/Ajuda.h"
#include "platform/Diretorios.h"
#include "platform/Exibicao.h"
#include "ui/Mensagens.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace plataforma {
namespace {

QString& pastaAjudaDefinida()
{
    static QString pasta;
    return pasta;
}

QPointer<JanelaAjuda>& janelaAtual()
{
    static QPointer<JanelaAjuda> janela;
    return janela;
}

QString pastaAjudaPadrao()
{
    const QString startDir = calcularStartDir(QDir::currentPath(), pastaDadosInstalada());
    const QString naStartDir = resolver(juntar(startDir, QStringLiteral("ajuda")));
    if (QFileInfo(naStartDir).isDir()) return naStartDir;
    return resolver(juntar(pastaDadosInstalada(), QStringLiteral("ajuda")));
}

// While a modal dialog is open only its own windows take input, so the help window
// belongs to the window that asked for it.
JanelaAjuda* janelaPara(QWidget* pai)
{
    QWidget* dono = pai ? pai->window() : nullptr;
    QPointer<JanelaAjuda>& janela = janelaAtual();
    if (!janela) {
        janela = new JanelaAjuda(dono);
    } else if (janela->parentWidget() != dono && dono != janela) {
        const QRect geometria = janela->geometry();
        janela->setParent(dono, Qt::Window);
        janela->setGeometry(geometria);
    }
    return janela;
}

} // namespace

JanelaAjuda::JanelaAjuda(QWidget* pai)
    : QWidget(pai, Qt::Window),
      navegador_(new QTextBrowser(this)),
      inicio_(new QPushButton(QStringLiteral("&Início"), this)),
      voltar_(new QPushButton(QStringLiteral("&Voltar"), this)),
      avancar_(new QPushButton(QStringLiteral("&Avançar"), this))
{
    setWindowTitle(QStringLiteral("Ajuda do Tarvex 3"));
    inicio_->setObjectName(QStringLiteral("bInicio"));
    voltar_->setObjectName(QStringLiteral("bVoltar"));
    avancar_->setObjectName(QStringLiteral("bAvancar"));
    navegador_->setOpenExternalLinks(true);

    auto* botoes = new QHBoxLayout;
    botoes->addWidget(inicio_);
    botoes->addWidget(voltar_);
    botoes->addWidget(avancar_);
    botoes->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(botoes);
    layout->addWidget(navegador_);
    resize(QSize(640, 520).boundedTo(areaLivre(this)));

    connect(inicio_, &QPushButton::clicked, this, &JanelaAjuda::irParaInicio);
    connect(voltar_, &QPushButton::clicked, navegador_, &QTextBrowser::backward);
    connect(avancar_, &QPushButton::clicked, navegador_, &QTextBrowser::forward);
    connect(navegador_, &QTextBrowser::historyChanged, this, &JanelaAjuda::atualizarBotoes);
    atualizarBotoes();
}

void JanelaAjuda::abrirTopico(const QString& arquivo)
{
    navegador_->setSource(QUrl::fromLocalFile(arquivo));
}

// The book's contents page, or the first topic shown when the book has none.
void JanelaAjuda::irParaInicio()
{
    const QString indice = resolver(juntar(pastaAjuda(), QStringLiteral("index.html")));
    if (QFileInfo(indice).isFile()) navegador_->setSource(QUrl::fromLocalFile(indice));
    else navegador_->home();
}

void JanelaAjuda::atualizarBotoes()
{
    voltar_->setEnabled(navegador_->isBackwardAvailable());
    avancar_->setEnabled(navegador_->isForwardAvailable());
}

QString pastaAjuda()
{
    if (!pastaAjudaDefinida().isEmpty()) return pastaAjudaDefinida();
    return pastaAjudaPadrao();
}

void definirPastaAjuda(const QString& pasta) { pastaAjudaDefinida() = pasta; }

void mostrarAjuda(int contexto, QWidget* pai)
{
    const QString pasta = pastaAjuda();
    if (!QFileInfo(pasta).isDir()) {
        ui::erro(pai, QStringLiteral("Arquivo de ajuda não encontrado: %1").arg(QDir::toNativeSeparators(pasta)));
        return;
    }
    const QString topico = resolver(juntar(pasta, QString::number(contexto) + QStringLiteral(".html")));
    if (!QFileInfo(topico).isFile()) {
        ui::erro(pai, QStringLiteral("Arquivo de ajuda não encontrado: %1").arg(QDir::toNativeSeparators(topico)));
        return;
    }
    JanelaAjuda* janela = janelaPara(pai);
    janela->abrirTopico(topico);
    janela->show();
    janela->raise();
    janela->activateWindow();
}

JanelaAjuda* janelaAjuda() { return janelaAtual(); }

} // namespace plataforma
