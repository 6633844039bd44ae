// The data-aware components on a small table of their own.
#include "data/TApTable.h"
#include "ui/DialogoArquivo.h"
#include "ui/FiguraPng.h"
#include "ui/Traducao.h"
#include "ui/Mensagens.h"
#include "ui/TDBEdit.h"
#include "ui/TDBGrid.h"
#include "ui/TDBLookupComboBox.h"
#include "ui/TDBMemo.h"
#include "ui/TDBNavigator.h"
#include "ui/TDataSource.h"
#include "xbase/Table.h"

#include <QFileSystemModel>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

using Botao = TDBNavigator::Botao;

class TstComponentes : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void digitarEMoverSalva();
    void novoIntocadoEDescartado();
    void gravacaoRecusadaMantemORegistro();
    void listaDeConsultaPosiciona();
    void leituraNaoMoveOCursor_data();
    void leituraNaoMoveOCursor();
    void gradeMostraOsRegistros();
    void memoGuardaQuebrasDeLinha();
    void figuraPngLidaComoQtLe();
    void dialogoDeArquivoEmPortugues();

private:
    void pessoa(const QString& nome, int idade, const QString& obs = QString());
    QString nomeAtual() { return tabela_->fieldByName("Nome").asString(); }

    QTemporaryDir dir_;
    std::unique_ptr<TApTable> tabela_;
    std::unique_ptr<TDataSource> fonte_;
    bool aceitar_ = true;
};

// The file dialog speaks Portuguese on a system in any language, starts in the documents and
// then in the folder of the last file chosen. With TARVEX_CAPTURAS=<folder> it is pictured.
void TstComponentes::dialogoDeArquivoEmPortugues()
{
    ui::instalarTraducaoPortugues(*QCoreApplication::instance());  // as the program does
    const QString documentos = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(ui::pastaDosArquivos(), QFileInfo(documentos).isDir() ? documentos : QDir::homePath());

    QTemporaryDir pasta;
    QVERIFY(QDir(pasta.path()).mkdir("turma"));
    QFile lista(pasta.filePath("lista.csv"));
    QVERIFY(lista.open(QIODevice::WriteOnly) && lista.write(QByteArray(2048, 'a')) == 2048);
    lista.close();

    QFileDialog* dialogo = ui::criarDialogoArquivo(nullptr, QFileDialog::AcceptOpen, "Importar lista de alunos",
                                                   {"Listas de alunos (*.txt *.csv)"});
    dialogo->setDirectory(pasta.path());
    dialogo->setViewMode(QFileDialog::Detail);
    dialogo->show();
    auto* arquivos = qobject_cast<QFileSystemModel*>(dialogo->proxyModel()->sourceModel());
    QVERIFY(arquivos);
    auto celula = [&](const QString& nome, int coluna) {
        const QModelIndex i = arquivos->index(pasta.filePath(nome), coluna);
        return dialogo->proxyModel()->mapFromSource(i).data().toString();
    };
    QTRY_COMPARE(celula("turma", 2), QStringLiteral("Pasta"));
    QTRY_COMPARE(celula("lista.csv", 1), QStringLiteral("2,0 kB"));
    QVERIFY2(QRegularExpression("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$").match(celula("lista.csv", 3)).hasMatch(),
             qPrintable(celula("lista.csv", 3)));
    const QString capturas = qEnvironmentVariable("TARVEX_CAPTURAS");
    if (!capturas.isEmpty()) {
        QTest::qWait(300);
        QVERIFY(dialogo->grab().save(capturas + "/dialogo-importar.png"));
        std::unique_ptr<QFileDialog> exportar(ui::criarDialogoArquivo(
            nullptr, QFileDialog::AcceptSave, "Exportar", {"Planilha CSV (*.csv)", "Planilha OpenDocument (*.ods)"},
            "Turma.csv"));
        exportar->setDirectory(pasta.path());
        exportar->show();
        QTest::qWait(300);
        QVERIFY(exportar->grab().save(capturas + "/dialogo-exportar.png"));
    }

    QTimer::singleShot(0, dialogo, [&] {
        dialogo->selectFile(pasta.filePath("lista.csv"));
        QMetaObject::invokeMethod(dialogo, "accept");
    });
    QCOMPARE(ui::escolherArquivo(dialogo), pasta.filePath("lista.csv"));
    QCOMPARE(ui::pastaDosArquivos(), pasta.path());
}

