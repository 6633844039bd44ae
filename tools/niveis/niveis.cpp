// niveis: how loud each background song and each wave sound is, so the music stays balanced.
//
//   niveis [--fonte arquivo.sf2] musica.MID... som.wav...
//
// A song is rendered without an audio device, at 44100 samples per second, three times:
// whole, its melody alone (channel 1) and its accompaniment alone (every other channel). For
// each it prints the RMS level of the whole song in dB relative to full scale and the peak.
// A wave sound gets the RMS of the whole file, its peak and the RMS of its loudest 100 ms. The exit status is 1 when two
// songs differ by more than 4 dB (each within ±2 dB of the middle of the range) or when the
// accompaniment of a song lies more than 10 dB under its melody (it is then not heard).
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kTaxa = 44100;
constexpr int kCanalMelodia = 0;
constexpr double kFaixaMusicas = 4.0;          // dB between the quietest and the loudest song
constexpr double kAcompanhamentoAbaixo = 10.0; // dB the accompaniment may lie under the melody

const char* kFontePadrao = "/usr/share/sounds/sf2/TimGM6mb.sf2";

struct Nivel {
    double rms = -200, pico = -200;  // dBFS
};

double emDb(double amplitude) { return amplitude > 0 ? 20.0 * std::log10(amplitude) : -200.0; }

Nivel medir(const std::vector<float>& amostras) {
    double soma = 0, maior = 0;
    for (float a : amostras) {
        soma += double(a) * a;
        maior = std::max(maior, double(std::fabs(a)));
    }
    Nivel n;
    if (!amostras.empty()) n.rms = emDb(std::sqrt(soma / double(amostras.size())));
    n.pico = emDb(maior);
    return n;
}

// Which channels a rendering lets through.
enum class Parte { Tudo, Melodia, Acompanhamento };

struct Filtro {
    fluid_synth_t* synth;
    Parte parte;
};

int filtrarEvento(void* dados, fluid_midi_event_t* evento) {
    const auto* f = static_cast<Filtro*>(dados);
    const int canal = fluid_midi_event_get_channel(evento);
    const int tipo = fluid_midi_event_get_type(evento);
    const bool nota = tipo == 0x90;
    if (nota && f->parte == Parte::Melodia && canal != kCanalMelodia) return FLUID_OK;
    if (nota && f->parte == Parte::Acompanhamento && canal == kCanalMelodia) return FLUID_OK;
    return fluid_synth_handle_midi_event(f->synth, evento);
}

// The song as the program plays it: the synthesiser's default gain, mono sum of both sides.
bool renderizar(const std::string& fonte, const std::string& musica, Parte parte, std::vector<float>& saida) {
    fluid_settings_t* ajustes = new_fluid_settings();
    fluid_settings_setnum(ajustes, "synth.sample-rate", kTaxa);
    fluid_synth_t* synth = new_fluid_synth(ajustes);
    bool certo = fluid_synth_sfload(synth, fonte.c_str(), 1) != FLUID_FAILED;
    fluid_player_t* player = certo ? new_fluid_player(synth) : nullptr;
    Filtro filtro{synth, parte};
    if (player) {
        fluid_player_set_playback_callback(player, filtrarEvento, &filtro);
        certo = fluid_player_add(player, musica.c_str()) == FLUID_OK && fluid_player_play(player) == FLUID_OK;
    }
    saida.clear();
    std::vector<float> esquerda(1024), direita(1024);
    // The song is over when the player has passed its last tick; its tail rings two seconds more.
    int restante = 2 * kTaxa;
    while (certo && restante > 0) {
        fluid_synth_write_float(synth, 1024, esquerda.data(), 0, 1, direita.data(), 0, 1);
        for (int i = 0; i < 1024; ++i) saida.push_back(0.5f * (esquerda[i] + direita[i]));
        const int total = fluid_player_get_total_ticks(player);
        if (fluid_player_get_status(player) != FLUID_PLAYER_PLAYING
            || (total > 0 && fluid_player_get_current_tick(player) >= total))
            restante -= 1024;
        if (saida.size() > std::size_t(kTaxa) * 600) break;  // ten minutes: something is wrong
    }
    if (player) {
        fluid_player_stop(player);
        delete_fluid_player(player);
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(ajustes);
    return certo && !saida.empty();
}

uint32_t lerU32(const char* p) { return uint8_t(p[0]) | uint8_t(p[1]) << 8 | uint8_t(p[2]) << 16 | uint32_t(uint8_t(p[3])) << 24; }
uint16_t lerU16(const char* p) { return uint16_t(uint8_t(p[0]) | uint8_t(p[1]) << 8); }

// PCM wave, 8 or 16 bits, mono or the first channel; empty on any other layout.
std::vector<float> lerWave(const std::string& caminho, int& taxa) {
    std::ifstream f(caminho, std::ios::binary);
    std::string b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<float> amostras;
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return amostras;
    int canais = 1, bits = 16;
    for (std::size_t p = 12; p + 8 <= b.size();) {
        const std::string id = b.substr(p, 4);
        const uint32_t tamanho = lerU32(&b[p + 4]);
        const std::size_t dados = p + 8;
        if (id == "fmt " && tamanho >= 16 && dados + 16 <= b.size()) {
            canais = lerU16(&b[dados + 2]);
            taxa = int(lerU32(&b[dados + 4]));
            bits = lerU16(&b[dados + 14]);
        } else if (id == "data") {
            const std::size_t fim = std::min<std::size_t>(b.size(), dados + tamanho);
            const std::size_t passo = std::size_t(canais) * std::size_t(bits / 8);
            if (passo == 0) return amostras;
            for (std::size_t i = dados; i + passo <= fim; i += passo)
                amostras.push_back(bits == 8 ? (uint8_t(b[i]) - 128) / 128.0f : int16_t(lerU16(&b[i])) / 32768.0f);
            return amostras;
        }
        p = dados + tamanho + (tamanho & 1);
    }
    return amostras;
}

// RMS of the loudest 100 ms: how loud a short sound is heard.
double rmsMaisForte(const std::vector<float>& amostras, int taxa) {
    const std::size_t janela = std::max<std::size_t>(1, std::size_t(taxa) / 10);
    double soma = 0, maior = 0;
    for (std::size_t i = 0; i < amostras.size(); ++i) {
        soma += double(amostras[i]) * amostras[i];
        if (i >= janela) soma -= double(amostras[i - janela]) * amostras[i - janela];
        maior = std::max(maior, soma);
    }
    return emDb(std::sqrt(maior / double(std::min(janela, amostras.size()))));
}

bool terminaCom(const std::string& s, const char* fim) {
    const std::size_t n = std::strlen(fim);
    if (s.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != fim[i]) return false;
    return true;
}

std::string nomeDe(const std::string& caminho) {
    const std::size_t barra = caminho.find_last_of('/');
    return barra == std::string::npos ? caminho : caminho.substr(barra + 1);
}

}  // namespace

