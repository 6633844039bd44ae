// soundgen: synthesises the program's three wave sounds.
//
//   soundgen <output folder>
//
// Writes clique.wav (button click), erro.wav (wrong keystroke) and fanfarra.wav (new record).
// Every sound is 8-bit unsigned mono PCM with a fixed number of samples, made of sine partials
// shaped by envelopes, then scaled so that the loudest sample stays below full scale.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Som {
    int taxa;                  // samples per second
    std::vector<double> amostras;
    Som(int taxaAmostras, int quantidade) : taxa(taxaAmostras), amostras(quantidade, 0.0) {}
};

// A tone made of harmonics: amplitudes[k] belongs to harmonic k + 1.
struct Timbre {
    std::vector<double> amplitudes;
    double brilhoNoAtaque = 0.0;  // extra weight of upper harmonics during the attack (brass)
    double vibrato = 0.0;         // depth in semitones
};

double frequenciaDaNota(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Attack, decay to a sustain level, hold, release: a value from 0 to 1 at time t of a note.
double envelope(double t, double duracao, double ataque, double sustentacao, double decaimento,
                double soltura) {
    if (t < 0.0 || t > duracao + soltura) return 0.0;
    double nivel;
    if (t < ataque) {
        nivel = t / ataque;
    } else {
        double depois = t - ataque;
        nivel = sustentacao + (1.0 - sustentacao) * std::exp(-depois / decaimento);
    }
    if (t > duracao) nivel *= 1.0 - (t - duracao) / soltura;
    return nivel;
}

void somarNota(Som& som, double inicio, double duracao, double frequencia, double volume,
               const Timbre& timbre, double ataque, double sustentacao, double decaimento,
               double soltura) {
    const int primeira = static_cast<int>(inicio * som.taxa);
    const int ultima = std::min<int>(som.amostras.size(),
                                     static_cast<int>((inicio + duracao + soltura) * som.taxa) + 1);
    double fase = 0.0;
    for (int i = std::max(0, primeira); i < ultima; ++i) {
        const double t = static_cast<double>(i) / som.taxa - inicio;
        const double env = envelope(t, duracao, ataque, sustentacao, decaimento, soltura);
        const double desvio = timbre.vibrato * std::sin(2 * kPi * 5.5 * t) * std::min(1.0, t / 0.3);
        fase += 2 * kPi * frequencia * std::pow(2.0, desvio / 12.0) / som.taxa;
        const double brilho = 1.0 + timbre.brilhoNoAtaque * std::exp(-t / 0.06);
        double valor = 0.0;
        for (size_t k = 0; k < timbre.amplitudes.size(); ++k) {
            const double harmonico = static_cast<double>(k + 1);
            if (frequencia * harmonico > som.taxa * 0.45) break;  // keep below Nyquist
            const double peso = k == 0 ? 1.0 : std::pow(brilho, std::min(3.0, harmonico - 1) / 3.0);
            valor += timbre.amplitudes[k] * peso * std::sin(fase * harmonico);
        }
        som.amostras[i] += volume * env * valor;
    }
}

// A drum-like hit: a sine whose pitch falls quickly, with a short noise burst.
void somarBatida(Som& som, double inicio, double frequencia, double volume, double decaimento,
                 double ruido, std::mt19937& gerador) {
    std::uniform_real_distribution<double> aleatorio(-1.0, 1.0);
    const int primeira = static_cast<int>(inicio * som.taxa);
    const int ultima = std::min<int>(som.amostras.size(), primeira + static_cast<int>(8 * decaimento * som.taxa));
    double fase = 0.0;
    for (int i = std::max(0, primeira); i < ultima; ++i) {
        const double t = static_cast<double>(i - primeira) / som.taxa;
        const double f = frequencia * (1.0 + 0.5 * std::exp(-t / 0.03));
        fase += 2 * kPi * f / som.taxa;
        const double env = std::exp(-t / decaimento) * std::min(1.0, t / 0.002);
        som.amostras[i] += volume * env * (std::sin(fase) + ruido * aleatorio(gerador) * std::exp(-t / 0.02));
    }
}

// Scales the sound so that its peak is `pico` of full scale, with a short fade at both ends.
void normalizar(Som& som, double pico) {
    double maior = 0.0;
    for (double a : som.amostras) maior = std::max(maior, std::abs(a));
    if (maior <= 0.0) return;
    const double ganho = pico / maior;
    const int borda = std::min<int>(som.amostras.size() / 4, som.taxa / 200);
    for (size_t i = 0; i < som.amostras.size(); ++i) {
        double a = som.amostras[i] * ganho;
        const size_t resto = som.amostras.size() - 1 - i;
        if (static_cast<int>(resto) < borda) a *= static_cast<double>(resto) / borda;
        som.amostras[i] = a;
    }
}

void escreverUint32(std::ofstream& saida, uint32_t valor) {
    for (int i = 0; i < 4; ++i) saida.put(static_cast<char>((valor >> (8 * i)) & 0xFF));
}
void escreverUint16(std::ofstream& saida, uint16_t valor) {
    saida.put(static_cast<char>(valor & 0xFF));
    saida.put(static_cast<char>(valor >> 8));
}

// RIFF/WAVE, PCM, 8-bit unsigned mono. An odd data chunk gets the pad byte RIFF asks for.
bool gravarWav(const Som& som, const std::string& caminho) {
    std::ofstream saida(caminho, std::ios::binary);
    if (!saida) return false;
    const uint32_t tamanhoDados = static_cast<uint32_t>(som.amostras.size());
    const uint32_t enchimento = tamanhoDados % 2;
    saida.write("RIFF", 4);
    escreverUint32(saida, 4 + (8 + 16) + (8 + tamanhoDados + enchimento));
    saida.write("WAVE", 4);
    saida.write("fmt ", 4);
    escreverUint32(saida, 16);
    escreverUint16(saida, 1);  // PCM
    escreverUint16(saida, 1);  // mono
    escreverUint32(saida, static_cast<uint32_t>(som.taxa));
    escreverUint32(saida, static_cast<uint32_t>(som.taxa));  // bytes per second
    escreverUint16(saida, 1);  // bytes per sample frame
    escreverUint16(saida, 8);  // bits per sample
    saida.write("data", 4);
    escreverUint32(saida, tamanhoDados);
    std::mt19937 gerador(7);
    std::uniform_real_distribution<double> dither(-0.5, 0.5);
    for (double a : som.amostras) {
        const double nivel = 128.0 + a * 127.0 + dither(gerador) + dither(gerador);
        saida.put(static_cast<char>(std::clamp(static_cast<int>(std::lround(nivel)), 1, 255)));
    }
    if (enchimento) saida.put(static_cast<char>(128));
    return static_cast<bool>(saida);
}

// A soft wooden "tock" with a bright tick on top: short, round, not harsh.
Som fazerClique() {
    Som som(11025, 4795);
    const Timbre madeira{{1.0, 0.0, 0.35, 0.0, 0.12}, 0.0, 0.0};
    somarNota(som, 0.000, 0.01, 1046.5, 0.55, madeira, 0.0015, 0.0, 0.035, 0.06);
    somarNota(som, 0.000, 0.01, 2093.0, 0.20, Timbre{{1.0}, 0.0, 0.0}, 0.0008, 0.0, 0.012, 0.02);
    somarNota(som, 0.045, 0.01, 1568.0, 0.30, madeira, 0.0015, 0.0, 0.030, 0.05);
    normalizar(som, 0.96);
    return som;
}

// Two short falling tones with a reedy timbre: clearly "wrong", but not shrill.
Som fazerErro() {
    Som som(11025, 3840);
    const Timbre palheta{{1.0, 0.05, 0.45, 0.03, 0.25, 0.02, 0.12}, 0.0, 0.0};
    somarNota(som, 0.000, 0.10, 311.1, 0.6, palheta, 0.006, 0.35, 0.05, 0.03);
    somarNota(som, 0.150, 0.14, 233.1, 0.6, palheta, 0.006, 0.35, 0.06, 0.05);
    // Held tones sound much louder than the click at the same peak: these fade quickly and their
    // peak stays low, so that the three sounds are heard about equally loud (tools/niveis
    // measures their gated loudness).
    normalizar(som, 0.40);
    return som;
}

// Brass fanfare in C: a triplet call, an answer, then a held chord over a timpani roll.
Som fazerFanfarra() {
    Som som(22050, 152832);
    const Timbre metal{{1.0, 0.7, 0.5, 0.35, 0.25, 0.16, 0.1, 0.06}, 1.4, 0.12};
    const Timbre trompa{{1.0, 0.45, 0.22, 0.1, 0.05}, 0.6, 0.08};
    struct Nota { double inicio, duracao; int midi; double volume; };
    const Nota chamada[] = {
        {0.00, 0.13, 67, 0.8}, {0.17, 0.13, 67, 0.8}, {0.33, 0.13, 67, 0.8}, {0.50, 0.80, 72, 1.0},
        {1.50, 0.13, 72, 0.8}, {1.67, 0.13, 72, 0.8}, {1.83, 0.13, 74, 0.8}, {2.00, 0.40, 76, 1.0},
        {2.50, 0.40, 74, 0.9}, {3.00, 3.30, 79, 1.0},
    };
    const Nota resposta[] = {
        {0.00, 0.13, 64, 0.6}, {0.17, 0.13, 64, 0.6}, {0.33, 0.13, 64, 0.6}, {0.50, 0.80, 67, 0.7},
        {1.50, 0.13, 67, 0.6}, {1.67, 0.13, 67, 0.6}, {1.83, 0.13, 71, 0.6}, {2.00, 0.40, 72, 0.7},
        {2.50, 0.40, 71, 0.7}, {3.00, 3.30, 76, 0.7},
    };
    for (const Nota& n : chamada)
        somarNota(som, n.inicio, n.duracao, frequenciaDaNota(n.midi), 0.30 * n.volume, metal, 0.025, 0.75, 0.15, 0.25);
    for (const Nota& n : resposta)
        somarNota(som, n.inicio, n.duracao, frequenciaDaNota(n.midi), 0.22 * n.volume, trompa, 0.03, 0.8, 0.2, 0.25);
    // The final chord, horns low and warm under the trumpets.
    for (int midi : {48, 55, 60, 64})
        somarNota(som, 3.00, 3.30, frequenciaDaNota(midi), 0.16, trompa, 0.08, 0.85, 0.4, 0.5);
    std::mt19937 gerador(11);
    for (double t : {0.0, 0.5, 2.0, 3.0}) somarBatida(som, t, 65.4, 0.45, 0.25, 0.25, gerador);
    for (double t = 5.2; t < 6.25; t += 0.07) somarBatida(som, t, 65.4, 0.12 + 0.1 * (t - 5.2), 0.12, 0.2, gerador);
    somarBatida(som, 6.30, 49.0, 0.55, 0.2, 0.3, gerador);
    // A long, full sound: its peak lies well under full scale, as loud as the click to the ear.
    normalizar(som, 0.64);
    return som;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: soundgen <pasta de saída>\n");
        return 2;
    }
    const std::string pasta = argv[1];
    const struct { const char* nome; Som som; } sons[] = {
        {"clique.wav", fazerClique()},
        {"erro.wav", fazerErro()},
        {"fanfarra.wav", fazerFanfarra()},
    };
    for (const auto& s : sons) {
        if (!gravarWav(s.som, pasta + "/" + s.nome)) {
            std::fprintf(stderr, "soundgen: não foi possível gravar %s/%s\n", pasta.c_str(), s.nome);
            return 1;
        }
    }
    return 0;
}
