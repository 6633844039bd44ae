// The typing run without a window: keystroke evaluation, dead keys, clock and the end of a
// lesson.
#include "domain/Cursos.h"
#include "practice/SessaoDigitacao.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kBasico = QString::fromUtf8("Básico");
const QString kNumerico = QString::fromUtf8("Numérico");

// Types text as key presses ("\r" is Enter, "\b" Backspace).
void digitar(SessaoDigitacao& s, const QString& texto)
{
    for (QChar c : texto) {
        int key = c.toUpper().unicode();
        if (c == QLatin1Char('\r')) key = Qt::Key_Return;
        else if (c == QLatin1Char('\b')) key = Qt::Key_Backspace;
        s.tecla(key, QString(c));
    }
}

SessaoDigitacao::Licao licao(const QString& texto, bool numerico = false, bool abnt2 = false)
{
    SessaoDigitacao::Licao l;
    l.linhas = texto.split(QLatin1Char('\n'));
    l.numero = 1;
    l.numerico = numerico;
    l.abnt2 = abnt2;
    return l;
}

// A run of the lesson, started.
void iniciar(SessaoDigitacao& s, const QString& texto, bool numerico = false, bool abnt2 = false)
{
    s.preparar(licao(texto, numerico, abnt2));
    s.iniciar();
}

// A run of `erros` wrong, then `acertos` right keystrokes over `segundos` of the clock, on lines
// of 61 characters (typed without Enter), so that every keystroke typed counts once.
void correr(SessaoDigitacao& s, int acertos, int erros, int segundos, SessaoDigitacao::Licao l = licao({}))
{
    l.linhas = QStringList(20, QString(61, QLatin1Char('a')));
    s.preparar(l);
    s.iniciar();
    digitar(s, QString(erros, QLatin1Char('x')) + QString(acertos, QLatin1Char('a')));
    for (int i = 0; i < segundos; ++i) s.tique();
}

} // namespace

class TstSessao : public QObject {
    Q_OBJECT

private slots:
    void avaliacao_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<bool>("abnt2");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<int>("acertos");
        QTest::addColumn<int>("erros");
        QTest::addColumn<int>("linha");
        QTest::addColumn<QString>("copia");
        QTest::addColumn<QString>("dica");

