// The administration windows: the lesson editor, the settings window and the requirements viewer,
// on copies of the shipped tables in a temporary working directory.
#include "admin/Config.h"
#include "admin/Editor.h"
#include "admin/Exigencia.h"
#include "data/Data1.h"
#include "domain/Linhas.h"
#include "platform/Diretorios.h"
#include "ui/Mensagens.h"
#include "ui/TDBGrid.h"
#include "ui/TDBMemo.h"
#include "ui/TDBNavigator.h"
#include "ui/TStatusBar.h"
#include "xbase/Table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>
#include <map>
#include <memory>

using B = TDBNavigator::Botao;

namespace {

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// Every lesson text of a lesson table, by record number, as a separate reader of the files sees it.
std::map<uint32_t, std::string> textos(const QString& dir, const QString& arquivo)
{
    xbase::Table t;
    t.open(dir.toStdString(), arquivo.toStdString(), true);
    std::map<uint32_t, std::string> todos;
    for (t.first(); !t.eof(); t.next()) todos[t.recNo()] = t.asString("TEXTO");
    return todos;
}

// The record number of a lesson, found in file order.
uint32_t registro(const QString& dir, const QString& arquivo, const QString& tipo, int licao)
{
    xbase::Table t;
    t.open(dir.toStdString(), arquivo.toStdString(), true);
    for (t.first(); !t.eof(); t.next())
        if (q(t.asString("TIPO")) == tipo && t.asInteger("LICAO") == licao) return t.recNo();
    return 0;
}

int contarTipo(const QString& dir, const QString& arquivo, const QString& tipo)
{
    xbase::Table t;
    t.open(dir.toStdString(), arquivo.toStdString(), true);
    int n = 0;
    for (t.first(); !t.eof(); t.next()) n += q(t.asString("TIPO")) == tipo;
    return n;
}

} // namespace

class TstAdmin : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void editorAbreTabelaDoTeclado_data();
    void editorAbreTabelaDoTeclado();
    void salvarNumaTabelaNaoTocaAOutra();
    void trocarTipoSalvaFecharDescarta();
    void cancelarRestauraTextoELinhas();
    void contagemDeLinhas_data();
    void contagemDeLinhas();
    void textoCrescidoSobreviveEOutrosIntactos();
    void caractereSemCodigoRecusado();

    void configuracoes_data();
    void configuracoes();

    void exigenciasSemFiltro();

private:
    TfEditor* abrirEditor(bool abnt2);
    void clicar(TfEditor* e, B botao) { QTest::mouseClick(e->DBNavigator1->botao(botao), Qt::LeftButton); }
    void fechar(QWidget* janela);
    void gravarConfig(bool som, bool musica, bool abnt2);

    std::unique_ptr<QTemporaryDir> dir_;
    QString pasta_;
    std::unique_ptr<Tdm1> dm_;
    QStringList mensagens_;
};

void TstAdmin::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    pasta_ = dir_->path();
    const QDir dados(QStringLiteral(TARVEX_DATA_DIR "/Dados"));
    for (const char* nome : {"LicaoA.dbf", "LicaoA.cdx", "LicaoA.fpt", "LicaoB.dbf", "LicaoB.cdx",
                                "LicaoB.fpt", "Config.dbf", "Exigen.dbf"})
        QVERIFY2(QFile::copy(dados.filePath(nome), pasta_ + "/" + nome), nome);
    plataforma::definirDiretorioTrabalho(pasta_);

    dm_ = std::make_unique<Tdm1>();
    dm1 = dm_.get();
    dm1->TabConfig->setDatabaseName(pasta_);
    dm1->TabConfig->open();
    dm1->TabExig->setDatabaseName(pasta_);
    dm1->TabExig->open();

    mensagens_.clear();
    ui::definirRespondedor([this](ui::TipoMensagem, const QString& texto) {
        mensagens_ << texto;
        return true;
    });
}

void TstAdmin::cleanup()
{
    ui::definirRespondedor({});
    // Windows that free themselves go now, while the data module still exists.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dm_.reset();
    dm1 = nullptr;
    dir_.reset();
}

