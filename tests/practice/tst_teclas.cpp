// Key figures: what the session's keystrokes give per character, and their table (read back
// by dbfread, an xBase reader that shares no code with ours).
#include "MundoPratica.h"
#include "data/Data1.h"
#include "DesenhoEnviado.h"
#include "FigurasTeclas.h"
#include "domain/ArquivoTeclas.h"
#include "domain/DesenhoTeclado.h"
#include "domain/Linhas.h"
#include "domain/Treino.h"
#include "xbase/Codepage.h"
#include "xbase/Table.h"
#include "practice/Digitacao.h"
#include "practice/SessaoDigitacao.h"
#include "ui/Mensagens.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

using dominio::EstatisticaTeclas;

namespace {

// A run of one ABNT2 lesson whose keystrokes feed the figures, 100 ms apart.
struct Corrida {
    SessaoDigitacao sessao;
    EstatisticaTeclas figuras;
    long long ms = 0;

    explicit Corrida(const QString& licao)
    {
        QObject::connect(&sessao, &SessaoDigitacao::julgada, [this](QChar e, QChar d) {
            ms += 100;
            figuras.registrar(e.unicode(), d.unicode(), ms);
        });
        SessaoDigitacao::Licao l;
        l.linhas = licao.split(QLatin1Char('\n'));
        l.numero = 1;
        l.abnt2 = true;
        sessao.preparar(l);
        sessao.iniciar();
        figuras.retomar(0);
    }
    // "´" and "`" are the dead keys; "\r" is Enter.
    void digitar(const QString& teclas)
    {
        for (QChar c : teclas) {
            if (c == QChar(0x00B4)) sessao.tecla(Qt::Key_Dead_Acute, QString());
            else if (c == QLatin1Char('`')) sessao.tecla(Qt::Key_Dead_Grave, QString());
            else sessao.tecla(c == QLatin1Char('\r') ? int(Qt::Key_Return) : c.toUpper().unicode(), QString(c));
        }
    }
};

} // namespace

class TstTeclas : public QObject {
    Q_OBJECT

private slots:
    // Per expected character: right, wrong, what was typed instead and the time of the right ones.
    void figurasDaSessao_data()
    {
        QTest::addColumn<QString>("licao");
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<QString>("caractere");
        QTest::addColumn<int>("acertos");
        QTest::addColumn<int>("erros");
        QTest::addColumn<QString>("troca");
        QTest::addColumn<int>("tempo");
        // Wrong accent then the right one: one letter, missed once with "á".
        QTest::newRow("acento errado") << QString::fromUtf8("à") << QString::fromUtf8("´a`a") << QString::fromUtf8("à")
                                       << 1 << 1 << QString::fromUtf8("á") << 100;
        // Dead key + letter is one keystroke of the accented letter.
        QTest::newRow("acento certo") << QString::fromUtf8("né") << QString::fromUtf8("n´e") << QString::fromUtf8("é")
                                      << 1 << 0 << QString() << 100;
        QTest::newRow("cedilha sem cedilha") << QString::fromUtf8("aço") << QString::fromUtf8("acço")
                                             << QString::fromUtf8("ç") << 1 << 1 << QStringLiteral("c") << 100;
        QTest::newRow("enter") << QStringLiteral("a\nb") << QStringLiteral("a \rb") << QStringLiteral("\r") << 1 << 1
                               << QStringLiteral(" ") << 100;
    }
    void figurasDaSessao()
    {
        QFETCH(QString, licao);
        QFETCH(QString, teclas);
        QFETCH(QString, caractere);
        QFETCH(int, acertos);
        QFETCH(int, erros);
        QFETCH(QString, troca);
        QFETCH(int, tempo);
        Corrida c(licao);
        c.digitar(teclas);
        const auto& figuras = c.figuras.figuras();
        QVERIFY(figuras.count(caractere[0].unicode()));
        const dominio::FiguraTecla& f = figuras.at(caractere[0].unicode());
        QCOMPARE(f.acertos, acertos);
        QCOMPARE(f.erros, erros);
        QCOMPARE(f.tempoMs, tempo);
        QCOMPARE(f.trocaMaisComum(), troca.isEmpty() ? char32_t(0) : char32_t(troca[0].unicode()));
    }

    // A pause is nobody's time: the first keystroke after it counts from the restart.
    void pausaNaoConta()
    {
        EstatisticaTeclas e;
        e.retomar(0);
        e.registrar(U'a', U'a', 150);
        e.retomar(10000);
        e.registrar(U'a', U'a', 10250);
        QCOMPARE(e.figuras().at(U'a').tempoMs, 400);
    }

