// The shipped data folder, as the build makes it: every table read back through the engine.
#include "domain/Cursos.h"
#include "domain/Linhas.h"
#include "xbase/Table.h"

#include <QtTest>

#include <map>
#include <set>

namespace {

const std::string kDados = TARVEX_DATA_DIR "/Dados";

QString q(const std::string& s) { return QString::fromStdString(s); }

QString caractere(uint c)
{
    const char32_t cp = c;
    return QString::fromUcs4(&cp, 1);
}

// "NOME C 20" for each field, in file order.
QStringList estrutura(const xbase::Table& t)
{
    QStringList campos;
    for (const xbase::FieldDef& f : t.fields())
        campos << QString("%1 %2 %3").arg(q(f.name)).arg(QChar(char(f.type))).arg(f.length);
    return campos;
}

// One lesson as the practice window sees it.
struct Licao {
    std::string tipo;
    int numero;
    std::string texto;
};

std::vector<Licao> licoesEmOrdemDeTipo(const std::string& arquivo)
{
    xbase::Table t;
    t.open(kDados, arquivo, true);
    t.setIndexName("TIPO");
    std::vector<Licao> licoes;
    for (t.first(); !t.eof(); t.next())
        licoes.push_back({t.asString("TIPO"), int(t.asInteger("LICAO")), t.asString("TEXTO")});
    return licoes;
}

// Keys the basic course has taught up to each lesson, read from its plan: "novas:" counts
// on both keyboards, "abnt2:" / "eua:" on one of them.
std::vector<QSet<uint>> teclasEnsinadas(bool abnt2)
{
    QFile f(TARVEX_SOURCE_DIR "/assets/dados/basico.txt");
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    std::vector<QSet<uint>> porLicao;
    QSet<uint> ensinadas{' '};
    const QString minhas = abnt2 ? "abnt2:" : "eua:";
    for (const QString& linha : QString::fromUtf8(f.readAll()).split('\n')) {
        if (linha.startsWith(QString::fromUtf8("lição "))) {
            porLicao.push_back(ensinadas);
        } else if (!porLicao.empty() && (linha.startsWith("novas:") || linha.startsWith(minhas))) {
            for (const QString& tecla : linha.mid(linha.indexOf(':') + 1).split(' ', Qt::SkipEmptyParts))
                for (uint c : tecla.toUcs4())
                    ensinadas.insert(c);
            porLicao.back() = ensinadas;
        }
    }
    return porLicao;
}

QStringList linhasDoArquivo(const QString& caminho)
{
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n');
}

// What the basic course's plan says of each lesson: whether it brings new letter keys, and
// its hand-written sentences.
struct PlanoDaLicao {
    bool ensinaLetras = false;
    QSet<QString> frases;
};

std::vector<PlanoDaLicao> planoDoBasico()
{
    std::vector<PlanoDaLicao> plano;
    for (const QString& linha : linhasDoArquivo(TARVEX_SOURCE_DIR "/assets/dados/basico.txt")) {
        if (linha.startsWith(QString::fromUtf8("lição ")))
            plano.emplace_back();
        else if (!plano.empty() && linha.startsWith("frase:"))
            plano.back().frases.insert(linha.mid(6).trimmed());
        else if (!plano.empty() && (linha.startsWith("novas:") || linha.startsWith("abnt2:") || linha.startsWith("eua:")))
            for (const QChar c : linha.mid(linha.indexOf(':') + 1))
                plano.back().ensinaLetras = plano.back().ensinaLetras || c.isLower();
    }
    return plano;
}

QSet<QString> listaDePalavras()
{
    QSet<QString> palavras;
    for (const QString& linha : linhasDoArquivo(TARVEX_SOURCE_DIR "/assets/dados/palavras.txt"))
        if (!linha.startsWith('#') && !linha.trimmed().isEmpty())
            palavras.insert(linha.trimmed());
    return palavras;
}

// A word of a typing line, as the list writes it: lower case, without punctuation round it.
QString palavraDaLinha(const QString& token) { return token.toLower().remove(QRegularExpression("[.,;:?!()\"']")); }

bool ehAcentuada(uint c)
{
    return QChar::isLetter(c) && c > 0x7F && QChar::decompositionTag(c) == QChar::Canonical;
}

} // namespace

