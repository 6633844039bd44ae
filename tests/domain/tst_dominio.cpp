// The shared domain rules: line division of lesson texts, filter texts, course types, the
// students' aids table.
#include "DesenhoEnviado.h"
#include "domain/AjudasAluno.h"
#include "domain/Cursos.h"
#include "domain/Estatisticas.h"
#include "domain/Filtros.h"
#include "domain/Linhas.h"
#include "domain/DesenhoTeclado.h"
#include "domain/NomesTeclas.h"
#include "xbase/Environment.h"
#include "xbase/Table.h"

#include <QtTest>

using Linhas = std::vector<std::string>;
Q_DECLARE_METATYPE(Linhas)

class TstDominio : public QObject {
    Q_OBJECT
private slots:
    void dividirLinhas_data();
    void dividirLinhas();
    void nenhumaLinhaPassaDaLargura();
    void filtros();
    void filtroRecusaAspas();
    void tiposDeCurso();
    void velocidade_data();
    void velocidade();
    void precisaoEDuracao();
    void faixaVelocidade_data();
    void faixaVelocidade();
    void pontuacaoNaoDaAVolta();
    void soletrar_data();
    void soletrar();
    void dedoDaTecla_data();
    void dedoDaTecla();
    void ajudasDeUmaVersaoAnterior();
};

void TstDominio::dividirLinhas_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<Linhas>("esperado");

    QTest::newRow("vazio") << "" << Linhas{};
    QTest::newRow("uma linha") << "asdf jklç" << Linhas{"asdf jklç"};
    QTest::newRow("quebras CRLF") << "aaa\r\nbbb\r\nccc" << Linhas{"aaa", "bbb", "ccc"};
    QTest::newRow("quebras LF") << "aaa\nbbb" << Linhas{"aaa", "bbb"};
    QTest::newRow("quebra final nao cria linha") << "aaa\r\nbbb\r\n" << Linhas{"aaa", "bbb"};
    QTest::newRow("linha vazia no meio") << "aaa\r\n\r\nbbb" << Linhas{"aaa", "", "bbb"};
    QTest::newRow("brancos aparados") << "  abc  \r\n\tdef " << Linhas{"abc", "def"};
    // 70 characters without breaks: two lines, cut at the last blank that fits.
    QTest::newRow("paragrafo de 70")
        << "aaaaaaaaa bbbbbbbbb ccccccccc ddddddddd eeeeeeeee fffffffff ggggggggg h"
        << Linhas{"aaaaaaaaa bbbbbbbbb ccccccccc ddddddddd eeeeeeeee fffffffff", "ggggggggg h"};
    QTest::newRow("exatamente 61") << QString(61, 'x') << Linhas{std::string(61, 'x')};
    QTest::newRow("palavra maior que a linha") << QString(70, 'y')
                                               << Linhas{std::string(61, 'y'), std::string(9, 'y')};
    // The blank right after the 61st character is a word boundary: the line is full.
    QTest::newRow("branco na coluna 62") << QString(61, 'a') + " bb" << Linhas{std::string(61, 'a'), "bb"};
    // Accented letters count as one character each.
    QTest::newRow("acentos contam um") << QString(61, QChar(0xE1)) << Linhas{QString(61, QChar(0xE1)).toStdString()};
}

void TstDominio::dividirLinhas()
{
    QFETCH(QString, texto);
    QFETCH(Linhas, esperado);
    QCOMPARE(dominio::dividirLinhas(texto.toStdString()), esperado);
}

void TstDominio::nenhumaLinhaPassaDaLargura()
{
    std::string texto;
    for (int i = 0; i < 200; ++i) texto += std::string(1 + (i * 7) % 13, char('a' + i % 26)) + (i % 37 == 0 ? "\r\n" : " ");
    for (const std::string& linha : dominio::dividirLinhas(texto)) {
        QVERIFY(QString::fromStdString(linha).size() <= 61);
        QCOMPARE(dominio::aparar(linha), linha);
    }
}

void TstDominio::filtros()
{
    QCOMPARE(dominio::filtroTipo("Textos"), std::string("Tipo = \"Textos\""));
    QCOMPARE(dominio::filtroTipoLicao("Textos", 3), std::string("Tipo = \"Textos\" .AND. Licao = 3"));
    QCOMPARE(dominio::filtroTipoNivel("Básico", "Iniciante"),
             std::string("Tipo = \"Básico\" .AND. Nivel = \"Iniciante\""));
    QCOMPARE(dominio::filtroNome("ANA"), std::string("Nome=\"ANA\""));
    QCOMPARE(dominio::filtroResultados("ANA", "Básico", 1, 12),
             std::string("Nome = \"ANA\" .AND. Tipo=\"Básico\" .AND. Licao >= 1 .AND. Licao <= 12"));
}

