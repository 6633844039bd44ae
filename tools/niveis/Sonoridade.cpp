#include "Sonoridade.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace niveis {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPortaAbsoluta = -70.0;  // LUFS
constexpr double kPortaRelativa = -10.0;  // LU under the loudness of the blocks above the absolute gate

struct Biquad {
    double b0, b1, b2, a1, a2;
};

// The two stages of the K-weighting (a shelf that lifts the highs by 4 dB as the head does,
// then a high-pass under 40 Hz), made for any sample rate from the analogue filters the
// standard's 48 kHz coefficients come from.
Biquad prateleira(int taxa)
{
    const double f0 = 1681.974450955533, ganhoDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(kPi * f0 / taxa);
    const double vh = std::pow(10.0, ganhoDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad passaAltas(int taxa)
{
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(kPi * f0 / taxa);
    const double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

void filtrar(std::vector<double>& x, const Biquad& f)
{
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (double& v : x) {
        const double y = f.b0 * v + f.b1 * x1 + f.b2 * x2 - f.a1 * y1 - f.a2 * y2;
        x2 = x1;
        x1 = v;
        y2 = y1;
        y1 = y;
        v = y;
    }
}

double lufs(double energia) { return energia > 0 ? -0.691 + 10.0 * std::log10(energia) : kSilencio; }

} // namespace

double sonoridadeIntegrada(const std::vector<std::vector<float>>& canais, int taxa)
{
    if (canais.empty() || taxa <= 0) return kSilencio;
    const std::size_t bloco = std::size_t(std::lround(0.4 * taxa));
    std::size_t amostras = 0;
    for (const auto& c : canais) amostras = std::max(amostras, c.size());
    amostras = std::max(amostras, bloco);

    // Running sums of the K-weighted squares of all channels: a block's energy is a difference.
    std::vector<double> acumulado(amostras + 1, 0.0);
    for (const auto& canal : canais) {
        std::vector<double> x(canal.begin(), canal.end());
        x.resize(amostras, 0.0);
        filtrar(x, prateleira(taxa));
        filtrar(x, passaAltas(taxa));
        double soma = 0;
        for (std::size_t i = 0; i < amostras; ++i) {
            soma += x[i] * x[i];
            acumulado[i + 1] += soma;
        }
    }
    std::vector<double> energias;
    for (std::size_t j = 0;; ++j) {
        const std::size_t inicio = std::size_t(std::llround(double(j) * 0.1 * taxa));
        if (inicio + bloco > amostras) break;
        energias.push_back((acumulado[inicio + bloco] - acumulado[inicio]) / double(bloco));
    }

    auto mediaAcima = [&](double porta) {
        double soma = 0;
        std::size_t n = 0;
        for (double e : energias)
            if (lufs(e) > porta) {
                soma += e;
                ++n;
            }
        return n ? soma / double(n) : 0.0;
    };
    const double absoluta = mediaAcima(kPortaAbsoluta);
    if (absoluta <= 0) return kSilencio;
    return lufs(mediaAcima(std::max(kPortaAbsoluta, lufs(absoluta) + kPortaRelativa)));
}

double mediana(std::vector<double> valores)
{
    if (valores.empty()) return 0;
    std::sort(valores.begin(), valores.end());
    const std::size_t meio = valores.size() / 2;
    return valores.size() % 2 ? valores[meio] : (valores[meio - 1] + valores[meio]) / 2;
}

} // namespace niveis