class TstDados : public QObject {
    Q_OBJECT
private slots:
    void estruturas_data();
    void estruturas();
    void tabelasPequenas();
    void licoesNumeradas_data();
    void licoesNumeradas();
    void linhasDasLicoes_data();
    void linhasDasLicoes();
    void basicoSoUsaTeclasEnsinadas_data();
    void basicoSoUsaTeclasEnsinadas();
    void basicoSeguePlanoDoProfessor_data();
    void basicoSeguePlanoDoProfessor();
    void todoCaractereTemTecla_data();
    void todoCaractereTemTecla();
    void mapas_data();
    void mapas();
    void teclas_data();
    void teclas();
    void xbtoolAprova();
};

void TstDados::estruturas_data()
{
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<QStringList>("campos");
    QTest::addColumn<QStringList>("tags");

    const QStringList licao{"TIPO C 8", "LICAO N 3", "TEXTO M 10"};
    const QStringList teclado{"LETRA C 2", "POS N 2", "SHIFDE N 1", "PROX L 1", "PROXL C 2"};
    QTest::newRow("Usuario") << "Usuario.dbf"
                             << QStringList{"NOME C 20", "TIPO C 8", "LICAO N 5", "TECLADO L 1", "NIVEL C 13"}
                             << QStringList{};
    QTest::newRow("LicaoA") << "LicaoA.dbf" << licao << QStringList{"TIPO"};
    QTest::newRow("LicaoB") << "LicaoB.dbf" << licao << QStringList{"TIPO"};
    QTest::newRow("Relat") << "Relat.dbf"
                           << QStringList{"NOME C 20", "TIPO C 8", "LICAO N 3", "VELOCIDADE N 5",
                                          "PRECISAO N 3", "RESULTADO C 9"}
                           << QStringList{};
    QTest::newRow("Recorde") << "Recorde.dbf"
                             << QStringList{"TIPO C 8", "NOME C 20", "PONTUACAO N 10", "VELOCIDADE N 5",
                                            "PRECISAO N 3", "LICAO N 3", "DATA D 8"}
                             << QStringList{};
    QTest::newRow("Exigen") << "Exigen.dbf"
                            << QStringList{"TIPO C 8", "NIVEL C 13", "VELOCIDADE N 5", "PRECISAO N 3"}
                            << QStringList{};
    QTest::newRow("Config") << "Config.dbf" << QStringList{"SOM L 1", "MUSICA L 1", "ABNT2 L 1"} << QStringList{};
    QTest::newRow("TecladoA") << "TecladoA.dbf" << teclado << QStringList{"LETRA"};
    QTest::newRow("TecladoB") << "TecladoB.dbf" << teclado << QStringList{"LETRA"};
    QTest::newRow("TecladoN") << "TecladoN.dbf" << teclado << QStringList{"LETRA"};
}

void TstDados::estruturas()
{
    QFETCH(QString, arquivo);
    QFETCH(QStringList, campos);
    QFETCH(QStringList, tags);

    xbase::Table t;
    t.open(kDados, arquivo.toStdString(), true);
    QCOMPARE(estrutura(t), campos);
    QStringList nomes;
    for (const std::string& tag : t.tagNames())
        nomes << q(tag);
    QCOMPARE(nomes, tags);
    // Only the lesson tables have a memo file, only the tables with a tag an index file.
    const QString base = q(kDados) + "/" + QFileInfo(arquivo).completeBaseName();
    QCOMPARE(QFile::exists(base + ".fpt"), arquivo.startsWith("Licao"));
    QCOMPARE(QFile::exists(base + ".cdx"), !tags.isEmpty());
}