    void textos_data()
    {
        QTest::addColumn<QString>("esperada");
        QTest::addColumn<QString>("digitada");
        QTest::addColumn<QString>("texto");
        QTest::newRow("acento trocado") << QString::fromUtf8("à") << QString::fromUtf8("á")
                                        << QString::fromUtf8("´ em vez de `");
        QTest::newRow("maiúscula") << QString::fromUtf8("Â") << QString::fromUtf8("Ã") << QString::fromUtf8("~ em vez de ^");
        QTest::newRow("cedilha") << QString::fromUtf8("ç") << QStringLiteral("c") << QString::fromUtf8("ç → c");
        QTest::newRow("letras diferentes") << QString::fromUtf8("á") << QString::fromUtf8("é") << QString::fromUtf8("á → é");
        QTest::newRow("enter") << QStringLiteral("\r") << QStringLiteral(" ") << QString::fromUtf8("Enter → Espaço");
    }
    void textos()
    {
        QFETCH(QString, esperada);
        QFETCH(QString, digitada);
        QFETCH(QString, texto);
        QCOMPARE(QString::fromStdString(dominio::textoTroca(esperada[0].unicode(), digitada[0].unicode())), texto);
    }

    // Each character's figures land on the key that types it on the shipped drawings; an
    // accented letter on its accent's key, the cedilla of US-International on the quote key.
    void porTecla_data()
    {
        QTest::addColumn<QString>("arquivo");
        QTest::addColumn<QString>("desenho");
        QTest::addColumn<QString>("caractere");
        QTest::addColumn<int>("tecla");
        QTest::newRow("ABNT2 ç") << "TecladoB.txt" << "ABNT2" << QString::fromUtf8("ç") << 35;
        QTest::newRow("ABNT2 á") << "TecladoB.txt" << "ABNT2" << QString::fromUtf8("á") << 24;
        QTest::newRow("ABNT2 Enter") << "TecladoB.txt" << "ABNT2" << QStringLiteral("\r") << 51;
        QTest::newRow("EUA ç") << "TecladoA.txt" << "EUA" << QString::fromUtf8("ç") << 36;
        QTest::newRow("EUA ã") << "TecladoA.txt" << "EUA" << QString::fromUtf8("ã") << 1;
        QTest::newRow("EUA A") << "TecladoA.txt" << "EUA" << QStringLiteral("A") << 26;
    }
    void porTecla()
    {
        QFETCH(QString, arquivo);
        QFETCH(QString, desenho);
        QFETCH(QString, caractere);
        QFETCH(int, tecla);
        const dominio::DesenhoTeclado d = desenhoEnviado(arquivo, desenho);
        QVERIFY2(!d.nome.empty(), "drawing not found");
        EstatisticaTeclas e;
        e.registrar(caractere[0].unicode(), U'x', 0);
        const auto teclas = dominio::figurasPorTecla(e, d);
        QCOMPARE(teclas.size(), std::size_t(1));
        QCOMPARE(teclas.begin()->first, tecla);
    }

    // Enough keystrokes first, then error rate, then time.
    void maisFracas()
    {
        EstatisticaTeclas e;
        auto figura = [&e](char32_t c, int acertos, int erros, int ms) { somarFigura(e, c, acertos, erros, ms); };
        figura(U'a', 9, 1, 900);
        figura(U'b', 9, 1, 2700);
        figura(U'c', 1, 1, 100);   // too few keystrokes
        figura(U'd', 5, 5, 500);
        figura(U'e', 10, 0, 900);
        QCOMPARE(e.maisFracas(3, 5), (std::vector<char32_t>{U'd', U'b', U'a'}));
        QCOMPARE(e.maisErrada(), U'd');
    }