void TstDominio::filtroRecusaAspas()
{
    // A quote inside takes another delimiter, so it never ends the literal.
    QCOMPARE(dominio::filtroNome("AN\" .OR. .T. .OR. \"A"), std::string("Nome='AN\" .OR. .T. .OR. \"A'"));
    QCOMPARE(dominio::filtroNome("D'AVILA \"ZE\""), std::string("Nome=[D'AVILA \"ZE\"]"));
    QVERIFY(dominio::podeIrNoFiltro("AN\"A"));
    QVERIFY(!dominio::podeIrNoFiltro("A\"B'C]"));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, dominio::filtroNome("A\"B'C]"));
}

void TstDominio::tiposDeCurso()
{
    QCOMPARE(dominio::maxLicoesAluno("Básico"), 60);
    QCOMPARE(dominio::maxLicoesAluno("Avançado"), 40);
    QCOMPARE(dominio::maxLicoesAluno("Textos"), 20);
    QCOMPARE(dominio::maxLicoesAluno("Numérico"), 30);
    QCOMPARE(dominio::maxLicoesAluno(""), 20);
    QCOMPARE(dominio::maxLicoesAluno("basico"), 20);  // compared exactly
    QCOMPARE(dominio::slotRecorde("Numérico"), 4);
    QCOMPARE(dominio::slotRecorde("Outro"), 1);
    QCOMPARE(dominio::niveis().size(), std::size_t(5));
}

void TstDominio::velocidade_data()
{
    QTest::addColumn<int>("acertos");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("esperada");
    // The extended-precision 1/60 lies just above 1/60: the exact 60 falls short.
    QTest::newRow("1 em 00:01") << 1 << 0 << 0 << 1 << 59;
    QTest::newRow("90 em 00:45") << 90 << 0 << 0 << 45 << 119;
    QTest::newRow("100 em 00:30") << 100 << 0 << 0 << 30 << 200;
    QTest::newRow("0 em 00:01") << 0 << 0 << 0 << 1 << 0;
    QTest::newRow("122 em 01:01") << 122 << 0 << 1 << 1 << 120;
    QTest::newRow("3630 em 1:00:30") << 3630 << 1 << 0 << 30 << 60;
}

void TstDominio::velocidade()
{
    QFETCH(int, acertos);
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(int, s);
    QFETCH(int, esperada);
    QCOMPARE(dominio::velocidade(acertos, h, m, s), esperada);
}

void TstDominio::faixaVelocidade_data()
{
    QTest::addColumn<QVector<int>>("velocidades");
    QTest::addColumn<int>("minimo");
    QTest::addColumn<int>("maximo");
    QTest::newRow("nenhuma") << QVector<int>{} << 60 << 360;
    QTest::newRow("todas cabem, nas pontas") << QVector<int>{60, 200, 360} << 60 << 360;
    QTest::newRow("uma acima de 360") << QVector<int>{120, 361} << 60 << 400;
    QTest::newRow("823 teclas/min") << QVector<int>{823, 300} << 60 << 900;
    QTest::newRow("centena exata") << QVector<int>{1000} << 60 << 1000;
    QTest::newRow("uma abaixo de 60") << QVector<int>{45, 130} << 0 << 360;
}

void TstDominio::faixaVelocidade()
{
    QFETCH(QVector<int>, velocidades);
    QFETCH(int, minimo);
    QFETCH(int, maximo);
    const dominio::FaixaEixo f = dominio::faixaVelocidade({velocidades.begin(), velocidades.end()});
    QCOMPARE(f.minimo, minimo);
    QCOMPARE(f.maximo, maximo);
}

void TstDominio::precisaoEDuracao()
{
    QCOMPARE(dominio::precisao(55, 5), 91);
    QCOMPARE(dominio::precisao(0, 0), 0);
    QCOMPARE(dominio::precisao(0, 3), 0);
    QCOMPARE(dominio::textoDuracao(0, 5, 9), std::string("05:09"));
    QCOMPARE(dominio::textoDuracao(1, 5, 9), std::string("1:05:09"));
    QCOMPARE(dominio::textoDuracao(1, 0, 0), std::string("1:00:00"));
    QVERIFY(dominio::atingiu(120, 120));
    QVERIFY(!dominio::atingiu(119, 120));
}

void TstDominio::pontuacaoNaoDaAVolta()
{
    QCOMPARE(dominio::pontuacao(200, 95, 4), 19040LL);
    QCOMPARE(dominio::pontuacao(700, 100, 1), 70010LL);  // would have wrapped to 4,474 in 16 bits
}

// What is said of a character: capitals, accents (the dead key first), Space and Enter.
void TstDominio::soletrar_data()
{
    QTest::addColumn<QString>("caractere");
    QTest::addColumn<QString>("dito");
    QTest::newRow("maiúscula") << "A" << "A maiúsculo";
    QTest::newRow("agudo") << "á" << "acento agudo, depois a";
    QTest::newRow("circunflexo maiúsculo") << "Ê" << "acento circunflexo, depois E maiúsculo";
    QTest::newRow("espaço") << " " << "espaço";
    QTest::newRow("Enter") << "\r" << "Enter";
    QTest::newRow("pontuação") << ";" << "ponto e vírgula";
}