void TstDados::tabelasPequenas()
{
    xbase::Table t;
    for (const char* vazia : {"Usuario.dbf", "Relat.dbf"}) {
        t.open(kDados, vazia, true);
        QVERIFY2(t.physicalCount() == 0, vazia);
        t.close();
    }

    t.open(kDados, "Config.dbf", true);
    QCOMPARE(t.physicalCount(), 1u);
    QVERIFY(t.asBoolean("SOM"));
    QVERIFY(t.asBoolean("MUSICA"));
    QVERIFY(!t.asBoolean("ABNT2"));  // the first run asks
    t.close();

    // Records in course-type order, each score as the practice window would compute it.
    t.open(kDados, "Recorde.dbf", true);
    QCOMPARE(t.physicalCount(), 4u);
    for (const dominio::TipoCurso& tipo : dominio::tiposCurso()) {
        t.goTo(uint32_t(tipo.slotRecorde));
        QCOMPARE(q(t.asString("TIPO")), q(tipo.nome));
        QVERIFY(!t.asString("NOME").empty());
        QCOMPARE(t.asInteger("PONTUACAO"),
                 t.asInteger("VELOCIDADE") * t.asInteger("PRECISAO") + 10 * t.asInteger("LICAO"));
        QVERIFY(t.asInteger("LICAO") >= 1 && t.asInteger("LICAO") <= tipo.maxLicoes);
        QVERIFY(q(t.asString("DATA")).endsWith("/2026"));
    }
    t.close();

    // One row per course type and level; requirements never fall as the level rises.
    t.open(kDados, "Exigen.dbf", true);
    QCOMPARE(t.physicalCount(), 20u);
    for (const dominio::TipoCurso& tipo : dominio::tiposCurso()) {
        long long velocidade = 0, precisao = 0;
        for (const std::string& nivel : dominio::niveis()) {
            t.setFilter("Tipo = \"" + std::string(tipo.nome) + "\" .AND. Nivel = \"" + nivel + "\"");
            QCOMPARE(t.count(), 1u);
            QVERIFY(t.asInteger("VELOCIDADE") > velocidade);
            QVERIFY(t.asInteger("PRECISAO") >= precisao && t.asInteger("PRECISAO") <= 100);
            velocidade = t.asInteger("VELOCIDADE");
            precisao = t.asInteger("PRECISAO");
        }
    }
}

void TstDados::licoesNumeradas_data()
{
    QTest::addColumn<QString>("arquivo");
    QTest::newRow("LicaoA") << "LicaoA.dbf";
    QTest::newRow("LicaoB") << "LicaoB.dbf";
}

// In the order of the tag TIPO, each type's lessons come together, numbered 1..max.
void TstDados::licoesNumeradas()
{
    QFETCH(QString, arquivo);
    std::map<std::string, std::vector<int>> numeros;
    std::string anterior;
    std::set<std::string> vistos;
    for (const Licao& l : licoesEmOrdemDeTipo(arquivo.toStdString())) {
        if (l.tipo != anterior)
            QVERIFY2(vistos.insert(l.tipo).second, l.tipo.c_str());
        anterior = l.tipo;
        numeros[l.tipo].push_back(l.numero);
    }
    QCOMPARE(numeros.size(), dominio::tiposCurso().size());
    for (const dominio::TipoCurso& tipo : dominio::tiposCurso()) {
        std::vector<int> esperado(std::size_t(tipo.maxLicoes));
        std::iota(esperado.begin(), esperado.end(), 1);
        QCOMPARE(numeros[tipo.nome], esperado);
    }
}

void TstDados::linhasDasLicoes_data() { licoesNumeradas_data(); }

void TstDados::linhasDasLicoes()
{
    QFETCH(QString, arquivo);
    for (const Licao& l : licoesEmOrdemDeTipo(arquivo.toStdString())) {
        const QString onde = q(l.tipo) + " " + QString::number(l.numero);
        const std::vector<std::string> linhas = dominio::dividirLinhas(l.texto);
        QVERIFY2(!linhas.empty(), qPrintable(onde));
        // A line as wide as the window would end without Enter.
        for (const std::string& linha : linhas)
            QVERIFY2(q(linha).size() < int(dominio::kLarguraLinha), qPrintable(onde + ": " + q(linha)));
        // Lines are separated by CR LF; a bare LF would show as a different layout elsewhere.
        QVERIFY2(!q(l.texto).remove("\r\n").contains('\n'), qPrintable(onde));
    }
}

