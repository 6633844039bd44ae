// The administration windows: the lesson editor, the settings window and the requirements viewer,
// on copies of the shipped tables in a temporary working directory.
#include "admin/Config.h"
#include "TravaAlheia.h"
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
using Textos = std::map<uint32_t, QString>;

class TstAdmin : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void editarNaoTocaAOutraTabela_data();
    void editarNaoTocaAOutraTabela();
    void trocarTipoSalvaFecharDescarta();
    void cancelarRestauraTextoELinhas();
    void contagemDeLinhas_data();
    void contagemDeLinhas();
    void textoCrescidoSobreviveEOutrosIntactos();
    void caractereSemCodigoRecusado();
    void configuracoes_data();
    void configuracoes();
    void configuracaoNaoGravadaNaoMudaAMemoria();
    void exigenciasSemFiltro();

private:
    TfEditor* abrirEditor(bool abnt2);
    void clicar(TfEditor* e, B b) { QTest::mouseClick(e->DBNavigator1->botao(b), Qt::LeftButton); }
    void fechar(QWidget* janela);
    // Every lesson text of a table by record number, read by a separate reader of the files.
    Textos textos(const char* arquivo);
    uint32_t registro(const char* arquivo, const QString& tipo, int licao);

    std::unique_ptr<QTemporaryDir> dir_;
    QString pasta_;
    std::unique_ptr<Tdm1> dm_;
    QStringList mensagens_;
};

void TstAdmin::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    pasta_ = dir_->path();
    for (const char* nome : {"LicaoA.dbf", "LicaoA.cdx", "LicaoA.fpt", "LicaoB.dbf", "LicaoB.cdx",
                             "LicaoB.fpt", "Config.dbf", "Exigen.dbf"})
        QVERIFY2(QFile::copy(TARVEX_DATA_DIR "/Dados/" + QString(nome), pasta_ + "/" + nome), nome);
    plataforma::definirDiretorioTrabalho(pasta_);

    dm_ = std::make_unique<Tdm1>();
    dm1 = dm_.get();
    for (TApTable* t : {dm1->TabConfig, dm1->TabExig}) {
        t->setDatabaseName(pasta_);
        t->open();
    }
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

Textos TstAdmin::textos(const char* arquivo)
{
    xbase::Table t;
    t.open(pasta_.toStdString(), arquivo, true);
    Textos todos;
    for (t.first(); !t.eof(); t.next()) todos[t.recNo()] = QString::fromStdString(t.asString("TEXTO"));
    return todos;
}

uint32_t TstAdmin::registro(const char* arquivo, const QString& tipo, int licao)
{
    xbase::Table t;
    t.open(pasta_.toStdString(), arquivo, true);
    for (t.first(); !t.eof(); t.next())
        if (QString::fromStdString(t.asString("TIPO")) == tipo && t.asInteger("LICAO") == licao) return t.recNo();
    return 0;
}

// ---- lesson editor -------------------------------------------------------------------------

void TstAdmin::editarNaoTocaAOutraTabela_data()
{
    QTest::addColumn<bool>("abnt2");
    QTest::newRow("ABNT2 edita LicaoB") << true;
    QTest::newRow("ABNT edita LicaoA") << false;
}

void TstAdmin::editarNaoTocaAOutraTabela()
{
    QFETCH(bool, abnt2);
    const char* propria = abnt2 ? "LicaoB.dbf" : "LicaoA.dbf";
    const char* outra = abnt2 ? "LicaoA.dbf" : "LicaoB.dbf";
    const Textos antes = textos(outra);
    const uint32_t basico1 = registro(propria, "Básico", 1);

    TfEditor* e = abrirEditor(abnt2);
    QCOMPARE(e->sb1->textoPainel(3), abnt2 ? QStringLiteral("Teclado: ABNT2") : QStringLiteral("Teclado: ABNT"));
    QCOMPARE(e->sb1->textoPainel(2), QStringLiteral("Tipo: Básico"));
    QCOMPARE(e->sb1->textoPainel(0), QStringLiteral("Lição: 1 de 60"));
    QCOMPARE(e->DBMemo1->toPlainText(), textos(propria).at(basico1).replace("\r\n", "\n"));

    e->DBMemo1->setPlainText("primeira linha\nsegunda linha");
    clicar(e, B::Post);
    QVERIFY(!dm1->TabLicao->editing());
    fechar(e);
    QVERIFY(!dm1->TabLicao->active());
    // Stored with the line ends the lesson texts use; the other keyboard's table is untouched.
    QCOMPARE(textos(propria).at(basico1), QStringLiteral("primeira linha\r\nsegunda linha"));
    QVERIFY(textos(outra) == antes);
}