TfEditor* TstAdmin::abrirEditor(bool abnt2)
{
    dm1->Abnt2Keyboard = abnt2;
    auto* e = new TfEditor;
    e->show();
    return e;
}

void TstAdmin::fechar(QWidget* janela)
{
    QPointer<QWidget> guarda(janela);
    janela->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY2(guarda.isNull(), "a janela se libera ao fechar");
}

void TstAdmin::gravarConfig(bool som, bool musica, bool abnt2)
{
    TApTable* t = dm1->TabConfig;
    t->edit();
    t->fieldByName("Som").setAsBoolean(som);
    t->fieldByName("Musica").setAsBoolean(musica);
    t->fieldByName("ABNT2").setAsBoolean(abnt2);
    t->post();
    dm1->SoundOn = som;
    dm1->MusicOn = musica;
    dm1->Abnt2Keyboard = abnt2;
}

// ---- lesson editor -------------------------------------------------------------------------

void TstAdmin::editorAbreTabelaDoTeclado_data()
{
    QTest::addColumn<bool>("abnt2");
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<QString>("teclado");
    QTest::newRow("ABNT2") << true << "LicaoB.dbf" << "Teclado: ABNT2";
    QTest::newRow("ABNT") << false << "LicaoA.dbf" << "Teclado: ABNT";
}

void TstAdmin::editorAbreTabelaDoTeclado()
{
    QFETCH(bool, abnt2);
    QFETCH(QString, arquivo);
    QFETCH(QString, teclado);

    TfEditor* e = abrirEditor(abnt2);
    TApTable* t = dm1->TabLicao;
    QVERIFY(t->active());
    QCOMPARE(t->tableName(), arquivo);
    QCOMPARE(e->cb1->currentText(), QStringLiteral("Básico"));
    QCOMPARE(e->cb1->count(), 4);
    const int basicas = contarTipo(pasta_, arquivo, QStringLiteral("Básico"));
    QCOMPARE(e->sb1->textoPainel(0), QStringLiteral("Lição: 1 de %1").arg(basicas));
    QCOMPARE(e->sb1->textoPainel(2), QStringLiteral("Tipo: Básico"));
    QCOMPARE(e->sb1->textoPainel(3), teclado);
    const std::string texto = textos(pasta_, arquivo).at(registro(pasta_, arquivo, "Básico", 1));
    QCOMPARE(e->DBMemo1->toPlainText(), q(texto).replace("\r\n", "\n"));
    QCOMPARE(e->DBNavigator1->botao(B::Cancel)->toolTip(), QStringLiteral("Cancelas as alterações"));

    fechar(e);
    QVERIFY(!t->active());
}

void TstAdmin::salvarNumaTabelaNaoTocaAOutra()
{
    const auto antesB = textos(pasta_, "LicaoB.dbf");
    TfEditor* e = abrirEditor(false);
    e->DBMemo1->setPlainText("primeira linha\nsegunda linha");
    QVERIFY(dm1->TabLicao->editing());
    clicar(e, B::Post);
    QVERIFY(!dm1->TabLicao->editing());
    fechar(e);

    const uint32_t rec = registro(pasta_, "LicaoA.dbf", "Básico", 1);
    // Stored with the line ends the lesson texts use.
    QCOMPARE(textos(pasta_, "LicaoA.dbf").at(rec), std::string("primeira linha\r\nsegunda linha"));
    QVERIFY(textos(pasta_, "LicaoB.dbf") == antesB);
}

