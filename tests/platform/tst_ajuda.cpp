#include "platform/Ajuda.h"
#include "ui/Mensagens.h"

#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace plataforma;

namespace {

void pagina(const QString& caminho, const QString& titulo)
{
    QFile f(caminho);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("<html><body><h1>%1</h1></body></html>").arg(titulo).toUtf8());
}

QString paginaAtual()
{
    return janelaAjuda() ? janelaAjuda()->navegador()->source().fileName() : QString();
}

void clicar(const char* botao)
{
    auto* b = janelaAjuda()->findChild<QPushButton*>(QString::fromLatin1(botao));
    QVERIFY(b);
    QVERIFY(b->isEnabled());
    b->click();
}

} // namespace

class TstAjuda : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void abreOTopico();
    void navegacao();
    void janelaDoDialogoModal();
    void ajudaAusente_data();
    void ajudaAusente();
    void capturas();

private:
    QTemporaryDir tmp_;
    QStringList erros_;
};

void TstAjuda::initTestCase()
{
    pagina(tmp_.path() + "/index.html", "Sumário");
    pagina(tmp_.path() + "/20.html", "Menu principal");
    pagina(tmp_.path() + "/5.HTML", "Cadastro de alunos");
    ui::definirRespondedor([this](ui::TipoMensagem tipo, const QString& texto) {
        if (tipo == ui::TipoMensagem::Erro) erros_ << texto;
        return true;
    });
}

void TstAjuda::init()
{
    definirPastaAjuda(tmp_.path());
    erros_.clear();
}

void TstAjuda::abreOTopico()
{
    mostrarAjuda(20, nullptr);
    QVERIFY(erros_.isEmpty());
    JanelaAjuda* janela = janelaAjuda();
    QVERIFY(janela);
    QVERIFY(janela->isVisible());
    QVERIFY(!janela->isModal());
    QCOMPARE(janela->windowTitle(), QStringLiteral("Ajuda do Tarvex 3"));
    QCOMPARE(paginaAtual(), QStringLiteral("20.html"));
    QVERIFY(janela->navegador()->toPlainText().contains("Menu principal"));

    // The same window shows the next topic, found without regard to case.
    mostrarAjuda(5, nullptr);
    QCOMPARE(janelaAjuda(), janela);
    QCOMPARE(paginaAtual(), QStringLiteral("5.HTML"));
}

void TstAjuda::navegacao()
{
    mostrarAjuda(20, nullptr);
    mostrarAjuda(5, nullptr);
    clicar("bVoltar");
    QCOMPARE(paginaAtual(), QStringLiteral("20.html"));
    clicar("bAvancar");
    QCOMPARE(paginaAtual(), QStringLiteral("5.HTML"));
    clicar("bInicio");
    QCOMPARE(paginaAtual(), QStringLiteral("index.html"));
}

void TstAjuda::janelaDoDialogoModal()
{
    // Help asked from a dialog belongs to it, so that it takes input while the dialog is modal.
    auto* dialogo = new QDialog;
    mostrarAjuda(20, dialogo);
    QVERIFY(janelaAjuda());
    QCOMPARE(janelaAjuda()->parentWidget(), dialogo);
    QVERIFY(janelaAjuda()->isWindow());

    delete dialogo;
    QVERIFY(!janelaAjuda());
    mostrarAjuda(20, nullptr);
    QVERIFY(janelaAjuda());
    QCOMPARE(paginaAtual(), QStringLiteral("20.html"));
}

void TstAjuda::ajudaAusente_data()
{
    QTest::addColumn<QString>("pasta");
    QTest::addColumn<int>("contexto");
    QTest::addColumn<QString>("mensagem");

    QTest::newRow("tópico ausente") << tmp_.path() << 99
                                    << "Arquivo de ajuda não encontrado: " + tmp_.path() + "/99.html";
    QTest::newRow("livro ausente") << tmp_.path() + "/nada" << 20
                                   << "Arquivo de ajuda não encontrado: " + tmp_.path() + "/nada";
}

void TstAjuda::ajudaAusente()
{
    QFETCH(QString, pasta);
    QFETCH(int, contexto);
    QFETCH(QString, mensagem);

    definirPastaAjuda(pasta);
    mostrarAjuda(contexto, nullptr);
    QCOMPARE(erros_, QStringList{mensagem});
}

// With TARVEX_CAPTURAS=<folder>, pictures of the built help book's pages of the class and keys
// windows, for a person to read.
void TstAjuda::capturas()
{
    const QString pasta = qEnvironmentVariable("TARVEX_CAPTURAS");
    if (pasta.isEmpty()) QSKIP("TARVEX_CAPTURAS not set");
    definirPastaAjuda(QStringLiteral(TARVEX_DATA_DIR "/ajuda"));
    for (int contexto : {13, 14, 15, 16, 17}) {
        mostrarAjuda(contexto, nullptr);
        QVERIFY(erros_.isEmpty());
        janelaAjuda()->resize(640, 720);
        QTest::qWait(100);
        QVERIFY(janelaAjuda()->grab().save(QStringLiteral("%1/ajuda-%2.png").arg(pasta).arg(contexto)));
    }
}

QTEST_MAIN(TstAjuda)
#include "tst_ajuda.moc"
