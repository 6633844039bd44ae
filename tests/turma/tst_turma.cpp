// The teacher's class: the figures of each student, the sheets written for spreadsheets, the
// import of a class list, and a class of 31 seeded by another program from end to end.
#include "data/Data1.h"
#include "domain/Cursos.h"
#include "domain/Esquema.h"
#include "domain/ListaAlunos.h"
#include "domain/Planilha.h"
#include "domain/Turma.h"
#include "results/PlanilhaResultados.h"
#include "results/relat.h"
#include "students/DadosTurma.h"
#include "students/ImportarLista.h"
#include "students/RelTurma.h"
#include "students/Turma.h"
#include "ui/ExportarPlanilha.h"
#include "ui/Mensagens.h"
#include "xbase/Table.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QScrollBar>
#include <QtTest>

namespace {

using dominio::Celula;
const QString kPython = QStringLiteral("/usr/bin/python3");

QString qs(const std::string& s) { return QString::fromStdString(s); }

// "resultado" rows: lesson, speed, accuracy, passed ("A") or failed ("R"), of student ANA,
// type Básico, unless the row names another ("BIA:" or "Textos:" in front).
struct Linha {
    std::string nome = "ANA";
    std::string tipo = "Básico";
    int licao;
    int velocidade;
    int precisao;
    bool aprovado;
};
using Linhas = QVector<Linha>;

Linha l(int licao, bool aprovado, int velocidade = 100, int precisao = 90) { return {"ANA", "Básico", licao, velocidade, precisao, aprovado}; }

QJsonArray rodarPython(const QStringList& argumentos, QString* erro)
{
    QProcess p;
    p.start(kPython, argumentos);
    p.waitForFinished(120000);
    if (p.exitCode() != 0) *erro = QString::fromUtf8(p.readAllStandardError());
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

// A working folder with empty students and lessons tables, the data module pointed at it.
struct Pasta {
    Pasta()
    {
        const std::string d = dir.path().toStdString();
        dominio::criarTabela(d, dominio::esquemaUsuario());
        dominio::criarTabela(d, dominio::esquemaLicao(), "LicaoA.dbf");
        // Every lesson of every course type, so the results list can count them.
        xbase::Table licoes;
        licoes.open(d, "LicaoA.dbf");
        for (const auto& tipo : dominio::tiposCurso())
            for (int n = 1; n <= tipo.maxLicoes; ++n) {
                licoes.insert();
                licoes.setString(0, tipo.nome);
                licoes.setInteger(1, n);
                licoes.post();
            }
        dm = std::make_unique<Tdm1>();
        dm1 = dm.get();
        dm->TabAluno->setDatabaseName(dir.path());
        dm->TabAluno->open();
        dm->TabRelat->setDatabaseName(dir.path());
    }
    ~Pasta() { dm1 = nullptr; }

    void relatVazio()
    {
        dominio::criarTabela(dir.path().toStdString(), dominio::esquemaRelat());
        dm->TabRelat->open();
    }
    QString escrever(const QString& nome, const QByteArray& bytes)
    {
        QFile f(dir.filePath(nome));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    QStringList nomes()
    {
        QStringList lista;
        for (const auto& a : lerAlunos()) lista << qs(a.nome);
        return lista;
    }

    QTemporaryDir dir;
    std::unique_ptr<Tdm1> dm;
};

} // namespace

Q_DECLARE_METATYPE(Linhas)

class TstTurma : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void figurasDoAluno_data();
    void figurasDoAluno();
    void totaisPesamCadaResultado();
    void csvParaPlanilhaBrasileira();
    void planoDeImportacao_data();
    void planoDeImportacao();
    void arquivoRuimNaoCadastraNada_data();
    void arquivoRuimNaoCadastraNada();
    void falhaAoGravarDesfazTudo();
    void resumoSoAvisaQuandoHaRecusa();
    void titulosDaTurmaCabem();
    void turmaCabeNaTelaAumentada();
    void turmaDe31DePontaAPonta();

private:
    QStringList mensagens_;
};

void TstTurma::init()
{
    mensagens_.clear();
    ui::definirRespondedor([this](ui::TipoMensagem, const QString& texto) {
        mensagens_ << texto;
        return true;
    });
}

void TstTurma::cleanup() { ui::definirRespondedor({}); }

// ---- figures ----------------------------------------------------------------------------

void TstTurma::figurasDoAluno_data()
{
    QTest::addColumn<Linhas>("linhas");
    QTest::addColumn<int>("resultados");
    QTest::addColumn<double>("velocidade");
    QTest::addColumn<double>("aprovacao");
    QTest::addColumn<int>("emperrada");
    QTest::addColumn<int>("vezes");

    QTest::newRow("sem resultados") << Linhas{} << 0 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("medias nao truncadas") << Linhas{l(1, true, 100), l(2, true, 120), l(3, false, 131)}
                                          << 3 << 117.0 << 200.0 / 3 << 0 << 0;
    QTest::newRow("uma reprovacao nao emperra") << Linhas{l(5, false), l(5, true)} << 2 << 100.0 << 50.0 << 0 << 0;
    QTest::newRow("outras licoes no meio nao quebram a sequencia")
        << Linhas{l(5, false), l(4, true), l(5, false), l(3, true), l(5, false)} << 5 << 100.0 << 40.0 << 5 << 3;
    QTest::newRow("aprovacao na licao quebra a sequencia")
        << Linhas{l(5, false), l(5, false), l(5, true), l(5, false)} << 4 << 100.0 << 25.0 << 5 << 2;
    QTest::newRow("a maior sequencia vence, empate fica com a licao mais alta")
        << Linhas{l(2, false), l(2, false), l(2, false), l(7, false), l(7, false), l(7, false), l(4, false), l(4, false)}
        << 8 << 100.0 << 0.0 << 7 << 3;
    QTest::newRow("outro tipo e outro nome nao contam")
        << Linhas{l(1, true, 200), {"ANA", "Textos", 1, 50, 50, false}, {"ANAB", "Básico", 1, 10, 10, false},
                  {"BIA", "Básico", 1, 10, 10, false}}
        << 1 << 200.0 << 100.0 << 0 << 0;
}

void TstTurma::figurasDoAluno()
{
    QFETCH(Linhas, linhas);
    dominio::FigurasTurma turma({{"ANA", "Básico", "Iniciante", 4}});
    for (const Linha& r : linhas) turma.somar(r.nome, r.tipo, r.licao, r.velocidade, r.precisao, r.aprovado);
    const dominio::FigurasAluno f = turma.linhas().at(0);
    QTEST(f.resultados, "resultados");
    QFETCH(double, velocidade);
    QFETCH(double, aprovacao);
    QVERIFY(qAbs(f.velocidadeMedia - velocidade) < 1e-9);
    QVERIFY(qAbs(f.aprovacao - aprovacao) < 1e-9);
    QTEST(f.licaoEmperrada, "emperrada");
    QTEST(f.reprovacoesSeguidas, "vezes");
    QCOMPARE(f.totalLicoes, 60);
}

void TstTurma::totaisPesamCadaResultado()
{
    dominio::FigurasTurma turma({{"ANA", "Básico", "Iniciante", 1}, {"BIA", "Textos", "Básico", 1}, {"CAIO", "", "", 1}});
    turma.somar("ANA", "Básico", 1, 100, 90, true);
    turma.somar("BIA", "Textos", 1, 200, 80, false);
    turma.somar("BIA", "Textos", 1, 300, 70, false);
    const dominio::TotaisTurma t = turma.totais();
    QCOMPARE(t.alunos, 3);
    QCOMPARE(t.resultados, 3);
    QCOMPARE(t.velocidadeMedia, 200.0);  // over the results, not the mean of the students' means
    QCOMPARE(t.emperrados, 1);
    QCOMPARE(turma.linhas().at(2).totalLicoes, 20);  // an unknown type counts 20 lessons
    QCOMPARE(qs(dominio::textosTotais(t)[4]), QStringLiteral("Aprovação: 33,3%"));
}

void TstTurma::csvParaPlanilhaBrasileira()
{
    dominio::Planilha p;
    p.cabecalho = {"Nome", "Média"};
    p.linhas = {{Celula::deTexto("JOSÉ; \"ZÉ\""), Celula::deNumero(1234.25, 1)},
                {Celula::deTexto("=1+1"), Celula::deNumero(-0.04, 1)},
                {Celula::vazia(), Celula::deNumero(7)}};
    const std::string csv = dominio::planilhaCsv(p);
    QCOMPARE(QByteArray::fromStdString(csv),
             QByteArray("\xEF\xBB\xBFNome;M\xC3\xA9\x64ia\r\n\"JOS\xC3\x89; \"\"Z\xC3\x89\"\"\";1234,2\r\n'=1+1;0,0\r\n;7\r\n"));
}

// ---- import -----------------------------------------------------------------------------

void TstTurma::planoDeImportacao_data()
{
    QTest::addColumn<QByteArray>("arquivo");
    QTest::addColumn<QStringList>("existentes");
    QTest::addColumn<int>("limite");
    QTest::addColumn<QString>("aceitos");
    QTest::addColumn<QString>("recusados");

    QTest::newRow("maiusculas dentro do Windows-1252")
        << QByteArray("jo\xC3\xA3o\nana \xC2\xB5\n\xC3\xBF\xC3\xA7\n") << QStringList{} << 31
        << QStringLiteral("JOÃO|ANA µ|ŸÇ") << QString();
    QTest::newRow("arquivo em Windows-1252 com cabecalho e colunas")
        << QByteArray("Nome;Tipo;N\xEDvel\r\nconcei\xE7\xE3o;avancado;intermediario\r\nBETO;;\r\n")
        << QStringList{} << 31 << QStringLiteral("CONCEIÇÃO/Avançado/Intermediário|BETO//") << QString();
    QTest::newRow("UTF-8 com BOM, virgula e aspas de CSV")
        << QByteArray("\xEF\xBB\xBF\"Silva, Ana\",Textos\nbia,numerico\n") << QStringList{} << 31
        << QStringLiteral("SILVA, ANA/Textos/|BIA/Numérico/") << QString();
    QTest::newRow("linha com virgula num arquivo de ponto e virgula")
        << QByteArray("Nome;Tipo;N\xC3\xADvel\nAna;B\xC3\xA1sico;Iniciante\nBia Rocha,Num\xC3\xA9rico,Iniciante\ncaio;Textos\n")
        << QStringList{} << 31 << QStringLiteral("ANA/Básico/Iniciante|BIA ROCHA/Numérico/Iniciante|CAIO/Textos/")
        << QString();
    QTest::newRow("separador da maioria das linhas")
        << QByteArray("Silva, Ana;Textos\nbia;numerico\ncaio\n") << QStringList{} << 31
        << QStringLiteral("SILVA, ANA/Textos/|BIA/Numérico/|CAIO") << QString();
    QTest::newRow("regras do nome")
        << QByteArray("ana\nANA\nbia\nze \"z\"\nsmile \xF0\x9F\x98\x80\nmaria aparecida dos santos\n\n;;\ncaio;Latim\n")
        << QStringList{"BIA"} << 31 << QStringLiteral("ANA|MARIA APARECIDA DOS")
        << QStringLiteral(u"2:ANA:repetido|3:bia:existe|4:ze \"z\":aspas|5:smile \U0001F600:gravados|9:caio:tipo");
    QTest::newRow("limite de alunos") << QByteArray("a\nb\nc\n") << QStringList{"X", "Y"} << 3
                                      << QStringLiteral("A") << QStringLiteral("2:b:limite|3:c:limite");
}

void TstTurma::planoDeImportacao()
{
    QFETCH(QByteArray, arquivo);
    QFETCH(QStringList, existentes);
    QFETCH(int, limite);
    QFETCH(QString, aceitos);
    QFETCH(QString, recusados);
    std::vector<std::string> nomes;
    for (const QString& n : existentes) nomes.push_back(n.toStdString());
    const dominio::PlanoImportacao plano = dominio::planejarImportacao(arquivo.toStdString(), nomes, limite);
    QVERIFY2(plano.erro.empty(), plano.erro.c_str());

    // Accepted: "NOME/tipo/nível" (type and level as stored, empty when the list gives none).
    QStringList vistos;
    for (const auto& a : plano.aceitos) vistos << qs(a.nome + "/" + a.tipo + "/" + a.nivel);
    QStringList esperados = aceitos.split(QLatin1Char('|'));
    for (QString& e : esperados)
        if (!e.contains(QLatin1Char('/'))) e += QStringLiteral("//");
    QCOMPARE(vistos, esperados);

    // Refused: "line:text as read:a word of the reason".
    const QStringList recusas = recusados.isEmpty() ? QStringList{} : recusados.split(QLatin1Char('|'));
    QCOMPARE(int(plano.recusados.size()), recusas.size());
    for (int i = 0; i < recusas.size(); ++i) {
        const dominio::Recusa& r = plano.recusados[std::size_t(i)];
        const int corte = recusas[i].lastIndexOf(QLatin1Char(':'));
        QCOMPARE(QString::number(r.linha) + QLatin1Char(':') + qs(r.texto), recusas[i].left(corte));
        QVERIFY2(qs(r.motivo).contains(recusas[i].mid(corte + 1)), r.motivo.c_str());
    }
}

void TstTurma::arquivoRuimNaoCadastraNada_data()
{
    QTest::addColumn<QByteArray>("arquivo");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("binario") << QByteArray("ANA\nBIA\0\x01\x02", 10) << QStringLiteral("não é um texto");
    QTest::newRow("vazio") << QByteArray("\r\n\r\n;;\r\n") << QStringLiteral("nenhum nome");
    QTest::newRow("grande demais") << QByteArray(2 << 20, 'A') << QStringLiteral("grande demais");
}

void TstTurma::arquivoRuimNaoCadastraNada()
{
    QFETCH(QByteArray, arquivo);
    QFETCH(QString, motivo);
    Pasta pasta;
    const ResumoImportacao r = importarLista(pasta.escrever(QStringLiteral("lista.txt"), arquivo));
    QVERIFY2(r.erro.contains(motivo), qPrintable(r.erro));
    QVERIFY(r.registrados.isEmpty());
    QCOMPARE(pasta.dm->TabAluno->recordCount(), 0);
}

void TstTurma::falhaAoGravarDesfazTudo()
{
    Pasta pasta;
    pasta.dm->TabAluno->insert();
    pasta.dm->TabAluno->fieldByName(QStringLiteral("Nome")).setAsString(QStringLiteral("ZECA"));
    QVERIFY(pasta.dm->TabAluno->post());
    // The third write of the import fails in the engine, as on a full disk.
    int escritas = 0;
    pasta.dm->TabAluno->beforePost = [&](TApTable& t) {
        if (++escritas == 3) throw xbase::Error(xbase::ErrorKind::System, "disco cheio");
        return pasta.dm->TabAlunoBeforePost(t);
    };
    const ResumoImportacao r = importarLista(pasta.escrever(QStringLiteral("l.txt"), "ana\nbia\ncaio\ndani\n"));
    QVERIFY2(r.erro.contains(QStringLiteral("disco cheio")), qPrintable(r.erro));
    QCOMPARE(pasta.nomes(), QStringList{QStringLiteral("ZECA")});
    QCOMPARE(pasta.dm->TabAluno->state(), TApTable::State::Browse);
}

// Every name registered is news, a refused one a warning, nothing registered an error.
void TstTurma::resumoSoAvisaQuandoHaRecusa()
{
    Pasta pasta;
    QList<ui::TipoMensagem> tipos;
    ui::definirRespondedor([&](ui::TipoMensagem tipo, const QString&) {
        tipos << tipo;
        return true;
    });
    mostrarResumo(nullptr, importarLista(pasta.escrever(QStringLiteral("a.txt"), "ana\nbia\n")));
    mostrarResumo(nullptr, importarLista(pasta.escrever(QStringLiteral("b.txt"), "caio\nana\n")));
    mostrarResumo(nullptr, importarLista(pasta.escrever(QStringLiteral("c.txt"), "\n")));
    QCOMPARE(tipos, (QList<ui::TipoMensagem>{ui::TipoMensagem::Informacao, ui::TipoMensagem::Aviso,
                                             ui::TipoMensagem::Erro}));
}

// Every title of the class view fits the room the style leaves it beside the sort arrow, in
// bold as a selected row shows it, whichever column is sorted.
void TstTurma::titulosDaTurmaCabem()
{
    Pasta pasta;
    pasta.relatVazio();
    TfTurma janela;
    janela.show();
    QHeaderView* cabecalho = janela.Grade->horizontalHeader();
    QFont negrito = cabecalho->font();
    negrito.setBold(true);
    for (int ordem : {0, 6, 10}) {
        janela.Grade->sortByColumn(ordem, Qt::AscendingOrder);
        for (int c = 0; c < cabecalho->count(); ++c) {
            QStyleOptionHeader opcao;
            opcao.initFrom(cabecalho);
            opcao.state |= QStyle::State_Horizontal;
            opcao.rect = QRect(0, 0, cabecalho->sectionSize(c), cabecalho->height());
            opcao.sortIndicator = c == ordem ? QStyleOptionHeader::SortDown : QStyleOptionHeader::None;
            const QRect rotulo = cabecalho->style()->subElementRect(QStyle::SE_HeaderLabel, &opcao, cabecalho);
            const QString titulo = cabecalho->model()->headerData(c, Qt::Horizontal).toString();
            for (const QString& linha : titulo.split(QLatin1Char('\n')))
                QVERIFY2(QFontMetrics(negrito).horizontalAdvance(linha) <= rotulo.width(),
                         qPrintable(QStringLiteral("%1 (ordem na coluna %2)").arg(linha).arg(ordem)));
        }
    }
}

// A 1,280-pixel screen at 150 % leaves 853 pixels: the window keeps to them, every button
// whole, and the table scrolls to its last column.
void TstTurma::turmaCabeNaTelaAumentada()
{
    Pasta pasta;
    pasta.relatVazio();
    TfTurma janela;
    janela.dispor(853 - 16);
    janela.show();
    for (QWidget* w : janela.findChildren<QWidget*>())
        if (w->parentWidget() == &janela && w->isVisible())
            QVERIFY2(janela.rect().contains(w->geometry()), qPrintable(QString::fromLatin1(w->metaObject()->className())));
    const QTableView* grade = janela.Grade;
    QVERIFY(grade->horizontalHeader()->length() <= grade->viewport()->width()
            || grade->horizontalScrollBar()->maximum() > 0);
}

// ---- a class of 31, from the list file to the spreadsheet --------------------------------

void TstTurma::turmaDe31DePontaAPonta()
{
    if (!QFile::exists(kPython)) QSKIP("falta /usr/bin/python3");
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) QSKIP("pdftotext não instalado");
    Pasta pasta;
    QString erro;
    const QJsonArray esperado =
        rodarPython({QStringLiteral(TURMA_SCRIPTS_DIR "/semear_turma.py"), pasta.dir.path()}, &erro);
    QVERIFY2(esperado.size() == 31, qPrintable(erro));
    pasta.dm->TabRelat->open();