void TstAdmin::trocarTipoSalvaFecharDescarta()
{
    const uint32_t basico1 = registro(pasta_, "LicaoB.dbf", "Básico", 1);
    const uint32_t avancado1 = registro(pasta_, "LicaoB.dbf", "Avançado", 1);
    const std::string avancadoAntes = textos(pasta_, "LicaoB.dbf").at(avancado1);

    TfEditor* e = abrirEditor(true);
    e->DBMemo1->setPlainText("salvo ao trocar de tipo");
    e->cb1->setCurrentIndex(1);
    QVERIFY(!dm1->TabLicao->editing());
    QCOMPARE(textos(pasta_, "LicaoB.dbf").at(basico1), std::string("salvo ao trocar de tipo"));
    QCOMPARE(e->sb1->textoPainel(2), QStringLiteral("Tipo: Avançado"));
    QCOMPARE(e->sb1->textoPainel(0),
             QStringLiteral("Lição: 1 de %1").arg(contarTipo(pasta_, "LicaoB.dbf", "Avançado")));
    QCOMPARE(dm1->TabLicao->fieldByName("Tipo").asString(), QStringLiteral("Avançado"));

    e->DBMemo1->setPlainText("perdido ao fechar");
    fechar(e);
    QCOMPARE(textos(pasta_, "LicaoB.dbf").at(avancado1), avancadoAntes);

    // The next opening starts at "Básico" again, on its first lesson.
    e = abrirEditor(true);
    QCOMPARE(e->cb1->currentText(), QStringLiteral("Básico"));
    QCOMPARE(e->DBMemo1->toPlainText(), QStringLiteral("salvo ao trocar de tipo"));
    fechar(e);
}

void TstAdmin::cancelarRestauraTextoELinhas()
{
    TfEditor* e = abrirEditor(true);
    clicar(e, B::Next);
    const QString texto = e->DBMemo1->toPlainText();
    const QString linhas = e->sb1->textoPainel(1);
    QVERIFY(linhas != QStringLiteral("Linhas: 1"));

    e->DBMemo1->setPlainText("uma linha só");
    QCOMPARE(e->sb1->textoPainel(1), QStringLiteral("Linhas: 1"));
    clicar(e, B::Cancel);
    QVERIFY(!dm1->TabLicao->editing());
    QCOMPARE(e->DBMemo1->toPlainText(), texto);
    QCOMPARE(e->sb1->textoPainel(1), linhas);
    QCOMPARE(e->sb1->textoPainel(0).left(10), QStringLiteral("Lição: 2 d"));
    fechar(e);
}

void TstAdmin::contagemDeLinhas_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("linhas");
    const QString palavras = QString("casa bola dado ").repeated(20).trimmed();  // 299 characters
    QTest::newRow("três linhas curtas") << "asdf\njklç\nasdf jklç" << 3;
    QTest::newRow("quebra no fim") << "asdf\njklç\n" << 2;
    QTest::newRow("linha vazia no meio") << "asdf\n\njklç" << 3;
    QTest::newRow("parágrafo longo") << palavras << -1;
    QTest::newRow("linha de 61 exatos") << QString(61, QChar('x')) + " yyyyy" << 2;
    QTest::newRow("palavra mais larga que a linha") << QString(130, QChar('x')) << 3;
    QTest::newRow("vazio") << QString() << 0;
}

void TstAdmin::contagemDeLinhas()
{
    QFETCH(QString, texto);
    QFETCH(int, linhas);
    const int divididas = int(dominio::dividirLinhas(texto.toStdString()).size());
    if (linhas < 0) {
        QVERIFY(divididas > 4);
        linhas = divididas;
    }
    QCOMPARE(divididas, linhas);

    TfEditor* e = abrirEditor(true);
    e->DBMemo1->setPlainText(texto);
    QCOMPARE(e->sb1->textoPainel(1), QStringLiteral("Linhas: %1").arg(linhas));

    // The memo itself shows the text in the same lines as the practice window divides it.
    int mostradas = 0;
    for (QTextBlock b = e->DBMemo1->document()->begin(); b.isValid(); b = b.next())
        mostradas += b.layout()->lineCount();
    if (texto.endsWith('\n')) --mostradas;  // the empty block after a final line break
    if (!texto.isEmpty()) QCOMPARE(mostradas, linhas);
    fechar(e);
}