    // The drill: only taught characters, the weak ones dense, about the keystrokes asked.
    void treino()
    {
        const std::vector<std::string> palavras = {"casa", "caça", "moça", "maçã", "faca", "pé", "aço", "xícara"};
        const std::vector<std::string> linhas = dominio::montarTreino(palavras, U"ç", U"acsmoçfpéx", 300);
        std::u32string tudo;
        for (const std::string& l : linhas) {
            QVERIFY(xbase::utf8Length(l) <= dominio::kLarguraLinha);
            tudo += xbase::utf8ToCodepoints(l) + U' ';
        }
        QVERIFY(tudo.size() >= 300 && tudo.size() <= 400);
        // Every word has the weak key; "maçã" and "xícara" have untaught keys.
        const QStringList usadas = QString::fromStdU32String(tudo).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(QSet<QString>(usadas.begin(), usadas.end()),
                 (QSet<QString>{QString::fromUtf8("caça"), QString::fromUtf8("moça"), QString::fromUtf8("aço")}));
        QVERIFY(dominio::montarTreino(palavras, U"z", U"acsmoçfpéx").empty());

        // After the first lessons no word can be written: groups of the taught keys, each
        // with a weak one, the weak keys first three times each.
        const std::vector<std::string> grupos = dominio::montarTreino(palavras, U"jk", U"fj dk", 200);
        QVERIFY(!grupos.empty());
        const QStringList g = QString::fromStdString(grupos[0]).split(QLatin1Char(' '));
        QCOMPARE(g.mid(0, 2), (QStringList{"jjj", "kkk"}));
        int caracteres = 0;
        for (const std::string& l : grupos)
            for (const QString& grupo : QString::fromStdString(l).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                QVERIFY2(grupo.size() >= 3 && grupo.size() <= 5, qPrintable(grupo));
                QVERIFY2(grupo.contains(QLatin1Char('j')) || grupo.contains(QLatin1Char('k')), qPrintable(grupo));
                for (QChar c : grupo) QVERIFY2(QStringLiteral("fjdk").contains(c), qPrintable(grupo));
                caracteres += int(grupo.size()) + 1;
            }
        QVERIFY(caracteres >= 200 && caracteres <= 260);

        // Two words of 30 would make lines of exactly the width.
        for (const std::string& l : dominio::montarTreino({std::string(29, 'f') + "j"}, U"j", U"fj", 200))
            QVERIFY2(xbase::utf8Length(l) < dominio::kLarguraLinha, l.c_str());
    }