void TstDados::basicoSoUsaTeclasEnsinadas_data()
{
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<bool>("abnt2");
    QTest::newRow("LicaoA") << "LicaoA.dbf" << false;
    QTest::newRow("LicaoB") << "LicaoB.dbf" << true;
}

void TstDados::basicoSoUsaTeclasEnsinadas()
{
    QFETCH(QString, arquivo);
    QFETCH(bool, abnt2);
    const std::vector<QSet<uint>> ensinadas = teclasEnsinadas(abnt2);
    QCOMPARE(int(ensinadas.size()), 60);
    // The ç key comes with the home row on ABNT2, with the acute accent elsewhere.
    QCOMPARE(ensinadas[3].contains(0xE7), abnt2);
    QCOMPARE(ensinadas[3].contains(';'), !abnt2);

    for (const Licao& l : licoesEmOrdemDeTipo(arquivo.toStdString())) {
        if (l.tipo != "Básico")
            continue;
        const QSet<uint>& permitidas = ensinadas[std::size_t(l.numero - 1)];
        for (uint c : q(l.texto).remove("\r\n").toUcs4())
            QVERIFY2(permitidas.contains(c), qPrintable(QString("lição %1: \"%2\" ainda não foi ensinada")
                                                           .arg(l.numero).arg(caractere(c))));
    }
}

void TstDados::basicoSeguePlanoDoProfessor_data() { basicoSoUsaTeclasEnsinadas_data(); }

// Drills of letter groups only in the lessons that bring new letters; every other generated
// line is made of words of the project's list (numbers aside); the lessons grow longer.
void TstDados::basicoSeguePlanoDoProfessor()
{
    QFETCH(QString, arquivo);
    const std::vector<PlanoDaLicao> plano = planoDoBasico();
    QCOMPARE(int(plano.size()), 60);
    const QSet<QString> palavras = listaDePalavras();
    QVERIFY(palavras.size() > 500);
    for (const char* rara : {"la", "si", "hajas", "wifi", "show"})
        QVERIFY2(!palavras.contains(rara), rara);

    std::vector<int> teclas(60);
    for (const Licao& l : licoesEmOrdemDeTipo(arquivo.toStdString())) {
        if (l.tipo != "Básico")
            continue;
        const PlanoDaLicao& p = plano[std::size_t(l.numero - 1)];
        for (const std::string& linha : dominio::dividirLinhas(l.texto)) {
            teclas[std::size_t(l.numero - 1)] += q(linha).size() + 1;
            if (p.frases.contains(q(linha)))
                continue;
            for (const QString& token : q(linha).split(' ', Qt::SkipEmptyParts)) {
                const QString palavra = palavraDaLinha(token);
                bool numero = false;
                palavra.toLongLong(&numero);
                const bool doTreino = !numero && !palavras.contains(palavra) && !palavra.contains('-');
                QVERIFY2(!doTreino || p.ensinaLetras,
                         qPrintable(QString("lição %1: \"%2\" fora da lista").arg(l.numero).arg(token)));
            }
        }
    }
    // About two minutes at a beginner's 60 keystrokes per minute, then longer every ten lessons.
    QVERIFY2(teclas[0] <= 180, qPrintable(QString::number(teclas[0])));
    int anterior = 0;
    for (int bloco = 0; bloco < 6; ++bloco) {
        const int soma = std::accumulate(teclas.begin() + bloco * 10, teclas.begin() + bloco * 10 + 10, 0);
        QVERIFY2(soma > anterior, qPrintable(QString("lições %1 a %2: %3 teclas").arg(bloco * 10 + 1).arg(bloco * 10 + 10).arg(soma)));
        anterior = soma;
    }
}

