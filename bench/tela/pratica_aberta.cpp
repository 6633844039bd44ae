// The practice window in a lesson, for the keystroke-to-screen benchmark (see medir-tecla-tela.sh):
//   pratica_aberta [keystrokes (500)] [abnt2|eua]
// Opens a shipped "Textos" lesson long enough, with the keyboard guide shown, starts the run and
// prints the window's X id, then the keys of the first keystrokes, one keystroke a line (keysym
// names, the dead key first), and waits to be typed into.
#include "MundoPratica.h"
#include "TeclasReais.h"

#include "data/Data1.h"
#include "practice/Digitacao.h"
#include "practice/SessaoDigitacao.h"
#include "ui/Mensagens.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace {

// The first shipped lesson of the course with at least the given number of characters.
QString licaoLonga(bool abnt2, int caracteres)
{
    xbase::Table t;
    t.open(TARVEX_DATA_DIR "/Dados", abnt2 ? "LicaoB.dbf" : "LicaoA.dbf", true);
    for (t.first(); !t.eof(); t.next()) {
        const QString texto = QString::fromStdString(t.asString("TEXTO"));
        if (QString::fromStdString(t.asString("TIPO")).trimmed() == QString::fromUtf8("Textos")
            && texto.size() >= caracteres)
            return texto;
    }
    qFatal("pratica_aberta: nenhuma lição de Textos com %d caracteres", caracteres);
}

// What the student types, Enter included, as the run lays out the lines.
QString textoDigitado(const QStringList& linhas, bool abnt2)
{
    SessaoDigitacao s;
    SessaoDigitacao::Licao licao;
    licao.linhas = linhas;
    licao.numero = 1;
    licao.abnt2 = abnt2;
    s.preparar(licao);
    s.iniciar();
    QString tudo;
    while (!s.terminada()) {
        const QString linha = s.estado().LinhaAtual;
        tudo += linha;
        for (QChar c : linha) s.caractere(c);
    }
    return tudo;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int teclas = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 500;
    const bool abnt2 = argc <= 2 || QString::fromLocal8Bit(argv[2]) != QLatin1String("eua");
    ui::definirRespondedor([](ui::TipoMensagem, const QString& t) {
        std::fprintf(stderr, "mensagem: %s\n", qPrintable(t));
        return false;
    });

    MundoPratica mundo;
    mundo.dm->Abnt2Keyboard = abnt2;
    const QString textos = QString::fromUtf8("Textos");
    mundo.aluno(QStringLiteral("ANA"), textos, 1, true);
    mundo.licao(textos, 1, licaoLonga(abnt2, teclas + 20));

    TFDigitacao w;
    w.show();
    w.activateWindow();
    // Wayland has no activation on request: the compositor gives a new window the keyboard.
    if (!QTest::qWaitFor([&w] { return w.isActiveWindow(); })) qFatal("pratica_aberta: a janela não ficou ativa");
    w.bIniciar->click();

    std::printf("%llu\n", static_cast<unsigned long long>(w.winId()));
    const QList<QStringList> toques = teclasDoTexto(textoDigitado(w.sessao->linhas(), abnt2).left(teclas), abnt2);
    for (const QStringList& t : toques) std::printf("%s\n", qPrintable(t.join(QLatin1Char(' '))));
    std::fflush(stdout);
    return app.exec();
}
