// The gated loudness meter that evens out the songs and the wave sounds, measured on the test
// signals the broadcasters' loudness recommendation publishes (1 kHz tones, with the gates
// they check), at the rates the songs and the sounds use, and on a sound shorter than a block.

#include <QtTest>

#include "Sonoridade.h"

#include <cmath>

class TstSonoridade : public QObject {
    Q_OBJECT

private slots:
    void tons_data();
    void tons();
    void silencioNaoTemSonoridade();
};

namespace {

struct Trecho {
    double segundos;
    double dbfs;  // peak of the tone on each channel
};

// A 1 kHz tone in stretches of different levels, on `canais` equal channels.
std::vector<std::vector<float>> tom(const QList<Trecho>& trechos, int taxa, int canais)
{
    std::vector<float> amostras;
    for (const Trecho& t : trechos) {
        const double amplitude = std::pow(10.0, t.dbfs / 20.0);
        const auto n = std::size_t(std::lround(t.segundos * taxa));
        for (std::size_t i = 0; i < n; ++i)
            amostras.push_back(float(amplitude * std::sin(2 * M_PI * 1000.0 * double(amostras.size()) / taxa)));
    }
    return std::vector<std::vector<float>>(std::size_t(canais), amostras);
}

} // namespace

Q_DECLARE_METATYPE(QList<Trecho>)

void TstSonoridade::tons_data()
{
    QTest::addColumn<QList<Trecho>>("trechos");
    QTest::addColumn<int>("taxa");
    QTest::addColumn<int>("canais");
    QTest::addColumn<double>("lufs");

    QTest::newRow("estéreo a -23 dBFS") << QList<Trecho>{{20, -23}} << 48000 << 2 << -23.0;
    QTest::newRow("estéreo a -33 dBFS") << QList<Trecho>{{20, -33}} << 48000 << 2 << -33.0;
    // The quieter stretches lie under the relative gate and do not count.
    QTest::newRow("porta relativa") << QList<Trecho>{{10, -36}, {60, -23}, {10, -36}} << 48000 << 2 << -23.0;
    QTest::newRow("porta absoluta") << QList<Trecho>{{10, -72}, {10, -36}, {60, -23}, {10, -36}, {10, -72}} << 48000
                                    << 2 << -23.0;
    QTest::newRow("trechos acima da porta") << QList<Trecho>{{20, -26}, {20.1, -20}, {20, -26}} << 48000 << 2 << -23.0;
    QTest::newRow("a taxa das músicas") << QList<Trecho>{{20, -23}} << 44100 << 2 << -23.0;
    // One channel weighs as one of the two: 3 dB less than the same tone on both sides.
    QTest::newRow("mono, a taxa dos sons") << QList<Trecho>{{5, -20}} << 11025 << 1 << -23.0;
    // 100 ms of tone in a block of 400 ms: a quarter of the energy.
    QTest::newRow("som mais curto que um bloco") << QList<Trecho>{{0.1, -20}} << 11025 << 1 << -29.0;
}

void TstSonoridade::tons()
{
    QFETCH(QList<Trecho>, trechos);
    QFETCH(int, taxa);
    QFETCH(int, canais);
    QFETCH(double, lufs);
    const double medida = niveis::sonoridadeIntegrada(tom(trechos, taxa, canais), taxa);
    QVERIFY2(std::fabs(medida - lufs) <= 0.1, qPrintable(QString::number(medida, 'f', 2)));
}

void TstSonoridade::silencioNaoTemSonoridade()
{
    QCOMPARE(niveis::sonoridadeIntegrada(tom({{3, -90}}, 48000, 2), 48000), niveis::kSilencio);
    QCOMPARE(niveis::sonoridadeIntegrada({}, 48000), niveis::kSilencio);
}

QTEST_APPLESS_MAIN(TstSonoridade)
#include "tst_sonoridade.moc"