    // The class list comes in through the import, with its header, cp1252 and a long name.
    const ResumoImportacao r = importarLista(pasta.dir.filePath(QStringLiteral("lista.csv")));
    QVERIFY2(r.erro.isEmpty() && r.recusados.isEmpty(), qPrintable(textoResumo(r)));
    QCOMPARE(r.registrados.size(), 31);

    TfTurma janela;
    const auto* modelo = janela.Grade->model();
    QCOMPARE(modelo->rowCount(), 31);
    const dominio::Planilha vista = janela.planilhaVisivel();
    QHash<QString, std::vector<Celula>> porNome;
    for (const auto& linha : vista.linhas) porNome.insert(qs(linha[0].texto), linha);
    auto numero = [](const QJsonValue& v) { return v.isNull() ? -1.0 : v.toDouble(); };
    auto celula = [](const Celula& c) { return c.tipo == Celula::Tipo::Numero ? c.numero : -1.0; };
    for (const QJsonValue& v : esperado) {
        const QJsonObject e = v.toObject();
        const QString nome = e[QStringLiteral("nome")].toString();
        QVERIFY2(porNome.contains(nome), qPrintable(nome));
        const auto& c = porNome[nome];
        QCOMPARE(qs(c[1].texto), e[QStringLiteral("tipo")].toString());
        QCOMPARE(qs(c[2].texto), e[QStringLiteral("nivel")].toString());
        int coluna = 3;
        for (const char* chave : {"licao", "total", "resultados", "velocidade", "precisao", "aprovacao", "emperrada", "vezes"}) {
            const double valor = celula(c[std::size_t(coluna++)]);
            QVERIFY2(qAbs(valor - numero(e[QLatin1String(chave)])) < 1e-9, qPrintable(nome + QLatin1Char(' ') + chave));
        }
    }