void TstAdmin::trocarTipoSalvaFecharDescarta()
{
    const uint32_t basico1 = registro("LicaoB.dbf", "Básico", 1);
    const uint32_t avancado1 = registro("LicaoB.dbf", "Avançado", 1);
    const QString avancadoAntes = textos("LicaoB.dbf").at(avancado1);

    TfEditor* e = abrirEditor(true);
    e->DBMemo1->setPlainText("salvo ao trocar de tipo");
    e->cb1->setCurrentIndex(1);
    QCOMPARE(textos("LicaoB.dbf").at(basico1), QStringLiteral("salvo ao trocar de tipo"));
    QCOMPARE(e->sb1->textoPainel(2), QStringLiteral("Tipo: Avançado"));
    QCOMPARE(e->sb1->textoPainel(0), QStringLiteral("Lição: 1 de 40"));

    e->DBMemo1->setPlainText("perdido ao fechar");
    fechar(e);
    QCOMPARE(textos("LicaoB.dbf").at(avancado1), avancadoAntes);

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

    e->DBMemo1->setPlainText("uma linha só");
    QCOMPARE(e->sb1->textoPainel(1), QStringLiteral("Linhas: 1"));
    clicar(e, B::Cancel);
    QVERIFY(!dm1->TabLicao->editing());
    QCOMPARE(e->DBMemo1->toPlainText(), texto);
    QCOMPARE(e->sb1->textoPainel(1), linhas);
    QVERIFY(linhas != QStringLiteral("Linhas: 1"));
    fechar(e);
}

void TstAdmin::contagemDeLinhas_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("linhas");
    QTest::newRow("três linhas curtas") << "asdf\njklç\nasdf jklç" << 3;
    QTest::newRow("quebra no fim") << "asdf\njklç\n" << 2;
    QTest::newRow("linha vazia no meio") << "asdf\n\njklç" << 3;
    QTest::newRow("parágrafo longo") << QString("casa bola dado ").repeated(20) << 5;
    QTest::newRow("linha de 61 exatos") << QString(61, 'x') + " yyyyy" << 2;
    QTest::newRow("palavras até a coluna 61") << QString("abcde ").repeated(10) + "x fim" << 2;
    QTest::newRow("palavras até a coluna 62") << QString("abcde ").repeated(10) + "xy fim" << 2;
    QTest::newRow("palavra mais larga que a linha") << QString(130, 'x') << 3;
    QTest::newRow("vazio") << QString() << 0;
}

void TstAdmin::contagemDeLinhas()
{
    QFETCH(QString, texto);
    QFETCH(int, linhas);
    QCOMPARE(int(dominio::dividirLinhas(texto.toStdString()).size()), linhas);

    TfEditor* e = abrirEditor(true);
    e->DBMemo1->setPlainText(texto);
    QCOMPARE(e->sb1->textoPainel(1), QStringLiteral("Linhas: %1").arg(linhas));

    // The memo itself shows the text in the lines the practice window types.
    e->show();
    QStringList mostradas;
    for (QTextBlock b = e->DBMemo1->document()->begin(); b.isValid(); b = b.next()) {
        e->DBMemo1->document()->documentLayout()->blockBoundingRect(b);  // lays the block out
        for (int i = 0; i < b.layout()->lineCount(); ++i) {
            const QTextLine l = b.layout()->lineAt(i);
            mostradas << b.text().mid(l.textStart(), l.textLength()).trimmed();
        }
    }
    if (texto.endsWith('\n')) mostradas.removeLast();  // the empty block after a final line break
    QStringList praticadas;
    for (const std::string& l : dominio::dividirLinhas(texto.toStdString())) praticadas << QString::fromStdString(l);
    if (!texto.isEmpty()) QCOMPARE(mostradas, praticadas);
    fechar(e);
}