void TstComponentes::init()
{
    using xbase::FieldType;
    xbase::Table::create(dir_.path().toStdString(), "Pessoas.dbf",
                         {{"NOME", FieldType::Character, 20},
                          {"IDADE", FieldType::Numeric, 3},
                          {"OBS", FieldType::Memo, 10}});
    tabela_ = std::make_unique<TApTable>();
    tabela_->setDatabaseName(dir_.path());
    tabela_->setTableName("Pessoas.dbf");
    tabela_->open();
    aceitar_ = true;
    tabela_->beforePost = [this](TApTable&) { return aceitar_; };
    pessoa("ANA", 30, "linha 1\r\nlinha 2");
    pessoa("BIA", 25);
    pessoa("CAIO", 41);
    tabela_->first();
    fonte_ = std::make_unique<TDataSource>(tabela_.get());
    ui::definirRespondedor([](ui::TipoMensagem, const QString&) { return true; });
}

void TstComponentes::cleanup()
{
    fonte_.reset();
    tabela_.reset();
    ui::definirRespondedor({});
}

void TstComponentes::pessoa(const QString& nome, int idade, const QString& obs)
{
    tabela_->insert();
    tabela_->fieldByName("Nome").setAsString(nome);
    tabela_->fieldByName("Idade").setAsInteger(idade);
    tabela_->fieldByName("Obs").setAsString(obs);
    tabela_->post();
}

void TstComponentes::digitarEMoverSalva()
{
    TDBEdit edit;
    edit.setDataSource(fonte_.get());
    edit.setDataField("NOME");
    TDBNavigator nav;
    nav.setDataSource(fonte_.get());
    QCOMPARE(edit.text(), QString("ANA"));
    edit.end(false);
    QTest::keyClicks(&edit, "LIA");
    QCOMPARE(tabela_->state(), TApTable::State::Edit);
    nav.clicar(Botao::Next);
    QCOMPARE(tabela_->state(), TApTable::State::Browse);
    QCOMPARE(nomeAtual(), QString("BIA"));
    QCOMPARE(edit.text(), QString("BIA"));
    tabela_->first();
    QCOMPARE(nomeAtual(), QString("ANALIA"));
}

void TstComponentes::novoIntocadoEDescartado()
{
    TDBNavigator nav;
    nav.setDataSource(fonte_.get());
    nav.clicar(Botao::Insert);
    QCOMPARE(tabela_->state(), TApTable::State::Insert);
    nav.clicar(Botao::First);
    QCOMPARE(tabela_->state(), TApTable::State::Browse);
    QCOMPARE(tabela_->recordCount(), 3);
    QCOMPARE(nomeAtual(), QString("ANA"));
}

void TstComponentes::gravacaoRecusadaMantemORegistro()
{
    TDBEdit edit;
    edit.setDataSource(fonte_.get());
    edit.setDataField("NOME");
    TDBNavigator nav;
    nav.setDataSource(fonte_.get());
    nav.setBotoes({Botao::Next, Botao::Post}, {"Avançar", "Salvar"});
    QVERIFY(!nav.botao(Botao::Insert));
    QCOMPARE(nav.botao(Botao::Post)->toolTip(), QString("Salvar"));
    QVERIFY(!nav.botao(Botao::Post)->isEnabled());
    QList<Botao> cliques;
    connect(&nav, &TDBNavigator::click, this, [&](Botao b) { cliques << b; });

    aceitar_ = false;
    edit.selectAll();
    QTest::keyClicks(&edit, "ZECA");
    nav.clicar(Botao::Next);
    QCOMPARE(tabela_->state(), TApTable::State::Edit);
    QCOMPARE(tabela_->recNo(), 1);
    QCOMPARE(edit.text(), QString("ZECA"));
    QVERIFY(nav.botao(Botao::Post)->isEnabled());
    QVERIFY(cliques.isEmpty());

    aceitar_ = true;
    nav.botao(Botao::Next)->click();
    QCOMPARE(cliques, QList<Botao>{Botao::Next});
    tabela_->first();
    QCOMPARE(nomeAtual(), QString("ZECA"));
}

void TstComponentes::listaDeConsultaPosiciona()
{
    tabela_->setFilter("Idade >= 26");
    TDBLookupComboBox lista;
    lista.setListSource(fonte_.get());
    lista.setKeyField("Nome");
    lista.show();
    QCOMPARE(lista.count(), 2);
    QCOMPARE(lista.itemText(0), QString("ANA"));
    QCOMPARE(lista.itemText(1), QString("CAIO"));
    QVERIFY(lista.keyValue().isEmpty());

    QTest::keyClick(&lista, 'C');
    QCOMPARE(lista.keyValue(), QString("CAIO"));
    QCOMPARE(nomeAtual(), QString("CAIO"));

    // The table moving elsewhere does not change the name shown.
    tabela_->first();
    lista.recarregar();
    QCOMPARE(lista.currentText(), QString("CAIO"));
    QCOMPARE(nomeAtual(), QString("ANA"));
}