    // Sorted by the number of results, the order follows the numbers, not their texts.
    janela.Grade->sortByColumn(5, Qt::DescendingOrder);
    const dominio::Planilha ordenada = janela.planilhaVisivel();
    for (std::size_t i = 1; i < ordenada.linhas.size(); ++i)
        QVERIFY(ordenada.linhas[i - 1][5].numero >= ordenada.linhas[i][5].numero);

    // A row opens the student's results list with the same count.
    const QString primeiro = qs(ordenada.linhas[0][0].texto);
    QString listado;
    QTimer::singleShot(0, [&] {
        if (auto* lista = qobject_cast<TfRelat*>(QApplication::activeModalWidget())) {
            listado = lista->NomeAluno + QLatin1Char(' ') + lista->lTotal->text();
            lista->close();
        }
    });
    janela.AbrirResultados(0);
    QCOMPARE(listado, primeiro + QStringLiteral(" Lições encontradas: %1").arg(ordenada.linhas[0][5].numero));
    QVERIFY(!pasta.dm->TabLicao->active());
    // The list's export writes what the list selected.
    const dominio::Planilha daLista = planilhaResultados(pasta.dm->TabRelat);
    QCOMPARE(double(daLista.linhas.size()), ordenada.linhas[0][5].numero);
    QCOMPARE(qs(daLista.linhas.back()[0].texto), primeiro);