int main(int argc, char** argv) {
    std::string fonte = kFontePadrao;
    std::vector<std::string> musicas, sons;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--fonte" && i + 1 < argc) fonte = argv[++i];
        else if (terminaCom(a, ".mid")) musicas.push_back(a);
        else if (terminaCom(a, ".wav")) sons.push_back(a);
    }
    if (musicas.empty() && sons.empty()) {
        std::fprintf(stderr, "uso: niveis [--fonte arquivo.sf2] musica.MID... som.wav...\n");
        return 2;
    }
    int falhas = 0;
    double menor = 1e9, maior = -1e9;
    if (!musicas.empty())
        std::printf("%-12s %8s %8s %9s %9s %9s\n", "música", "RMS dB", "pico dB", "melodia", "acompanh.", "diferença");
    for (const std::string& m : musicas) {
        std::vector<float> tudo, melodia, acompanhamento;
        if (!renderizar(fonte, m, Parte::Tudo, tudo) || !renderizar(fonte, m, Parte::Melodia, melodia)
            || !renderizar(fonte, m, Parte::Acompanhamento, acompanhamento)) {
            std::fprintf(stderr, "niveis: não foi possível tocar %s com %s\n", m.c_str(), fonte.c_str());
            ++falhas;
            continue;
        }
        const Nivel n = medir(tudo), nm = medir(melodia), na = medir(acompanhamento);
        const double diferenca = nm.rms - na.rms;
        const bool abafado = diferenca > kAcompanhamentoAbaixo;
        std::printf("%-12s %8.1f %8.1f %9.1f %9.1f %9.1f%s\n", nomeDe(m).c_str(), n.rms, n.pico, nm.rms, na.rms,
                    diferenca, abafado ? "  acompanhamento inaudível" : "");
        falhas += abafado;
        menor = std::min(menor, n.rms);
        maior = std::max(maior, n.rms);
    }
    if (musicas.size() > 1) {
        const double meio = (menor + maior) / 2;
        std::printf("músicas: de %.1f a %.1f dB, %.1f ± %.1f dB\n", menor, maior, meio, (maior - menor) / 2);
        if (maior - menor > kFaixaMusicas) {
            std::printf("músicas fora de ±%.0f dB\n", kFaixaMusicas / 2);
            ++falhas;
        }
    }
    for (const std::string& s : sons) {
        int taxa = 0;
        const std::vector<float> amostras = lerWave(s, taxa);
        if (amostras.empty() || taxa <= 0) {
            std::fprintf(stderr, "niveis: %s não é um arquivo wave PCM\n", s.c_str());
            ++falhas;
            continue;
        }
        const Nivel n = medir(amostras);
        std::printf("%-12s %8.1f %8.1f %9.1f (RMS dos 100 ms mais fortes)\n", nomeDe(s).c_str(), n.rms, n.pico,
                    rmsMaisForte(amostras, taxa));
    }
    return falhas ? 1 : 0;
}