void TstAdmin::textoCrescidoSobreviveEOutrosIntactos()
{
    Textos antes = textos("LicaoA.dbf");
    const uint32_t alvo = registro("LicaoA.dbf", "Básico", 2);
    QString longo;
    for (int i = 0; i < 120; ++i) longo += QStringLiteral("Linha %1 com ação, lição e maçã.\n").arg(i);

    TfEditor* e = abrirEditor(false);
    clicar(e, B::Next);
    e->DBMemo1->setPlainText(longo);
    clicar(e, B::Next);  // moving on saves
    fechar(e);

    e = abrirEditor(false);
    clicar(e, B::Next);
    QCOMPARE(e->DBMemo1->toPlainText(), longo);
    QCOMPARE(e->sb1->textoPainel(1), QStringLiteral("Linhas: 120"));
    fechar(e);

    antes[alvo] = QString(longo).replace("\n", "\r\n");
    QVERIFY(textos("LicaoA.dbf") == antes);
#ifdef XBTOOL_PATH
    QProcess p;
    p.start(XBTOOL_PATH, {"check", pasta_ + "/LicaoA.dbf"});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardOutput() + p.readAllStandardError());
#endif
}

void TstAdmin::caractereSemCodigoRecusado()
{
    const Textos antes = textos("LicaoB.dbf");
    TfEditor* e = abrirEditor(true);
    const QString ruim = QStringLiteral("seta → e ção");
    e->DBMemo1->setPlainText(ruim);

    clicar(e, B::Next);
    clicar(e, B::Post);
    e->cb1->setCurrentIndex(2);
    QCOMPARE(mensagens_.size(), 3);
    QVERIFY(mensagens_.first().contains(QStringLiteral("não podem ser gravados: →")));
    // The text stays in the memo and the lesson pending, ready to be corrected.
    QCOMPARE(e->cb1->currentIndex(), 0);
    QVERIFY(dm1->TabLicao->editing());
    QCOMPARE(e->DBMemo1->toPlainText(), ruim);
    QVERIFY(e->sb1->textoPainel(0).startsWith(QStringLiteral("Lição: 1 de")));
    QVERIFY(textos("LicaoB.dbf") == antes);

    e->DBMemo1->setPlainText(QStringLiteral("seta -> e ção"));
    clicar(e, B::Post);
    fechar(e);
    QCOMPARE(textos("LicaoB.dbf").at(registro("LicaoB.dbf", "Básico", 1)), QStringLiteral("seta -> e ção"));
}

// ---- settings and requirements -------------------------------------------------------------

void TstAdmin::configuracoes_data()
{
    QTest::addColumn<bool>("abnt2");
    QTest::addColumn<bool>("musica");
    QTest::addColumn<bool>("som");
    QTest::addColumn<QString>("acao");  // the control the user clicks, if any
    QTest::addColumn<QString>("legendaMusica");
    QTest::addColumn<QString>("legendaSom");
    QTest::newRow("ligados, nada muda") << true << true << true << "" << "Música - Ligado" << "Som - Ligado";
    QTest::newRow("desligados, nada muda") << false << false << false << "" << "Música - desligada" << "Som - desligada";
    QTest::newRow("liga a música") << true << false << true << "musica" << "Música - ligada" << "Som - Ligado";
    QTest::newRow("desliga o som") << true << true << true << "som" << "Música - Ligado" << "Som - desligada";
    QTest::newRow("religa o som") << true << true << false << "som" << "Música - Ligado" << "Som - ligada";
    QTest::newRow("teclado sem ç") << true << false << false << "abnt" << "Música - desligada" << "Som - desligada";
    QTest::newRow("teclado com ç") << false << true << false << "abnt2" << "Música - Ligado" << "Som - desligada";
}