void TstComponentes::leituraNaoMoveOCursor_data()
{
    QTest::addColumn<int>("passos");  // next() from the first record
    QTest::newRow("primeiro") << 0;
    QTest::newRow("meio") << 1;
    QTest::newRow("depois do fim") << 3;
}

void TstComponentes::leituraNaoMoveOCursor()
{
    QFETCH(int, passos);
    tabela_->first();
    for (int i = 0; i < passos; ++i) tabela_->next();
    const int recno = tabela_->recNo();
    const bool eof = tabela_->eof();
    QVector<QStringList> linhas;
    QVERIFY(lerRegistros(tabela_.get(), {0, 1}, linhas));
    QCOMPARE(linhas.size(), 3);
    QCOMPARE(linhas.at(2), (QStringList{"CAIO", "41"}));
    QCOMPARE(tabela_->recNo(), recno);
    QCOMPARE(tabela_->eof(), eof);

    // A record being edited is never walked away from.
    tabela_->first();
    tabela_->edit();
    QVERIFY(!lerRegistros(tabela_.get(), {0}, linhas));
    QCOMPARE(tabela_->state(), TApTable::State::Edit);
}

void TstComponentes::gradeMostraOsRegistros()
{
    tabela_->next();
    TDBGrid grade;
    grade.setDataSource(fonte_.get());
    QCOMPARE(grade.columnCount(), 3);
    QCOMPARE(grade.horizontalHeaderItem(0)->text(), QString("NOME"));
    QCOMPARE(grade.horizontalHeaderItem(2)->text(), QString("OBS"));
    QCOMPARE(grade.rowCount(), 3);
    QCOMPARE(grade.item(1, 1)->text(), QString("25"));
    QCOMPARE(grade.item(0, 2)->text(), QString("(MEMO)"));
    QCOMPARE(grade.currentRow(), 1);
    QVERIFY(!grade.verticalHeaderItem(1)->text().isEmpty());

    grade.setCurrentCell(2, 0);
    QCOMPARE(nomeAtual(), QString("CAIO"));

    grade.setColunas({"Idade"});
    QCOMPARE(grade.columnCount(), 1);
    QCOMPARE(grade.horizontalHeaderItem(0)->text(), QString("IDADE"));

    // Rows follow the table once the burst of changes is over.
    pessoa("DORA", 9);
    QTRY_COMPARE(grade.rowCount(), 4);
    QCOMPARE(grade.currentRow(), 3);
}

void TstComponentes::memoGuardaQuebrasDeLinha()
{
    TDBMemo memo;
    int mudancas = 0;
    connect(&memo, &TDBMemo::change, this, [&] { ++mudancas; });
    memo.setDataSource(fonte_.get());
    memo.setDataField("OBS");
    QCOMPARE(memo.toPlainText(), QString("linha 1\nlinha 2"));
    QCOMPARE(mudancas, 1);

    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, "linha 3");
    QCOMPARE(tabela_->state(), TApTable::State::Edit);
    QVERIFY(fonte_->post());
    QCOMPARE(tabela_->fieldByName("Obs").asString(), QString("linha 1\r\nlinha 2\r\nlinha 3"));

    tabela_->next();
    QCOMPARE(memo.toPlainText(), QString());
}

// The pictures read only as PNG are the pixels Qt's own reader gives; what is not a PNG file
// (missing, or another format under a .png name) reads as nothing.
void TstComponentes::figuraPngLidaComoQtLe()
{
    QTemporaryDir pasta;
    QImage original(40, 20, QImage::Format_ARGB32);
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x) original.setPixel(x, y, qRgba(x * 6, y * 12, 200, (x * y) % 256));
    const QString png = pasta.filePath("figura.png");
    QVERIFY(original.save(png));
    QCOMPARE(ui::tamanhoFiguraPng(png), QSize(40, 20));
    QCOMPARE(ui::lerFiguraPng(png), QImage(png));

    const QString disfarcada = pasta.filePath("foto.png");
    QVERIFY(original.convertToFormat(QImage::Format_RGB32).save(disfarcada, "JPG"));
    QVERIFY(ui::lerFiguraPng(disfarcada).isNull());
    QVERIFY(ui::lerFiguraPng(pasta.filePath("nao-existe.png")).isNull());
    QVERIFY(!ui::tamanhoFiguraPng(pasta.filePath("nao-existe.png")).isValid());
}

QTEST_MAIN(TstComponentes)
#include "tst_componentes.moc"