void TstAdmin::textoCrescidoSobreviveEOutrosIntactos()
{
    const auto antes = textos(pasta_, "LicaoA.dbf");
    const uint32_t alvo = registro(pasta_, "LicaoA.dbf", "Básico", 2);
    QFile fpt(pasta_ + "/LicaoA.fpt");
    const qint64 tamanhoAntes = fpt.size();

    TfEditor* e = abrirEditor(false);
    clicar(e, B::Next);
    QString longo;
    for (int i = 0; i < 120; ++i) longo += QStringLiteral("Linha %1 com ação, lição e maçã.\n").arg(i);
    e->DBMemo1->setPlainText(longo);
    clicar(e, B::Next);  // moving on saves
    QVERIFY(!dm1->TabLicao->editing());
    fechar(e);
    QVERIFY(QFile(pasta_ + "/LicaoA.fpt").size() > tamanhoAntes);

    e = abrirEditor(false);
    clicar(e, B::Next);
    QCOMPARE(e->DBMemo1->toPlainText(), longo);
    QCOMPARE(e->sb1->textoPainel(1), QStringLiteral("Linhas: 120"));
    fechar(e);

    auto depois = textos(pasta_, "LicaoA.dbf");
    QCOMPARE(q(depois.at(alvo)), QString(longo).replace("\n", "\r\n"));
    depois.erase(alvo);
    auto outros = antes;
    outros.erase(alvo);
    QVERIFY(depois == outros);

#ifdef XBTOOL_PATH
    QProcess p;
    p.start(XBTOOL_PATH, {"check", pasta_ + "/LicaoA.dbf"});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardOutput() + p.readAllStandardError());
#endif
}

void TstAdmin::caractereSemCodigoRecusado()
{
    const auto antes = textos(pasta_, "LicaoB.dbf");
    TfEditor* e = abrirEditor(true);
    const QString ruim = QStringLiteral("seta → e ção");
    e->DBMemo1->setPlainText(ruim);

    for (B b : {B::Next, B::Post}) {
        mensagens_.clear();
        clicar(e, b);
        QCOMPARE(mensagens_.size(), 1);
        QVERIFY(mensagens_.first().contains(QStringLiteral("não podem ser gravados: →")));
    }
    mensagens_.clear();
    e->cb1->setCurrentIndex(2);
    QCOMPARE(mensagens_.size(), 1);
    QCOMPARE(e->cb1->currentIndex(), 0);

    // The text stays in the memo and the lesson pending, ready to be corrected.
    QVERIFY(dm1->TabLicao->editing());
    QCOMPARE(e->DBMemo1->toPlainText(), ruim);
    QVERIFY(e->sb1->textoPainel(0).startsWith(QStringLiteral("Lição: 1 de")));
    QVERIFY(textos(pasta_, "LicaoB.dbf") == antes);

    e->DBMemo1->setPlainText(QStringLiteral("seta -> e ção"));
    clicar(e, B::Post);
    QVERIFY(!dm1->TabLicao->editing());
    fechar(e);
    QCOMPARE(q(textos(pasta_, "LicaoB.dbf").at(registro(pasta_, "LicaoB.dbf", "Básico", 1))),
             QStringLiteral("seta -> e ção"));
}

// ---- settings ------------------------------------------------------------------------------

void TstAdmin::configuracoes_data()
{
    QTest::addColumn<bool>("abnt2");
    QTest::addColumn<bool>("musica");
    QTest::addColumn<bool>("som");
    QTest::addColumn<QString>("acao");  // what the user changes
    QTest::addColumn<QString>("legendaMusica");
    QTest::addColumn<QString>("legendaSom");
    QTest::addColumn<bool>("abnt2Final");
    QTest::addColumn<bool>("musicaFinal");
    QTest::addColumn<bool>("somFinal");

    QTest::newRow("ligados, nada muda") << true << true << true << ""
                                        << "Música - Ligado" << "Som - Ligado" << true << true << true;
    QTest::newRow("desligados, nada muda") << false << false << false << ""
                                           << "Música - desligada" << "Som - desligada" << false << false << false;
    QTest::newRow("liga a música") << true << false << true << "musica"
                                   << "Música - ligada" << "Som - Ligado" << true << true << true;
    QTest::newRow("desliga o som") << true << true << true << "som"
                                   << "Música - Ligado" << "Som - desligada" << true << true << false;
    QTest::newRow("religa o som") << true << true << false << "som"
                                  << "Música - Ligado" << "Som - ligada" << true << true << true;
    QTest::newRow("teclado sem ç") << true << false << false << "abnt"
                                   << "Música - desligada" << "Som - desligada" << false << false << false;
    QTest::newRow("teclado com ç") << false << true << false << "abnt2"
                                   << "Música - Ligado" << "Som - desligada" << true << true << false;
}