void TstDados::todoCaractereTemTecla_data()
{
    QTest::addColumn<QString>("licoes");
    QTest::addColumn<QString>("teclado");
    QTest::newRow("LicaoA com TecladoA") << "LicaoA.dbf" << "TecladoA.dbf";
    QTest::newRow("LicaoB com TecladoB") << "LicaoB.dbf" << "TecladoB.dbf";
}

// The guide finds every character with an exact key search, as the practice window does.
void TstDados::todoCaractereTemTecla()
{
    QFETCH(QString, licoes);
    QFETCH(QString, teclado);
    xbase::Table mapa, numerico;
    mapa.open(kDados, teclado.toStdString(), true);
    mapa.setIndexName("LETRA");
    numerico.open(kDados, "TecladoN.dbf", true);
    numerico.setIndexName("LETRA");

    for (const Licao& l : licoesEmOrdemDeTipo(licoes.toStdString())) {
        const bool doTecladoNumerico = l.tipo == dominio::kTipoNumerico;
        for (uint c : q(l.texto).remove("\r\n").toUcs4()) {
            const QString letra = caractere(c);
            const bool achou = doTecladoNumerico
                ? numerico.findKey(c == ' ' ? "aa" : letra.toStdString())
                : mapa.findKey(letra.toStdString());
            QVERIFY2(achou, qPrintable(QString("%1 %2: \"%3\"").arg(q(l.tipo)).arg(l.numero).arg(letra)));
        }
    }
}

void TstDados::mapas_data()
{
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<int>("maiorTecla");
    QTest::newRow("TecladoA") << "TecladoA.dbf" << 48;
    QTest::newRow("TecladoB") << "TecladoB.dbf" << 51;
    QTest::newRow("TecladoN") << "TecladoN.dbf" << 16;
}

// Every second keystroke names a row; accented letters take two keystrokes.
void TstDados::mapas()
{
    QFETCH(QString, arquivo);
    QFETCH(int, maiorTecla);
    xbase::Table t;
    t.open(kDados, arquivo.toStdString(), true);
    t.setIndexName("LETRA");
    std::vector<std::string> segundas;
    for (t.first(); !t.eof(); t.next()) {
        const QString letra = q(t.asString("LETRA"));
        QVERIFY2(t.asInteger("POS") >= 1 && t.asInteger("POS") <= maiorTecla, qPrintable(letra));
        QVERIFY2(t.asInteger("SHIFDE") >= 0 && t.asInteger("SHIFDE") <= 2, qPrintable(letra));
        if (letra.size() == 1 && ehAcentuada(letra.toUcs4().front()) && letra != QString::fromUtf8("ç")
            && letra != QString::fromUtf8("Ç"))
            QVERIFY2(t.asBoolean("PROX"), qPrintable(letra));
        if (t.asBoolean("PROX"))
            segundas.push_back(t.asString("PROXL"));
    }
    for (const std::string& segunda : segundas)
        QVERIFY2(t.findKey(segunda.empty() ? " " : segunda), segunda.c_str());

    QVERIFY(t.findKey("aa"));
    QCOMPARE(int(t.asInteger("POS")), maiorTecla);  // Enter has the highest key number
}

