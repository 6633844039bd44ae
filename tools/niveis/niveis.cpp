// niveis: how loud each background song and each wave sound is, so the music stays balanced.
//
//   niveis [--fonte arquivo.sf2] musica.MID... som.wav...
//
// A song is rendered in stereo without an audio device, at 44100 samples per second, three
// times: whole, its melody alone (channel 1) and its accompaniment alone (every other
// channel). Loudness is the broadcast standard's gated loudness (BS.1770, in LUFS), which
// weighs the frequencies as the ear does and leaves the silences out, so a song with long
// rests is not taken for a quiet one; the peak is printed beside it. Each wave sound gets its
// gated loudness and peak as well. The exit status is 1 when a song lies more than 2 LU from
// the median of the songs, a wave sound more than 2 LU from the median of the sounds, or the
// accompaniment of a song more than 10 LU under its melody (it is then not heard).
#include "Sonoridade.h"

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
constexpr double kDesvioPermitido = 2.0;       // LU from the median of the songs, or of the sounds
constexpr double kAcompanhamentoAbaixo = 10.0; // LU the accompaniment may lie under the melody

const char* kFontePadrao = "/usr/share/sounds/sf2/TimGM6mb.sf2";

using Canais = std::vector<std::vector<float>>;

double emDb(double amplitude) { return amplitude > 0 ? 20.0 * std::log10(amplitude) : niveis::kSilencio; }

double picoDb(const Canais& canais)
{
    double maior = 0;
    for (const auto& c : canais)
        for (float a : c) maior = std::max(maior, double(std::fabs(a)));
    return emDb(maior);
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

// The song as the program plays it: the synthesiser's default gain, both sides.
bool renderizar(const std::string& fonte, const std::string& musica, Parte parte, Canais& saida) {
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
    saida.assign(2, {});
    std::vector<float> esquerda(1024), direita(1024);
    // The song is over when the player has passed its last tick; its tail rings two seconds more.
    int restante = 2 * kTaxa;
    while (certo && restante > 0) {
        fluid_synth_write_float(synth, 1024, esquerda.data(), 0, 1, direita.data(), 0, 1);
        saida[0].insert(saida[0].end(), esquerda.begin(), esquerda.end());
        saida[1].insert(saida[1].end(), direita.begin(), direita.end());
        const int total = fluid_player_get_total_ticks(player);
        if (fluid_player_get_status(player) != FLUID_PLAYER_PLAYING
            || (total > 0 && fluid_player_get_current_tick(player) >= total))
            restante -= 1024;
        if (saida[0].size() > std::size_t(kTaxa) * 600) break;  // ten minutes: something is wrong
    }
    if (player) {
        fluid_player_stop(player);
        delete_fluid_player(player);
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(ajustes);
    return certo && !saida[0].empty();
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

// Prints how far each one lies from the median of the group; 1 when one lies too far.
int desviosDaMediana(const char* grupo, const std::vector<std::string>& nomes, const std::vector<double>& valores)
{
    if (valores.size() < 2) return 0;
    const double meio = niveis::mediana(valores);
    std::printf("%s: mediana %.1f LUFS, de %+.1f a %+.1f LU dela\n", grupo, meio,
                *std::min_element(valores.begin(), valores.end()) - meio,
                *std::max_element(valores.begin(), valores.end()) - meio);
    int fora = 0;
    for (std::size_t i = 0; i < valores.size(); ++i)
        if (std::fabs(valores[i] - meio) > kDesvioPermitido) {
            std::printf("%s está a %+.1f LU da mediana (limite ±%.0f LU)\n", nomes[i].c_str(), valores[i] - meio,
                        kDesvioPermitido);
            fora = 1;
        }
    return fora;
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
    std::vector<std::string> nomesMusicas;
    std::vector<double> sonoridades;
    if (!musicas.empty())
        std::printf("%-12s %8s %8s %9s %9s %9s\n", "música", "LUFS", "pico dB", "melodia", "acompanh.", "diferença");
    for (const std::string& m : musicas) {
        Canais tudo, melodia, acompanhamento;
        if (!renderizar(fonte, m, Parte::Tudo, tudo) || !renderizar(fonte, m, Parte::Melodia, melodia)
            || !renderizar(fonte, m, Parte::Acompanhamento, acompanhamento)) {
            std::fprintf(stderr, "niveis: não foi possível tocar %s com %s\n", m.c_str(), fonte.c_str());
            ++falhas;
            continue;
        }
        const double l = niveis::sonoridadeIntegrada(tudo, kTaxa);
        const double lm = niveis::sonoridadeIntegrada(melodia, kTaxa);
        const double la = niveis::sonoridadeIntegrada(acompanhamento, kTaxa);
        const bool abafado = lm - la > kAcompanhamentoAbaixo;
        std::printf("%-12s %8.1f %8.1f %9.1f %9.1f %9.1f%s\n", nomeDe(m).c_str(), l, picoDb(tudo), lm, la, lm - la,
                    abafado ? "  acompanhamento inaudível" : "");
        falhas += abafado;
        nomesMusicas.push_back(nomeDe(m));
        sonoridades.push_back(l);
    }
    falhas += desviosDaMediana("músicas", nomesMusicas, sonoridades);

    std::vector<std::string> nomesSons;
    std::vector<double> sonoridadesSons;
    if (!sons.empty()) std::printf("%-12s %8s %8s\n", "som", "LUFS", "pico dB");
    for (const std::string& s : sons) {
        int taxa = 0;
        const Canais amostras{lerWave(s, taxa)};
        if (amostras[0].empty() || taxa <= 0) {
            std::fprintf(stderr, "niveis: %s não é um arquivo wave PCM\n", s.c_str());
            ++falhas;
            continue;
        }
        const double l = niveis::sonoridadeIntegrada(amostras, taxa);
        std::printf("%-12s %8.1f %8.1f\n", nomeDe(s).c_str(), l, picoDb(amostras));
        nomesSons.push_back(nomeDe(s));
        sonoridadesSons.push_back(l);
    }
    falhas += desviosDaMediana("sons", nomesSons, sonoridadesSons);
    return falhas ? 1 : 0;
}