void TstAdmin::configuracoes()
{
    QFETCH(bool, abnt2);
    QFETCH(bool, musica);
    QFETCH(bool, som);
    QFETCH(QString, acao);
    QFETCH(QString, legendaMusica);
    QFETCH(QString, legendaSom);
    QFETCH(bool, abnt2Final);
    QFETCH(bool, musicaFinal);
    QFETCH(bool, somFinal);

    // The file holds the opposite of the settings, so that closing must write every field.
    gravarConfig(!som, !musica, !abnt2);
    dm1->SoundOn = som;
    dm1->MusicOn = musica;
    dm1->Abnt2Keyboard = abnt2;

    auto* c = new TfConfig;
    c->show();
    QCOMPARE(c->RadioButton1->isChecked(), abnt2);
    QCOMPARE(c->RadioButton2->isChecked(), !abnt2);
    QCOMPARE(c->CheckBox1->isChecked(), musica);
    QCOMPARE(c->CheckBox2->isChecked(), som);
    QCOMPARE(c->RadioButton2->text(), QStringLiteral("ABNT - sem \"ç\" "));

    if (acao == "musica") c->CheckBox1->click();
    if (acao == "som") c->CheckBox2->click();
    if (acao == "abnt") c->RadioButton2->click();
    if (acao == "abnt2") c->RadioButton1->click();
    QCOMPARE(c->CheckBox1->text(), legendaMusica);
    QCOMPARE(c->CheckBox2->text(), legendaSom);
    fechar(c);

    QCOMPARE(dm1->Abnt2Keyboard, abnt2Final);
    QCOMPARE(dm1->MusicOn, musicaFinal);
    QCOMPARE(dm1->SoundOn, somFinal);
    QVERIFY(!dm1->TabConfig->editing());
    xbase::Table t;
    t.open(pasta_.toStdString(), "Config.dbf", true);
    QCOMPARE(t.physicalCount(), 1u);
    QCOMPARE(t.asBoolean("ABNT2"), abnt2Final);
    QCOMPARE(t.asBoolean("MUSICA"), musicaFinal);
    QCOMPARE(t.asBoolean("SOM"), somFinal);
}

// ---- requirements --------------------------------------------------------------------------

void TstAdmin::exigenciasSemFiltro()
{
    // As a practice leaves it: filtered on one student's type and level.
    dm1->TabExig->setFilter(QStringLiteral("Tipo = \"Textos\" .AND. Nivel = \"Básico\""));
    QCOMPARE(dm1->TabExig->recordCount(), 1);

    auto* x = new TfExig;
    x->show();
    QVERIFY(dm1->TabExig->filter().isEmpty());
    xbase::Table t;
    t.open(pasta_.toStdString(), "Exigen.dbf", true);
    QCOMPARE(x->DBGrid1->rowCount(), int(t.physicalCount()));
    QCOMPARE(x->DBGrid1->columnCount(), 4);
    QStringList titulos;
    for (int c = 0; c < 4; ++c) titulos << x->DBGrid1->horizontalHeaderItem(c)->text();
    QCOMPARE(titulos, QStringList({"TIPO", "NIVEL", "VELOCIDADE", "PRECISAO"}));
    int linha = 0;
    for (t.first(); !t.eof(); t.next(), ++linha) {
        QCOMPARE(x->DBGrid1->item(linha, 0)->text(), q(t.asString("TIPO")));
        QCOMPARE(x->DBGrid1->item(linha, 1)->text(), q(t.asString("NIVEL")));
    }
    fechar(x);
}

QTEST_MAIN(TstAdmin)
#include "tst_admin.moc"
