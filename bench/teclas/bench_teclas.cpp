// Times the key figures over a table of 10,000 lessons of one student (about 40 characters
// each, 400,000 rows): the reading and summing the "Teclas" window does, the same with the
// window drawn (offscreen), the write of one lesson's rows at its end, and one keystroke's
// record.
#include "domain/ArquivoTeclas.h"
#include "domain/EstatisticaTeclas.h"
#include "platform/Diretorios.h"
#include "results/Teclas.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLicoes = 10000;
const std::u32string kCaracteres = U"asdfgçlkjhqwertyuiopzxcvbnmáéíóúàãõâê ,.\r";

// One lesson's figures: every character some times, a few misses.
dominio::EstatisticaTeclas umaLicao(int semente)
{
    dominio::EstatisticaTeclas e;
    long long ms = 0;
    e.retomar(0);
    for (int i = 0; i < 600; ++i) {
        const char32_t c = kCaracteres[std::size_t((i * 7 + semente) % int(kCaracteres.size()))];
        ms += 180 + (i * 13 + semente) % 90;
        // Misses: the cedilla as c, the grave for the acute, now and then a neighbour key.
        char32_t digitada = c;
        if (c == U'ç' && (i + semente) % 3 == 0) digitada = U'c';
        else if (c == U'á' && (i + semente) % 4 == 0) digitada = U'à';
        else if (c == U'ã' && (i + semente) % 5 == 0) digitada = U'â';
        else if ((i + semente) % 23 == 0) digitada = U'x';
        e.registrar(c, digitada, ms);
    }
    return e;
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double medir(int vezes, F f)
{
    std::vector<double> ms;
    for (int i = 0; i < vezes; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return mediana(ms);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    plataforma::definirDiretorioTrabalho(dir.path());
    // "--mostrar": the window over a few lessons, left open to be looked at.
    if (argc > 1 && QByteArray(argv[1]) == "--mostrar") {
        for (int i = 0; i < 20; ++i) dominio::gravarTeclas(d, "ANA", "Básico", 1 + i, 2026, 12, 8, umaLicao(i));
        auto* t = new TfTeclas;
        t->mostrar(QStringLiteral("ANA"), QString::fromUtf8("Básico"), 1, 20, true);
        return t->exec();
    }
    const int vezes = argc > 1 ? std::max(1, atoi(argv[1])) : 7;

    QElapsedTimer montagem;
    montagem.start();
    const dominio::EstatisticaTeclas licao = umaLicao(1);
    for (int i = 0; i < kLicoes; ++i) dominio::gravarTeclas(d, "ANA", "Básico", 1 + i % 40, 2026, 12, 8, licao);
    dominio::gravarTeclas(d, "BRUNO", "Básico", 1, 2026, 12, 8, licao);
    std::printf("table: %d lessons, %zu characters per lesson, built in %.1f s\n", kLicoes, licao.figuras().size(),
                double(montagem.elapsed()) / 1000.0);

    const double leitura = medir(vezes, [&] {
        const dominio::EstatisticaTeclas e = dominio::lerTeclas(d, "ANA", "Básico", 1, 100);
        if (e.maisFracas(12, 5).empty()) std::puts("?");
    });
    std::printf("Teclas figures (read + sum + weakest): median %.1f ms (limit 100 ms)\n", leitura);

    const double janela = medir(vezes, [&] {
        auto* t = new TfTeclas;
        t->mostrar(QStringLiteral("ANA"), QString::fromUtf8("Básico"), 1, 100, true);
        delete t;
    });
    std::printf("Teclas window built and filled: median %.1f ms\n", janela);

    const double fim = medir(vezes, [&] { dominio::gravarTeclas(d, "ANA", "Básico", 5, 2026, 12, 8, licao); });
    std::printf("end of lesson (write one lesson of %zu characters): median %.2f ms (limit 20 ms)\n", licao.figuras().size(), fim);

    dominio::EstatisticaTeclas e;
    const int toques = 1000000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < toques; ++i) e.registrar(kCaracteres[std::size_t(i % 40)], U'a', i);
    std::printf("one keystroke recorded: %.0f ns\n", double(t.nsecsElapsed()) / toques);
    return 0;
}