    // The printed class: title, the students, the totals.
    const QString pdf = pasta.dir.filePath(QStringLiteral("turma.pdf"));
    TfRelTurma relatorio(ordenada, janela.totais());
    QVERIFY(relatorio.exportarPdf(pdf));
    QProcess texto;
    texto.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(texto.waitForFinished(30000));
    const QString impresso = QString::fromUtf8(texto.readAllStandardOutput());
    QVERIFY(impresso.contains(QStringLiteral("Relatório da Turma")));
    QVERIFY(impresso.contains(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))));
    for (const QString& t : {QStringLiteral("Alunos: 31"), QStringLiteral("Resultados: %1").arg(janela.totais().resultados),
                             QStringLiteral("MARIA APARECIDA DOS"), QStringLiteral("CONCEIÇÃO N04")})
        QVERIFY2(impresso.contains(t), qPrintable(t));

    // The exports read back by Python's csv and by odfpy give the same figures.
    const QString csv = pasta.dir.filePath(QStringLiteral("turma.csv"));
    const QString ods = pasta.dir.filePath(QStringLiteral("turma.ods"));
    QVERIFY(ui::gravarPlanilha(csv, vista));
    QVERIFY(ui::gravarPlanilha(ods, vista));
    // With TARVEX_CAPTURAS=<folder> the report and the sheets are left there to be looked at.
    if (const QString capturas = qEnvironmentVariable("TARVEX_CAPTURAS"); !capturas.isEmpty())
        for (const QString& f : {pdf, csv, ods}) QFile::copy(f, QDir(capturas).filePath(QFileInfo(f).fileName()));
    const QJsonArray lidos = rodarPython({QStringLiteral(TURMA_SCRIPTS_DIR "/ler_planilha.py"), csv, ods}, &erro);
    QVERIFY2(lidos.size() == 2, qPrintable(erro));
    for (const QJsonValue& arquivo : lidos) {
        const QJsonArray linhas = arquivo.toArray();
        QCOMPARE(linhas.size(), 32);
        QCOMPARE(linhas[0].toArray()[6].toString(), QStringLiteral("Velocidade média (teclas/min)"));
        for (int i = 1; i < linhas.size(); ++i) {
            const QJsonArray lido = linhas[i].toArray();
            const auto& c = vista.linhas[std::size_t(i - 1)];
            QCOMPARE(lido[0].toString(), qs(c[0].texto));
            for (int k = 3; k < 11; ++k) {
                const double v = lido[k].isNull() ? -1.0 : lido[k].toDouble();
                QVERIFY2(qAbs(v - celula(c[std::size_t(k)])) <= 0.05 + 1e-9, qPrintable(qs(c[0].texto)));
            }
        }
    }
}

QTEST_MAIN(TstTurma)
#include "tst_turma.moc"