void TstDados::teclas_data()
{
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<QString>("letra");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("shift");
    QTest::addColumn<bool>("prox");
    QTest::addColumn<QString>("segunda");

    const QString a = "TecladoA.dbf", b = "TecladoB.dbf", n = "TecladoN.dbf";
    QTest::newRow("EUA espaço") << a << " " << 47 << 0 << false << "";
    QTest::newRow("EUA A com Shift direito") << a << "A" << 26 << 1 << false << "";
    QTest::newRow("EUA P com Shift esquerdo") << a << "P" << 23 << 2 << false << "";
    QTest::newRow("EUA ? com Shift esquerdo") << a << "?" << 46 << 2 << false << "";
    QTest::newRow("EUA á: acento agudo") << a << QString::fromUtf8("á") << 36 << 0 << true << "a";
    QTest::newRow("EUA Á: agudo e A") << a << QString::fromUtf8("Á") << 36 << 0 << true << "A";
    QTest::newRow("EUA ç: agudo e c") << a << QString::fromUtf8("ç") << 36 << 0 << true << "c";
    QTest::newRow("EUA ã: til com Shift") << a << QString::fromUtf8("ã") << 1 << 1 << true << "a";
    QTest::newRow("EUA â: Shift+6") << a << QString::fromUtf8("â") << 7 << 2 << true << "a";
    QTest::newRow("EUA à: grave") << a << QString::fromUtf8("à") << 1 << 0 << true << "a";
    QTest::newRow("EUA aspas: morta e espaço") << a << "\"" << 36 << 2 << true << "";
    QTest::newRow("ABNT2 espaço") << b << " " << 50 << 0 << false << "";
    QTest::newRow("ABNT2 ç na própria tecla") << b << QString::fromUtf8("ç") << 35 << 0 << false << "";
    QTest::newRow("ABNT2 Ç") << b << QString::fromUtf8("Ç") << 35 << 2 << false << "";
    QTest::newRow("ABNT2 Z") << b << "Z" << 39 << 1 << false << "";
    QTest::newRow("ABNT2 dois-pontos") << b << ":" << 48 << 2 << false << "";
    QTest::newRow("ABNT2 é: agudo") << b << QString::fromUtf8("é") << 24 << 0 << true << "e";
    QTest::newRow("ABNT2 à: Shift e agudo") << b << QString::fromUtf8("à") << 24 << 2 << true << "a";
    QTest::newRow("ABNT2 õ: til") << b << QString::fromUtf8("õ") << 36 << 0 << true << "o";
    QTest::newRow("ABNT2 Ê: circunflexo e E") << b << QString::fromUtf8("Ê") << 36 << 2 << true << "E";
    QTest::newRow("ABNT2 ü: trema") << b << QString::fromUtf8("ü") << 7 << 2 << true << "u";
    QTest::newRow("teclado numérico vírgula") << n << "," << 3 << 0 << false << "";
    QTest::newRow("teclado numérico ponto") << n << "." << 3 << 0 << false << "";
    QTest::newRow("teclado numérico 0") << n << "0" << 6 << 0 << false << "";
    QTest::newRow("teclado numérico 9") << n << "9" << 15 << 0 << false << "";
    QTest::newRow("teclado numérico *") << n << "*" << 1 << 0 << false << "";
}

void TstDados::teclas()
{
    QFETCH(QString, arquivo);
    QFETCH(QString, letra);
    QFETCH(int, pos);
    QFETCH(int, shift);
    QFETCH(bool, prox);
    QFETCH(QString, segunda);

    xbase::Table t;
    t.open(kDados, arquivo.toStdString(), true);
    t.setIndexName("LETRA");
    QVERIFY(t.findKey(letra.toStdString()));
    QCOMPARE(q(t.asString("LETRA")), letra.trimmed());  // the blank reads back trimmed
    QCOMPARE(int(t.asInteger("POS")), pos);
    QCOMPARE(int(t.asInteger("SHIFDE")), shift);
    QCOMPARE(t.asBoolean("PROX"), prox);
    QCOMPARE(q(t.asString("PROXL")), segunda);
}

void TstDados::xbtoolAprova()
{
#ifndef XBTOOL_PATH
    QSKIP("xbtool não foi construído");
#else
    const QStringList tabelas = QDir(q(kDados)).entryList({"*.dbf"}, QDir::Files);
    QCOMPARE(tabelas.size(), 10);
    for (const QString& tabela : tabelas) {
        QProcess p;
        p.start(XBTOOL_PATH, {"check", q(kDados) + "/" + tabela});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, qPrintable(tabela + ": " + p.readAllStandardOutput() + p.readAllStandardError()));
    }
#endif
}

QTEST_GUILESS_MAIN(TstDados)
#include "tst_dados.moc"