    // Stored per lesson, summed over the range asked; removal and rename keep the table whole;
    // dbfread reads what was written.
    void tabela()
    {
        QTemporaryDir dir;
        const std::string d = dir.path().toStdString();
        QCOMPARE(dominio::lerTeclas(d, "Ana", "Básico", 1, 99).vazia(), true);  // no table yet
        Corrida c(QString::fromUtf8("àç b"));
        c.digitar(QString::fromUtf8("´a`acç b"));
        dominio::gravarTeclas(d, "Ana", "Básico", 3, 2026, 12, 8, c.figuras);
        dominio::gravarTeclas(d, "Ana", "Básico", 7, 2026, 12, 9, c.figuras);
        dominio::gravarTeclas(d, "Bia", "Básico", 3, 2026, 12, 9, c.figuras);

        const EstatisticaTeclas lidas = dominio::lerTeclas(d, "Ana", "Básico", 1, 5);
        QCOMPARE(lidas.figuras().size(), c.figuras.figuras().size());
        const dominio::FiguraTecla& a = lidas.figuras().at(U'à');
        QCOMPARE(a.erros, 1);
        QCOMPARE(a.trocaMaisComum(), U'á');
        QCOMPARE(lidas.figuras().at(U' ').acertos, 1);
        QCOMPARE(dominio::lerTeclas(d, "Ana", "Básico", 1, 99).figuras().at(U'ç').erros, 2);

        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, dbfread\n"
                                 "for r in dbfread.DBF(sys.argv[1], encoding='cp1252'):\n"
                                 "  for linha in r['TECLAS'].splitlines():\n"
                                 "    c, certos, erros, ms, troca, trocas = map(int, linha.split())\n"
                                 "    print('%s|%s|%d|%s|%s|%d|%d|%s|%d' % (r['NOME'], r['TIPO'], r['LICAO'], r['DATA'],"
                                 " chr(c), certos, erros, chr(troca) if troca else '', trocas))\n"),
                  dir.filePath(QStringLiteral("Teclas.dbf"))});
        QVERIFY(py.waitForFinished(30000));
        QCOMPARE(py.exitCode(), 0);
        const QStringList linhas = QString::fromUtf8(py.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(linhas.contains(QString::fromUtf8("Ana|Básico|3|2026-12-08|à|1|1|á|1")));
        QVERIFY(linhas.contains(QString::fromUtf8("Ana|Básico|3|2026-12-08|ç|1|1|c|1")));

        dominio::renomearTeclasDoAluno(d, "Ana", "Ana Paula");
        QVERIFY(dominio::lerTeclas(d, "Ana", "Básico", 1, 99).vazia());
        QCOMPARE(dominio::lerTeclas(d, "Ana Paula", "Básico", 1, 99).figuras().at(U'ç').erros, 2);
        dominio::removerTeclasDoAluno(d, "Ana Paula");
        QVERIFY(dominio::lerTeclas(d, "Ana Paula", "Básico", 1, 99).vazia());
        QCOMPARE(dominio::lerTeclas(d, "Bia", "Básico", 1, 99).figuras().at(U'ç').erros, 1);
    }

    // The window reads the sums, brought up to the rows stored since; a working folder of an
    // older version, with rows and no sums, gets every row summed once. Over many lessons the
    // character typed instead most often is the one of the whole sum.
    void somasDasLicoes()
    {
        QTemporaryDir dir;
        const std::string d = dir.path().toStdString();
        const auto licao = [](char32_t digitada, int vezes) {
            EstatisticaTeclas e;
            e.retomar(0);
            for (int i = 0; i < vezes; ++i) e.registrar(U'ç', digitada, 100 * (i + 1));
            return e;
        };
        dominio::gravarTeclas(d, "ANA", "Básico", 4, 2026, 12, 8, licao(U'c', 3));
        dominio::gravarTeclas(d, "ANA", "Básico", 4, 2026, 12, 9, licao(U'x', 2));
        QCOMPARE(dominio::lerTeclas(d, "ANA", "Básico", 4, 4).figuras().at(U'ç').erros, 5);
        for (const char* arquivo : {"TecSoma.dbf", "TecSoma.fpt"}) QVERIFY(QFile::remove(dir.filePath(arquivo)));
        dominio::gravarTeclas(d, "ANA", "Básico", 4, 2026, 12, 10, licao(U'x', 2));
        dominio::gravarTeclas(d, "ANA", "Básico", 5, 2026, 12, 10, licao(U'ç', 1));
        for (int vez = 0; vez < 2; ++vez) {  // read twice: nothing summed twice
            const dominio::FiguraTecla f = dominio::lerTeclas(d, "ANA", "Básico", 4, 4).figuras().at(U'ç');
            QCOMPARE(f.erros, 7);
            QCOMPARE(f.trocaMaisComum(), U'x');
            QCOMPARE(f.vezesTroca(), 4);
        }
        QCOMPARE(dominio::lerTeclas(d, "ANA", "Básico", 1, 9).figuras().at(U'ç').acertos, 1);
        {
            xbase::Table somas;
            somas.open(d, "TecSoma.dbf", true);
            QCOMPARE(somas.count(), 3u);  // the mark and one row per lesson
        }
        // Damaged sums are made again from the rows, with no question.
        for (const char* arquivo : {"TecSoma.dbf", "TecSoma.fpt"}) {
            QFile f(dir.filePath(arquivo));
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.write(QByteArray(16, '\xEE'));
            f.close();
            QCOMPARE(dominio::lerTeclas(d, "ANA", "Básico", 4, 4).figuras().at(U'ç').erros, 7);
        }
    }

    // Two computers ending their first lessons at once both make the table: neither empties
    // the other's nor meets it half made.
    void tabelaCriadaPorDoisAoMesmoTempo()
    {
        EstatisticaTeclas e;
        somarFigura(e, U'a', 3, 1, 300);
        for (int rodada = 0; rodada < 100; ++rodada) {
            QTemporaryDir dir;
            const std::string d = dir.path().toStdString();
            std::string erros[2];
            std::thread computadores[2];
            std::atomic<int> prontos{0};
            for (int i = 0; i < 2; ++i)
                computadores[i] = std::thread([&, i] {
                    for (++prontos; prontos < 2;) {  // both start together
                    }
                    try {
                        dominio::gravarTeclas(d, i ? "BIA" : "ANA", "Básico", 1, 2026, 12, 9, e);
                    } catch (const std::exception& x) {
                        erros[i] = x.what();
                    }
                });
            for (std::thread& t : computadores) t.join();
            QVERIFY2(erros[0].empty() && erros[1].empty(), (erros[0] + erros[1]).c_str());
            for (const char* nome : {"ANA", "BIA"})
                QCOMPARE(dominio::lerTeclas(d, nome, "Básico", 1, 1).figuras().at(U'a').erros, 1);
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4);
        }
    }

    // The drill typed in the practice window: taught keys only, shown as "Treino", no result
    // row and no unlock; its key figures are kept under lesson 0.
    void treinoNaPratica()
    {
        MundoPratica mundo;
        ui::definirRespondedor([](ui::TipoMensagem, const QString&) { return true; });
        const QString basico = QString::fromUtf8("Básico");
        mundo.aluno(QStringLiteral("ANA"), basico, 1, false);
        mundo.licao(basico, 1, QString::fromUtf8("abcdefghijlmnopqrstuvçz"));
        mundo.licao(basico, 2, QString::fromUtf8("ãéíóú"));  // not unlocked
        TFDigitacao w;
        w.show();
        QVERIFY(w.treinarTeclas(U"ç"));
        w.bIniciar->click();
        w.Timer1->stop();
        QCOMPARE(w.lLicao->text(), QStringLiteral("Treino"));
        int toques = 0;
        while (!w.sessao->terminada() && toques < 2000) {
            const QString linha = w.sessao->estado().LinhaAtual;
            const QStringList palavras = linha.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (const QString& p : palavras) {
                QVERIFY2(p.contains(QChar(0x00E7)), qPrintable(p));
                for (QChar c : p) QVERIFY2(QString::fromUtf8("abcdefghijlmnopqrstuvçz").contains(c), qPrintable(p));
            }
            for (QChar c : linha) {
                teclar(w.txtLetra, c == QChar(13) ? int(Qt::Key_Return) : int(c.toUpper().unicode()), QString(c));
                ++toques;
            }
        }
        ui::definirRespondedor({});
        QVERIFY(toques >= 300 && toques <= 700);
        QCOMPARE(mundo.janelas.size(), 1);
        QVERIFY(mundo.janelas[0].startsWith(QStringLiteral("Resultado|Treino|")));
        QCOMPARE(mundo.dm->TabRelat->recordCount(), 0);
        QCOMPARE(mundo.dm->TabAluno->fieldByName("Licao").asInteger(), 1);
        QVERIFY(dominio::lerTeclas(mundo.pasta().toStdString(), "ANA", "Básico", 1, 99).vazia());
        QCOMPARE(dominio::lerTeclas(mundo.pasta().toStdString(), "ANA", "Básico", 0, 0).figuras().at(U'ç').erros, 0);
    }

    // Through the practice window: the finished lesson's figures reach the table; a damaged
    // table shows its error and the lesson's result stays stored.
    void fimDaLicao_data()
    {
        QTest::addColumn<bool>("danificada");
        QTest::newRow("tabela nova") << false;
        QTest::newRow("tabela danificada") << true;
    }
    void fimDaLicao()
    {
        QFETCH(bool, danificada);
        MundoPratica mundo;
        QStringList erros;
        ui::definirRespondedor([&erros](ui::TipoMensagem tipo, const QString& texto) {
            if (tipo == ui::TipoMensagem::Erro) erros << texto;
            return true;
        });
        if (danificada) {
            QFile f(mundo.pasta() + QStringLiteral("/Teclas.dbf"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("danificada");
        }
        const QString basico = QString::fromUtf8("Básico");
        mundo.aluno(QStringLiteral("ANA"), basico, 1, false);
        mundo.licao(basico, 1, QString::fromUtf8("àb"));
        {
            TFDigitacao w;
            w.show();
            w.bIniciar->click();
            w.Timer1->stop();
            auto tecla = [&w](int key, const QString& texto) { teclar(w.txtLetra, key, texto); };
            tecla(Qt::Key_Dead_Acute, QString());  // the wrong accent
            tecla(Qt::Key_A, QStringLiteral("a"));
            tecla(Qt::Key_Dead_Grave, QString());
            tecla(Qt::Key_A, QStringLiteral("a"));
            tecla(Qt::Key_B, QStringLiteral("b"));
            tecla(Qt::Key_Return, QStringLiteral("\r"));
            QVERIFY(w.Recarregar);
        }
        ui::definirRespondedor({});
        mundo.dm->TabRelat->first();
        QCOMPARE(mundo.dm->TabRelat->recordCount(), 1);
        QCOMPARE(erros.size(), danificada ? 1 : 0);
        if (danificada) return;
        const EstatisticaTeclas e = dominio::lerTeclas(mundo.pasta().toStdString(), "ANA", "Básico", 1, 1);
        QCOMPARE(e.figuras().size(), std::size_t(3));
        QCOMPARE(e.figuras().at(U'à').erros, 1);
        QCOMPARE(e.figuras().at(U'à').trocaMaisComum(), U'á');
        QCOMPARE(e.figuras().at(U'\r').acertos, 1);
        QCOMPARE(QString::fromStdString(dominio::linhaMaisErrada(e)),
                 QString::fromUtf8("Tecla mais errada: à (1 vez; ´ em vez de `)"));
    }
};

QTEST_MAIN(TstTeclas)
#include "tst_teclas.moc"