        const QString l61 = QString(61, QLatin1Char('x'));
        QTest::newRow("maiúscula é erro") << kBasico << false << "ab" << "A" << 0 << 1 << 1 << "A" << "Digite: a";
        QTest::newRow("backspace é erro") << kBasico << false << "ab" << "a\b" << 1 << 1 << 1
                                          << QString::fromUtf8("a←") << "Digite: b";
        QTest::newRow("fim pede Enter") << kBasico << false << "ab\ncd" << "abc" << 2 << 1 << 1 << "abc"
                                        << "Digite: Enter";
        QTest::newRow("espaço") << kBasico << false << "a b" << "ax" << 1 << 1 << 1 << "ax"
                                << QString::fromUtf8("Digite: Espaço");
        QTest::newRow("Enter errado vira espaço") << kBasico << false << "ab" << "\r" << 0 << 1 << 1 << " "
                                                  << "Digite: a";
        QTest::newRow("61 sem Enter") << kBasico << false << l61 + "\nz" << l61 << 61 << 0 << 2 << "" << "";
        QTest::newRow("linha vazia") << kBasico << false << "a\n\nb" << "a\r\r" << 3 << 0 << 3 << "" << "";
        QTest::newRow("numérico: espaço com Enter") << kNumerico << false << "1 2" << "1\r" << 2 << 0 << 1
                                                    << "1 " << "";
        QTest::newRow("numérico: barra é erro") << kNumerico << false << "1 2" << "1 " << 1 << 1 << 1 << "1 "
                                                << "Digite: Enter";
        QTest::newRow("numérico: ponto vira vírgula") << kNumerico << false << "1,5" << "1." << 2 << 0 << 1
                                                      << "1," << "";
        QTest::newRow("numérico: sem vírgula para ponto") << kNumerico << false << "1.5" << "1." << 1 << 1 << 1
                                                          << "1," << "Digite: .";
        QTest::newRow("numérico ABNT2: ponto fica") << kNumerico << true << "1.5" << "1." << 2 << 0 << 1
                                                    << "1." << "";
        QTest::newRow("texto: espaço não é Enter") << QStringLiteral("Textos") << false << "a b" << "a\r" << 1 << 1
                                                   << 1 << "a " << QString::fromUtf8("Digite: Espaço");
    }

    void avaliacao()
    {
        QFETCH(QString, tipo);
        QFETCH(bool, abnt2);
        QFETCH(QString, texto);
        QFETCH(QString, teclas);
        SessaoDigitacao s;
        iniciar(s, texto, tipo == kNumerico, abnt2);
        digitar(s, teclas);
        QTEST(s.estado().Acertos, "acertos");
        QTEST(s.estado().Erros, "erros");
        QTEST(s.estado().Linha, "linha");
        QTEST(s.copiaVisivel(), "copia");
        QTEST(s.dica(), "dica");
    }

    // Only the last wrong character stays in the copy; the right one replaces it.
    void erroSubstituido()
    {
        SessaoDigitacao s;
        iniciar(s, QStringLiteral("abc"));
        digitar(s, QStringLiteral("xy"));
        QCOMPARE(s.estado().Copia, QStringLiteral("y"));
        QCOMPARE(s.estado().Erros, 2);
        digitar(s, QStringLiteral("a"));
        QCOMPARE(s.estado().Copia, QStringLiteral("a"));
        QCOMPARE(s.estado().Coluna, 2);
        QCOMPARE(s.estado().TeclaProx, QStringLiteral("b"));
    }

    // Outside a run keys are refused; a pause drops a waiting accent; the lines are a copy.
    void pausaELinhasProprias()
    {
        SessaoDigitacao s;
        SessaoDigitacao::Licao l = licao(QString::fromUtf8("áb"), false, true);
        l.numero = 2;
        s.preparar(l);
        l.linhas[0] = QStringLiteral("zz");
        digitar(s, QStringLiteral("z"));
        QCOMPARE(s.estado().Acertos + s.estado().Erros, 0);
        s.iniciar();
        s.tecla(Qt::Key_Dead_Acute, QString());
        s.pausar();
        s.iniciar();
        digitar(s, QStringLiteral("a"));
        QCOMPARE(s.estado().Erros, 1);
        QCOMPARE(s.estado().Copia, QStringLiteral("a"));
        QCOMPARE(s.linhas(), QStringList{QString::fromUtf8("áb")});
        QCOMPARE(s.estado().NumLicao, 2);
    }

    // The keystroke that ends the lesson stops the run; what follows is not evaluated.
    void fimParaAsTeclas()
    {
        SessaoDigitacao s;
        QSignalSpy fim(&s, &SessaoDigitacao::terminou);
        iniciar(s, QStringLiteral("a"));
        s.tecla(Qt::Key_A, QStringLiteral("a\rzz"));
        QCOMPARE(fim.count(), 1);
        QVERIFY(s.terminada());
        QVERIFY(!s.rodando());
        QCOMPARE(s.estado().Acertos, 2);
        QCOMPARE(s.estado().Erros, 0);
        s.preparar(SessaoDigitacao::Licao());  // no line: ends at once
        QCOMPARE(fim.count(), 2);
    }

    void acentosCompostos_data()
    {
        QTest::addColumn<int>("morta");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("abnt2");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("´a") << int(Qt::Key_Dead_Acute) << "a" << true << QString::fromUtf8("á");
        QTest::newRow("´A") << int(Qt::Key_Dead_Acute) << "A" << true << QString::fromUtf8("Á");
        QTest::newRow("~a") << int(Qt::Key_Dead_Tilde) << "a" << true << QString::fromUtf8("ã");
        QTest::newRow("`a") << int(Qt::Key_Dead_Grave) << "a" << true << QString::fromUtf8("à");
        QTest::newRow("¨u") << int(Qt::Key_Dead_Diaeresis) << "u" << true << QString::fromUtf8("ü");
        QTest::newRow("^e") << int(Qt::Key_Dead_Circumflex) << "e" << false << QString::fromUtf8("ê");
        QTest::newRow("'c EUA") << int(Qt::Key_Dead_Acute) << "c" << false << QString::fromUtf8("ç");
        QTest::newRow("´ espaço ABNT2") << int(Qt::Key_Dead_Acute) << " " << true << QString::fromUtf8("´");
        QTest::newRow("' espaço EUA") << int(Qt::Key_Dead_Acute) << " " << false << "'";
        QTest::newRow("\" espaço EUA") << int(Qt::Key_Dead_Diaeresis) << " " << false << "\"";
        QTest::newRow("~ espaço") << int(Qt::Key_Dead_Tilde) << " " << true << "~";
        QTest::newRow("´x sem letra") << int(Qt::Key_Dead_Acute) << "x" << true << QString::fromUtf8("´x");
    }

    void acentosCompostos()
    {
        QFETCH(int, morta);
        QFETCH(QString, texto);
        QFETCH(bool, abnt2);
        QTEST(SessaoDigitacao::comporAcento(morta, texto, abnt2), "resultado");
    }

    // Two dead keys in a row: the first accent is typed alone, the second waits.
    void duasTeclasMortas()
    {
        SessaoDigitacao s;
        iniciar(s, QString::fromUtf8("~ã"), false, true);
        s.tecla(Qt::Key_Dead_Tilde, QString());
        s.tecla(Qt::Key_Dead_Tilde, QString());
        QCOMPARE(s.estado().Acertos, 1);
        digitar(s, QStringLiteral("a"));
        QCOMPARE(s.estado().Acertos, 2);
        QCOMPARE(s.estado().Erros, 0);
    }

    void relogio_data()
    {
        QTest::addColumn<int>("acertos");
        QTest::addColumn<int>("erros");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("duracao");
        QTest::addColumn<int>("veloc");
        QTest::addColumn<int>("prec");
        QTest::newRow("vazio") << 0 << 0 << 1 << "00:01" << 0 << 0;
        QTest::newRow("1 em 1 s") << 1 << 0 << 1 << "00:01" << 59 << 100;
        QTest::newRow("90 em 45 s") << 90 << 0 << 45 << "00:45" << 119 << 100;
        QTest::newRow("100 em 30 s") << 100 << 0 << 30 << "00:30" << 200 << 100;
        QTest::newRow("55 e 5") << 55 << 5 << 30 << "00:30" << 110 << 91;
        QTest::newRow("hora") << 0 << 0 << 3600 << "1:00:00" << 0 << 0;
    }

    void relogio()
    {
        QFETCH(int, acertos);
        QFETCH(int, erros);
        QFETCH(int, ticks);
        SessaoDigitacao s;
        correr(s, acertos, erros, ticks);
        QTEST(s.duracao(), "duracao");
        QTEST(s.estado().VelAtual, "veloc");
        QTEST(s.estado().PrecAtual, "prec");
    }

    // The tick that completes a minute keeps the speed; the next one counts 61 seconds.
    void relogioNoMinuto()
    {
        SessaoDigitacao s;
        correr(s, 59, 0, 59);
        const int aos59 = s.estado().VelAtual;
        digitar(s, QString(141, QLatin1Char('a')));
        s.tique();
        QCOMPARE(s.duracao(), QStringLiteral("01:00"));
        QCOMPARE(s.estado().VelAtual, aos59);
        s.tique();
        QCOMPARE(s.estado().VelAtual, 196);
    }

    void aprovacao_data()
    {
        QTest::addColumn<int>("exigVel");
        QTest::addColumn<int>("exigPrec");
        QTest::addColumn<QString>("resultado");
        QTest::addColumn<bool>("velOk");
        QTest::addColumn<bool>("precOk");
        QTest::newRow("iguais aprovam") << 119 << 100 << "Aprovado" << true << true;
        QTest::newRow("só a velocidade") << 119 << 101 << "Reprovado" << true << false;
        QTest::newRow("só a precisão") << 120 << 100 << "Reprovado" << false << true;
    }

    void aprovacao()
    {
        QFETCH(int, exigVel);
        QFETCH(int, exigPrec);
        SessaoDigitacao::Licao l = licao({});
        l.maxLicoes = 60;
        l.exigVel = exigVel;
        l.exigPrec = exigPrec;
        SessaoDigitacao s;
        correr(s, 90, 0, 45, l);  // 119 teclas/min at 100 %
        const SessaoDigitacao::Fim f = s.fim(1);
        QTEST(f.resultado(), "resultado");
        QTEST(f.velocidadeOk, "velOk");
        QTEST(f.precisaoOk, "precOk");
        QCOMPARE(f.liberar, f.aprovado() ? 2 : 0);
        QCOMPARE(f.pontos, 11910);
    }

    void liberacao_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<int>("liberada");
        QTest::addColumn<int>("numero");
        QTest::addColumn<int>("liberar");
        QTest::newRow("5 passa a 6") << kBasico << 5 << 5 << 6;
        QTest::newRow("lição anterior não muda") << kBasico << 6 << 3 << 0;
        QTest::newRow("59 de 60 libera a 60") << kBasico << 59 << 59 << 60;
        QTest::newRow("última do Básico") << kBasico << 60 << 60 << 0;
        QTest::newRow("última do Avançado") << QString::fromUtf8("Avançado") << 40 << 40 << 0;
    }

    void liberacao()
    {
        QFETCH(QString, tipo);
        QFETCH(int, liberada);
        QFETCH(int, numero);
        SessaoDigitacao::Licao l = licao({});
        l.numero = numero;
        l.maxLicoes = dominio::tipoCurso(tipo.toStdString())->maxLicoes;
        SessaoDigitacao s;
        correr(s, 50, 0, 30, l);  // 100 teclas/min at 100 %
        QTEST(s.fim(liberada).liberar, "liberar");
    }

    // The full score: 700 teclas/min at 100 % in lesson 1 is 70,010 points, not wrapped.
    void pontuacaoSemVolta()
    {
        SessaoDigitacao s;
        correr(s, 350, 0, 30);
        QCOMPARE(s.estado().VelAtual, 700);
        QCOMPARE(s.fim(0).pontos, 70010);
    }
};

QTEST_MAIN(TstSessao)
#include "tst_sessao.moc"
