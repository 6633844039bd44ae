// Time from a keystroke's phrase (the practice cuts off what is being said and says the next
// one) to the moment the speech service begins to say it, and the time the call itself takes
// on the window's thread: median and 95th percentile.
#include "VozPrivada.h"
#include "platform/Voz.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

void resumo(const char* nome, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    auto quantil = [&](double q) { return v[std::min(v.size() - 1, size_t(q * v.size()))]; };
    std::printf("%s: mediana %.2f ms, p95 %.2f ms, máximo %.2f ms\n", nome, quantil(0.5), quantil(0.95), v.back());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rodadas = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    QTemporaryDir dir;
    if (!prepararVozPrivada(dir.path())) return 1;
    plataforma::VozSpeechd voz;
    if (!voz.disponivel()) {
        std::printf("sem voz: %s\n", qPrintable(voz.motivo()));
        return 1;
    }
    QElapsedTimer relogio;
    std::atomic<qint64> comeco{-1};
    voz.aoComecar([&] { comeco = relogio.nsecsElapsed(); });
    const QStringList frases = {QStringLiteral("errou: esperado a"), QStringLiteral("acento agudo, depois e"),
                                QStringLiteral("espaço"), QStringLiteral("F maiúsculo")};
    voz.falar(QStringLiteral("começando"));  // the service's modules start at the first phrase
    QThread::msleep(500);
    std::vector<double> ateComecar, chamada;
    for (int i = 0; i < rodadas; ++i) {
        comeco = -1;
        relogio.start();
        voz.falar(frases[i % frases.size()]);
        chamada.push_back(relogio.nsecsElapsed() / 1e6);
        while (comeco < 0 && relogio.elapsed() < 5000) QThread::usleep(100);
        if (comeco >= 0) ateComecar.push_back(comeco / 1e6);
        QThread::msleep(30);  // the next keystroke comes while this phrase is being said
    }
    std::printf("rodadas %d, começos notificados %zu\n", rodadas, ateComecar.size());
    resumo("chamada no programa (cancelar e falar)", chamada);
    if (!ateComecar.empty()) resumo("da tecla ao começo da fala", ateComecar);
    return ateComecar.size() == size_t(rodadas) ? 0 : 1;
}