void TstAdmin::configuracoes()
{
    QFETCH(bool, abnt2);
    QFETCH(bool, musica);
    QFETCH(bool, som);
    QFETCH(QString, acao);
    QFETCH(QString, legendaMusica);
    QFETCH(QString, legendaSom);

    // The file holds the opposite of the data module, so closing must write every field.
    TApTable* config = dm1->TabConfig;
    config->edit();
    config->fieldByName("Som").setAsBoolean(!som);
    config->fieldByName("Musica").setAsBoolean(!musica);
    config->fieldByName("ABNT2").setAsBoolean(!abnt2);
    config->post();
    dm1->SoundOn = som;
    dm1->MusicOn = musica;
    dm1->Abnt2Keyboard = abnt2;

    auto* c = new TfConfig;
    c->show();
    QCOMPARE(c->RadioButton1->isChecked(), abnt2);
    QCOMPARE(c->RadioButton2->isChecked(), !abnt2);
    QCOMPARE(c->CheckBox1->isChecked(), musica);
    QCOMPARE(c->CheckBox2->isChecked(), som);
    if (acao == "musica") c->CheckBox1->click();
    if (acao == "som") c->CheckBox2->click();
    if (acao == "abnt") c->RadioButton2->click();
    if (acao == "abnt2") c->RadioButton1->click();
    musica ^= acao == "musica";
    som ^= acao == "som";
    abnt2 = acao == "abnt" ? false : acao == "abnt2" ? true : abnt2;
    QCOMPARE(c->CheckBox1->text(), legendaMusica);
    QCOMPARE(c->CheckBox2->text(), legendaSom);
    fechar(c);

    QCOMPARE(dm1->Abnt2Keyboard, abnt2);
    QCOMPARE(dm1->MusicOn, musica);
    QCOMPARE(dm1->SoundOn, som);
    xbase::Table t;
    t.open(pasta_.toStdString(), "Config.dbf", true);
    QCOMPARE(t.physicalCount(), 1u);
    QCOMPARE(t.asBoolean("ABNT2"), abnt2);
    QCOMPARE(t.asBoolean("MUSICA"), musica);
    QCOMPARE(t.asBoolean("SOM"), som);
}

void TstAdmin::configuracaoNaoGravadaNaoMudaAMemoria()
{
    dm1->SoundOn = dm1->TabConfig->fieldByName("Som").asBoolean();
    const bool som = dm1->SoundOn;
    auto* c = new TfConfig;
    c->show();
    c->CheckBox2->click();
    {
        const TravaAlheia outroComputador((pasta_ + "/Config.dbf").toStdString());
        fechar(c);
    }
    QCOMPARE(mensagens_.size(), 1);
    QVERIFY2(mensagens_.first().contains("Config.dbf"), qPrintable(mensagens_.first()));
    QCOMPARE(dm1->SoundOn, som);
    QVERIFY(!dm1->TabConfig->editing());
    QCOMPARE(dm1->TabConfig->fieldByName("Som").asBoolean(), som);
}

void TstAdmin::exigenciasSemFiltro()
{
    // As a practice leaves it: filtered on one student's type and level.
    dm1->TabExig->setFilter(QStringLiteral("Tipo = \"Textos\" .AND. Nivel = \"Básico\""));
    auto* x = new TfExig;
    x->show();
    QVERIFY(dm1->TabExig->filter().isEmpty());

    xbase::Table t;
    t.open(pasta_.toStdString(), "Exigen.dbf", true);
    QCOMPARE(x->DBGrid1->rowCount(), int(t.physicalCount()));
    QCOMPARE(x->DBGrid1->columnCount(), 4);
    QCOMPARE(x->DBGrid1->horizontalHeaderItem(3)->text(), QStringLiteral("PRECISAO"));
    int linha = 0;
    for (t.first(); !t.eof(); t.next(), ++linha)
        QCOMPARE(x->DBGrid1->item(linha, 1)->text(), QString::fromStdString(t.asString("NIVEL")));
    fechar(x);
}

QTEST_MAIN(TstAdmin)
#include "tst_admin.moc"