void TstDominio::soletrar()
{
    QFETCH(QString, caractere);
    QFETCH(QString, dito);
    QCOMPARE(QString::fromStdString(dominio::soletrar(caractere.toUcs4().at(0))), dito);
}

// The key, finger and hand of a character on the shipped drawings; the hands are told apart
// by the gap between them, B (at the gap's left) included.
void TstDominio::dedoDaTecla_data()
{
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<QString>("desenho");
    QTest::addColumn<QString>("caractere");
    QTest::addColumn<QString>("dica");
    const QString b = "TecladoB.txt", a = "TecladoA.txt", n = "TecladoN.txt";
    QTest::newRow("f") << b << "ABNT2" << "f" << "F, indicador esquerdo";
    QTest::newRow("b") << b << "ABNT2" << "b" << "B, indicador esquerdo";
    QTest::newRow("y") << b << "ABNT2" << "y" << "Y, indicador direito";
    QTest::newRow("F") << b << "ABNT2" << "F" << "F, indicador esquerdo, com o Shift direito";
    QTest::newRow("espaço") << b << "ABNT2" << " " << "espaço, polegar";
    QTest::newRow("á") << b << "ABNT2" << "á" << "acento agudo, mínimo direito; depois A, mínimo esquerdo";
    QTest::newRow("á sem ABNT2") << a << "EUA" << "á" << "apóstrofo, mínimo direito; depois A, mínimo esquerdo";
    QTest::newRow("teclado numérico") << n << "ABNT2n" << "5" << "5, médio direito";
}

void TstDominio::dedoDaTecla()
{
    QFETCH(QString, arquivo);
    QFETCH(QString, desenho);
    QFETCH(QString, caractere);
    QFETCH(QString, dica);
    const dominio::DesenhoTeclado d = desenhoEnviado(arquivo, desenho);
    QVERIFY2(!d.nome.empty(), "drawing not found");
    QCOMPARE(QString::fromStdString(dominio::dedoDaTecla(d, caractere.toUcs4().at(0))), dica);
}

// A folder whose aids table has only the voice keeps its rows: read, the newer aids are off;
// the first write brings the table to the new layout, keeping a field of another version.
// Held open elsewhere, it is not rewritten.
void TstDominio::ajudasDeUmaVersaoAnterior()
{
    QTemporaryDir pasta;
    const std::string dir = pasta.path().toStdString();
    xbase::Table::create(dir, "Ajudas.dbf", {{"NOME", xbase::FieldType::Character, 20, 0, 0},
                                              {"FALAR", xbase::FieldType::Logical, 1, 0, 0},
                                              {"OUTRA", xbase::FieldType::Character, 4, 0, 0}});
    {
        xbase::Table t;
        t.open(dir, "Ajudas.dbf");
        for (const char* nome : {"ANA", "BIA", "CAIO"}) {
            t.insert();
            t.setString(0, nome);
            t.setBoolean(1, true);
            t.setString(2, nome);
            t.post();
        }
        t.deleteRecord();  // CAIO removed, waiting for a pack
    }
    dominio::AjudasAluno ana = dominio::lerAjudas(dir, "ANA");
    QVERIFY(ana.falar && !ana.altoContraste && !ana.fonteDislexia);
    QCOMPARE(ana.tamanhoTexto, 100);

    const int espera = xbase::environment().lockWaitMilliseconds;
    xbase::environment().lockWaitMilliseconds = 100;
    dominio::AjudasAluno bia{false, true, 150, true};
    {
        xbase::Table outroComputador;
        outroComputador.open(dir, "Ajudas.dbf", true);
        try {
            dominio::gravarAjudas(dir, "BIA", bia);
            QFAIL("rewritten under another open");
        } catch (const xbase::Error& e) {
            QCOMPARE(e.kind(), xbase::ErrorKind::Busy);
        }
    }
    xbase::environment().lockWaitMilliseconds = 20;  // shorter than a pause between tries
    dominio::gravarAjudas(dir, "BIA", bia);
    xbase::environment().lockWaitMilliseconds = espera;

    xbase::Table t;
    t.open(dir, "Ajudas.dbf", true);
    QCOMPARE(t.fieldCount(), int(dominio::esquemaAjudas().campos.size()) + 1);
    QCOMPARE(t.count(), 2u);
    QCOMPARE(t.asString("OUTRA"), std::string("ANA"));
    QVERIFY(dominio::lerAjudas(dir, "ANA").falar);
    const dominio::AjudasAluno lida = dominio::lerAjudas(dir, "BIA");
    QVERIFY(!lida.falar && lida.altoContraste && lida.fonteDislexia);
    QCOMPARE(lida.tamanhoTexto, 150);
}

QTEST_APPLESS_MAIN(TstDominio)
#include "tst_dominio.moc"
