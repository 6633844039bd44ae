// Types a 1,000-keystroke lesson into the practice window through key events, with the
// keyboard guide shown, and prints the time each keystroke takes to handle, the repaint of
// the window included: median, 99th percentile and maximum. With --voz the student's voice is
// on (a private speech-dispatcher with a null audio output); run under medir-acessivel.sh the
// screen reader's bus is listening too.
#include "MundoPratica.h"
#include "VozPrivada.h"

#include "data/Data1.h"
#include "domain/AjudasAluno.h"
#include "platform/Voz.h"
#include "practice/Digitacao.h"

#include <QAccessible>
#include <QTemporaryDir>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Counts the paint events, to show that the measurement includes the repaint.
class ContadorPintura : public QObject {
public:
    int pinturas = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++pinturas;
        return false;
    }
};

// Lines of words, up to 60 characters, until the keystrokes (characters and one Enter per
// line) reach the total.
QStringList licao(int teclas)
{
    const QStringList palavras = QString::fromUtf8(
        "o rato roeu a roupa do rei de roma e a rainha com raiva resolveu remendar "
        "quem com ferro fere com ferro será ferido água mole em pedra dura tanto bate até que fura "
        "Devagar se vai ao longe Cada macaco no seu galho mais vale um pássaro na mão").split(QLatin1Char(' '));
    QStringList linhas;
    int total = 0, i = 0;
    while (teclas - total > 61) {
        QString linha = palavras[i++ % palavras.size()];
        while (linha.size() + 1 + palavras[i % palavras.size()].size() <= 60)
            linha += QLatin1Char(' ') + palavras[i++ % palavras.size()];
        linhas << linha;
        total += linha.size() + 1;
    }
    const int resto = teclas - total;
    if (resto == 1) {
        linhas.last() += QLatin1Char('s');  // an empty last line would not be a line
    } else {
        QString ultima;
        while (ultima.size() < resto - 1) ultima += palavras[i++ % palavras.size()] + QLatin1Char(' ');
        ultima = ultima.left(resto - 1);
        if (ultima.endsWith(QLatin1Char(' '))) ultima[ultima.size() - 1] = QLatin1Char('a');
        linhas << ultima;
    }
    return linhas;
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void resumo(const char* nome, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    auto quantil = [&](double q) { return v[std::min(v.size() - 1, size_t(q * v.size()))]; };
    std::printf("%s: mediana %.3f ms, p99 %.3f ms, máximo %.3f ms\n", nome, quantil(0.5), quantil(0.99), v.back());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool abnt2 = !app.arguments().contains(QStringLiteral("--eua"));

    MundoPratica mundo;
    mundo.dm->Abnt2Keyboard = abnt2;
    mundo.aluno(QStringLiteral("BENCH"), QString::fromUtf8("Textos"), 1, true);
    const QStringList linhas = licao(1000);
    int previstas = 0;
    for (const QString& l : linhas) previstas += l.size() + 1;
    std::printf("linhas %lld, teclas previstas %d\n", (long long)linhas.size(), previstas);
    mundo.licao(QStringLiteral("Textos"), 1, linhas.join(QLatin1Char('\n')));
    QTemporaryDir pastaVoz;
    if (app.arguments().contains(QStringLiteral("--voz"))) {
        prepararVozPrivada(pastaVoz.path());
        dominio::gravarAjudas(mundo.pasta().toStdString(), "BENCH", dominio::AjudasAluno{true});
    }

    TFDigitacao w;
    w.show();
    w.activateWindow();
    app.processEvents();
    w.bIniciar->click();
    app.processEvents();

    ContadorPintura contador;
    app.installEventFilter(&contador);
    std::vector<double> tempos, cpu;
    tempos.reserve(1000);
    cpu.reserve(1000);
    QElapsedTimer relogio;
    for (const QString& linha : linhas) {
        for (QChar c : linha + QLatin1Char('\r')) {
            const int key = c == QLatin1Char('\r') ? int(Qt::Key_Return) : int(c.toUpper().unicode());
            const Qt::KeyboardModifiers mods = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
            const double cpu0 = cpuMs();
            relogio.start();
            QKeyEvent press(QEvent::KeyPress, key, mods, QString(c));
            QApplication::sendEvent(w.txtLetra, &press);
            QKeyEvent release(QEvent::KeyRelease, key, mods, QString(c));
            QApplication::sendEvent(w.txtLetra, &release);
            app.processEvents();  // the repaint of the copy, the status bar and the guide
            tempos.push_back(relogio.nsecsElapsed() / 1e6);
            cpu.push_back(cpuMs() - cpu0);
            if (qEnvironmentVariableIsSet("BENCH_DETALHE") && w.sessao->estado().Acertos + w.sessao->estado().Erros != int(tempos.size()))
                std::printf("  tecla %zu '%s' sem efeito\n", tempos.size(), qPrintable(QString(c)));
            if (qEnvironmentVariableIsSet("BENCH_DETALHE") && tempos.back() > 1.0)
                std::printf("  tecla %zu '%s': %.3f ms\n", tempos.size(), qPrintable(QString(c)), tempos.back());
        }
    }
    app.removeEventFilter(&contador);

    const int acertos = w.sessao->estado().Acertos, erros = w.sessao->estado().Erros;
    std::printf("plataforma %s, teclado %s, guia ligado\n", qPrintable(QGuiApplication::platformName()),
                abnt2 ? "ABNT2" : "EUA");
    std::printf("leitor de tela ouvindo: %s; voz: %s\n", QAccessible::isActive() ? "sim" : "não",
                !plataforma::falando()            ? "desligada"
                : plataforma::voz().disponivel() ? "ligada"
                                                  : qPrintable(plataforma::voz().motivo()));
    std::printf("teclas %zu (acertos %d, erros %d), pinturas %d (%.1f por tecla)\n", tempos.size(), acertos,
                erros, contador.pinturas, double(contador.pinturas) / tempos.size());
    // Wall time includes the moments the system gives the processor to other programs;
    // processor time is the window's own work.
    resumo("por tecla, tempo de relógio", tempos);
    resumo("por tecla, tempo de processador", cpu);
    return acertos == int(tempos.size()) && erros == 0 ? 0 : 1;
}
