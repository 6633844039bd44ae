#include "Arranjo.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCanalMelodia = 0, kCanalAcordes = 1, kCanalBaixo = 2, kCanalBateria = 9;

// What one slot of an accompaniment pattern plays.
enum class Parte {
    Raiz,         // bass: chord root
    Quinta,       // bass: the chord's fifth
    Oitava,       // bass: root an octave up
    BaixoLongo,   // bass: root of every chord met within the slot, held to the chord's end
    Bloco,        // chords: the whole chord, short
    Sustentado,   // chords: every chord met within the slot, held to its end
    Arpejo,       // chords: one chord tone (index in `tom`)
};

struct Gesto {
    int inicio;    // ticks from the bar line
    int duracao;
    Parte parte;
    int tom = 0;   // Arpejo: which voice; drums: the GM drum note
    int forca = 0; // velocity
};

struct Padrao {
    std::vector<Gesto> acompanhamento;
    std::vector<Gesto> bateria;
};

// A velocity changed by `db` decibels: a General MIDI synthesiser attenuates by
// 40·log10(127 / velocity) dB, so the factor is 10^(db / 40).
int comGanho(int forca, int db) {
    return std::clamp(static_cast<int>(std::lround(forca * std::pow(10.0, db / 40.0))), 1, 127);
}

int fracao(int ticks, double parte) { return static_cast<int>(std::lround(ticks * parte)); }

// Oom-pah in groups of two beats: bass, then a short chord.
Padrao marcha(int tempos, int tb, int indiceCompasso) {
    Padrao p;
    for (int g = 0; g < tempos; g += 2) {
        const bool quinta = ((g / 2) + indiceCompasso) % 2 == 1;
        p.acompanhamento.push_back({g * tb, fracao(tb, 0.9), quinta ? Parte::Quinta : Parte::Raiz, 0, 84});
        if (g + 1 < tempos) p.acompanhamento.push_back({(g + 1) * tb, fracao(tb, 0.5), Parte::Bloco, 0, 56});
        p.bateria.push_back({g * tb, tb / 4, Parte::Bloco, 36, 66});
        if (g + 1 < tempos) p.bateria.push_back({(g + 1) * tb, tb / 4, Parte::Bloco, 38, 46});
    }
    for (int t = 0; t < tempos * tb; t += tb / 2) p.bateria.push_back({t, tb / 4, Parte::Bloco, 42, 30});
    return p;
}

Padrao valsa(int tempos, int tb, int indiceCompasso) {
    Padrao p;
    p.acompanhamento.push_back({0, fracao(tb, 0.95), indiceCompasso % 2 ? Parte::Quinta : Parte::Raiz, 0, 84});
    for (int b = 1; b < tempos; ++b) p.acompanhamento.push_back({b * tb, fracao(tb, 0.7), Parte::Bloco, 0, 52});
    p.bateria.push_back({0, tb / 4, Parte::Bloco, 35, 58});
    for (int b = 1; b < tempos; ++b) p.bateria.push_back({b * tb, tb / 4, Parte::Bloco, 44, 36});
    return p;
}

Padrao balada(int tempos, int tb) {
    Padrao p;
    const int meio = tempos >= 4 ? tempos / 2 : tempos;
    p.acompanhamento.push_back({0, meio * tb, Parte::BaixoLongo, 0, 80});
    if (meio < tempos) p.acompanhamento.push_back({meio * tb, (tempos - meio) * tb, Parte::Quinta, 0, 74});
    p.acompanhamento.push_back({0, tempos * tb, Parte::Sustentado, 0, 48});
    p.bateria.push_back({0, tb / 4, Parte::Bloco, 36, 60});
    if (tempos >= 4) p.bateria.push_back({fracao(tb, 2.5), tb / 4, Parte::Bloco, 36, 48});
    for (int b = 1; b < tempos; b += 2) p.bateria.push_back({b * tb, tb / 4, Parte::Bloco, 37, 48});
    for (int t = 0; t < tempos * tb; t += tb / 2) p.bateria.push_back({t, tb / 4, Parte::Bloco, 42, 26});
    return p;
}

// Bass held under broken chords in eighth notes (low, high, middle, high).
Padrao classico(int tempos, int tb) {
    Padrao p;
    p.acompanhamento.push_back({0, tempos * tb, Parte::BaixoLongo, 0, 76});
    const int colcheia = kTicksPorSeminima / 2;
    const int ordem[] = {0, 2, 1, 2};
    for (int t = 0, i = 0; t < tempos * tb; t += colcheia, ++i)
        p.acompanhamento.push_back({t, colcheia, Parte::Arpejo, ordem[i % 4], i % 4 == 0 ? 54 : 46});
    return p;
}

Padrao sustentado(int tempos, int tb) {
    Padrao p;
    p.acompanhamento.push_back({0, tempos * tb, Parte::BaixoLongo, 0, 72});
    p.acompanhamento.push_back({0, tempos * tb, Parte::Sustentado, 0, 50});
    return p;
}

// North-eastern baião, in groups of two beats: 3 + 3 + 2 sixteenths in the bass, triangle on top.
Padrao baiao(int tempos, int tb) {
    Padrao p;
    for (int g = 0; g < tempos; g += 2) {
        const int base = g * tb;
        p.acompanhamento.push_back({base, fracao(tb, 0.7), Parte::Raiz, 0, 88});
        p.acompanhamento.push_back({base + fracao(tb, 0.75), fracao(tb, 0.7), Parte::Raiz, 0, 76});
        p.acompanhamento.push_back({base + fracao(tb, 1.5), fracao(tb, 0.45), Parte::Quinta, 0, 80});
        p.acompanhamento.push_back({base + fracao(tb, 0.5), fracao(tb, 0.25), Parte::Bloco, 0, 54});
        p.acompanhamento.push_back({base + fracao(tb, 1.5), fracao(tb, 0.25), Parte::Bloco, 0, 50});
        p.bateria.push_back({base, tb / 4, Parte::Bloco, 35, 72});
        p.bateria.push_back({base + fracao(tb, 0.75), tb / 4, Parte::Bloco, 35, 56});
        p.bateria.push_back({base + fracao(tb, 1.5), tb / 4, Parte::Bloco, 36, 50});
        for (int s = 0; s < 8; ++s) {
            const bool aberto = s == 2 || s == 6;
            p.bateria.push_back({base + s * tb / 4, tb / 4, Parte::Bloco, aberto ? 81 : 80, aberto ? 44 : 30});
        }
    }
    return p;
}

// Choro in groups of two beats: walking bass and syncopated chords, with a light tambourine.
Padrao choro(int tempos, int tb) {
    Padrao p;
    for (int g = 0; g < tempos; g += 2) {
        const int base = g * tb;
        p.acompanhamento.push_back({base, fracao(tb, 0.5), Parte::Raiz, 0, 84});
        p.acompanhamento.push_back({base + tb, fracao(tb, 0.45), Parte::Quinta, 0, 76});
        p.acompanhamento.push_back({base + fracao(tb, 1.5), fracao(tb, 0.45), Parte::Oitava, 0, 70});
        for (double x : {0.5, 0.75, 1.5})
            p.acompanhamento.push_back({base + fracao(tb, x), fracao(tb, 0.22), Parte::Bloco, 0, 52});
        for (int s = 0; s < 8; ++s) {
            const bool acento = s == 3 || s == 7;
            p.bateria.push_back({base + s * tb / 4, tb / 4, Parte::Bloco, 54, acento ? 50 : 26});
        }
        p.bateria.push_back({base, tb / 4, Parte::Bloco, 64, 44});
        p.bateria.push_back({base + tb, tb / 4, Parte::Bloco, 64, 38});
    }
    return p;
}

Padrao padraoDoEstilo(const Partitura& s, int indiceCompasso) {
    const int tb = s.ticksPorTempo();
    if (s.estilo == "marcha") return marcha(s.tempos, tb, indiceCompasso);
    if (s.estilo == "valsa") return valsa(s.tempos, tb, indiceCompasso);
    if (s.estilo == "balada") return balada(s.tempos, tb);
    if (s.estilo == "classico") return classico(s.tempos, tb);
    if (s.estilo == "baiao") return baiao(s.tempos, tb);
    if (s.estilo == "choro") return choro(s.tempos, tb);
    if (s.estilo == "nenhum") return sustentado(s.tempos, tb);
    throw ErroPartitura("estilo desconhecido: " + s.estilo);
}

// The chord sounding at `tick` of the whole piece, with its absolute start and end.
struct AcordeNoTempo {
    const Acorde* acorde = nullptr;
    int inicio = 0, fim = 0;
};

AcordeNoTempo acordeEm(const Partitura& s, int tick) {
    const int passada = s.duracaoPassada();
    const int inicioDaPassada = (tick / passada) * passada;
    const int dentro = tick - inicioDaPassada;
    for (const Acorde& a : s.acordes)
        if (dentro >= a.inicio && dentro < a.inicio + a.duracao)
            return {a.raiz >= 0 ? &a : nullptr, inicioDaPassada + a.inicio, inicioDaPassada + a.inicio + a.duracao};
    return {};
}

// Close-position voicing between G3 and F#4, so the chords stay in one register.
std::vector<int> vozes(const Acorde& a) {
    std::vector<int> notas;
    for (int intervalo : a.intervalos) {
        int nota = 55 + ((a.raiz + intervalo - 55) % 12 + 12) % 12;
        notas.push_back(nota);
    }
    std::sort(notas.begin(), notas.end());
    return notas;
}

int raizNoBaixo(const Acorde& a) { return 38 + ((a.raiz - 38) % 12 + 12) % 12; }

int quintaNoBaixo(const Acorde& a) {
    const int quinta = a.intervalos.size() > 2 ? a.intervalos[2] : 7;
    return raizNoBaixo(a) + quinta;
}

class Arranjador {
public:
    explicit Arranjador(const Partitura& s)
        : s_(s), total_(s.duracaoPassada() * s.repeticoes),
          melodia_("Melodia"), acordes_("Acordes"), baixo_("Baixo"), bateria_("Bateria") {}

    std::vector<Trilha> arranjar() {
        Trilha regente(s_.titulo.empty() ? "Tarvex 3" : s_.titulo);
        reger(regente);
        prepararCanais();
        tocarMelodia();
        tocarAcompanhamento();
        tocarFinal();
        std::vector<Trilha> trilhas{regente, melodia_, acordes_, baixo_};
        if (temBateria()) trilhas.push_back(bateria_);
        return trilhas;
    }

private:
    int acomp(int forca) const { return comGanho(forca, s_.volume + s_.acompanhamento); }

    bool temBateria() const {
        return s_.bateria && s_.estilo != "classico" && s_.estilo != "nenhum";
    }

    int microssegundos(double fatorAndamento) const {
        const double seminimasPorMinuto = s_.andamento * fatorAndamento * 4.0 / s_.unidade;
        return static_cast<int>(std::lround(60000000.0 / seminimasPorMinuto));
    }

    // Tempo map: the piece's tempo, a little slower in its last bar, slower still in the ending.
    void reger(Trilha& regente) {
        if (!s_.autor.empty()) regente.texto(0, 0x01, s_.autor);
        regente.texto(0, 0x02, "Arranjo: Tarvex 3");
        regente.compasso(0, s_.tempos, s_.unidade);
        regente.andamento(0, microssegundos(1.0));
        const int ultimoCompasso = s_.anacruse > 0 ? s_.ticksPorCompasso() - s_.anacruse : s_.ticksPorCompasso();
        regente.andamento(total_ - ultimoCompasso, microssegundos(0.9));
        regente.andamento(total_, microssegundos(0.75));
    }

    void prepararCanais() {
        const struct { Trilha* trilha; int canal, volume, pan, eco; } ajustes[] = {
            {&melodia_, kCanalMelodia, 110, 64, 40},
            {&acordes_, kCanalAcordes, 74, 44, 50},
            {&baixo_, kCanalBaixo, 100, 64, 20},
            {&bateria_, kCanalBateria, 82, 80, 30},
        };
        for (const auto& a : ajustes) {
            a.trilha->controle(0, a.canal, 7, a.volume);
            a.trilha->controle(0, a.canal, 10, a.pan);
            a.trilha->controle(0, a.canal, 91, a.eco);
        }
        acordes_.programa(0, kCanalAcordes, s_.programaAcordes);
        baixo_.programa(0, kCanalBaixo, s_.programaBaixo);
    }

    bool noTempoForte(int tick) const {
        const int deslocamento = s_.anacruse > 0 ? s_.ticksPorCompasso() - s_.anacruse : 0;
        return (tick + deslocamento) % s_.ticksPorCompasso() == 0;
    }

    void tocarMelodia() {
        const int passada = s_.duracaoPassada();
        for (int r = 0; r < s_.repeticoes; ++r) {
            const int inicio = r * passada;
            melodia_.programa(inicio, kCanalMelodia, s_.programasMelodia[r % s_.programasMelodia.size()]);
            for (size_t i = 0; i < s_.melodia.size(); ++i) {
                const Nota& n = s_.melodia[i];
                if (n.altura < 0) continue;
                const bool ultimaNota = r + 1 == s_.repeticoes && i + 1 == s_.melodia.size();
                const int duracao = ultimaNota ? n.duracao + s_.ticksPorCompasso()
                                               : n.duracao - std::min(40, n.duracao / 8);
                const int forca = noTempoForte(n.inicio) ? 100 : 88;
                melodia_.nota(inicio + n.inicio, duracao, kCanalMelodia, n.altura, comGanho(forca, s_.volume));
            }
        }
    }

    void tocarGesto(const Gesto& g, int tick) {
        const AcordeNoTempo agora = acordeEm(s_, tick);
        if (g.parte == Parte::BaixoLongo || g.parte == Parte::Sustentado) {
            tocarSustentado(g, tick);
            return;
        }
        if (!agora.acorde) return;
        const int duracao = std::min(g.duracao, agora.fim - tick);
        const Acorde& a = *agora.acorde;
        switch (g.parte) {
        case Parte::Raiz: baixo_.nota(tick, duracao, kCanalBaixo, raizNoBaixo(a), acomp(g.forca)); break;
        case Parte::Quinta: baixo_.nota(tick, duracao, kCanalBaixo, quintaNoBaixo(a), acomp(g.forca)); break;
        case Parte::Oitava: baixo_.nota(tick, duracao, kCanalBaixo, raizNoBaixo(a) + 12, acomp(g.forca)); break;
        case Parte::Bloco:
            for (int nota : vozes(a)) acordes_.nota(tick, duracao, kCanalAcordes, nota, acomp(g.forca));
            break;
        case Parte::Arpejo: {
            const std::vector<int> v = vozes(a);
            acordes_.nota(tick, duracao, kCanalAcordes, v[g.tom % v.size()], acomp(g.forca));
            break;
        }
        default: break;
        }
    }

    // Every chord that starts or sounds within the slot, held until it changes or the slot ends.
    void tocarSustentado(const Gesto& g, int tick) {
        const int fimDoGesto = std::min(tick + g.duracao, total_);
        for (int t = tick; t < fimDoGesto;) {
            const AcordeNoTempo agora = acordeEm(s_, t);
            const int fim = std::min(agora.fim, fimDoGesto);
            if (agora.acorde) {
                if (g.parte == Parte::BaixoLongo)
                    baixo_.nota(t, fim - t, kCanalBaixo, raizNoBaixo(*agora.acorde), acomp(g.forca));
                else
                    for (int nota : vozes(*agora.acorde)) acordes_.nota(t, fim - t, kCanalAcordes, nota, acomp(g.forca));
            }
            if (fim <= t) break;
            t = fim;
        }
    }

    void tocarAcompanhamento() {
        const int compasso = s_.ticksPorCompasso();
        const int deslocamento = s_.anacruse > 0 ? compasso - s_.anacruse : 0;
        int indice = 0;
        for (int barra = -deslocamento; barra < total_; barra += compasso, ++indice) {
            const Padrao padrao = padraoDoEstilo(s_, indice);
            for (const Gesto& g : padrao.acompanhamento) {
                const int tick = barra + g.inicio;
                if (tick >= 0 && tick < total_) tocarGesto(g, tick);
            }
            if (!temBateria()) continue;
            for (const Gesto& g : padrao.bateria) {
                const int tick = barra + g.inicio;
                if (tick >= 0 && tick < total_) bateria_.nota(tick, g.duracao, kCanalBateria, g.tom, acomp(g.forca));
            }
        }
    }

    // One more bar on the last chord of the piece, with a cymbal when there are drums.
    void tocarFinal() {
        const Acorde* ultimo = nullptr;
        for (auto a = s_.acordes.rbegin(); a != s_.acordes.rend() && !ultimo; ++a)
            if (a->raiz >= 0) ultimo = &*a;
        const int compasso = s_.ticksPorCompasso();
        if (ultimo) {
            baixo_.nota(total_, compasso, kCanalBaixo, raizNoBaixo(*ultimo), acomp(84));
            for (int nota : vozes(*ultimo)) acordes_.nota(total_, compasso, kCanalAcordes, nota, acomp(56));
        }
        if (temBateria()) {
            bateria_.nota(total_, compasso / 2, kCanalBateria, 49, acomp(70));
            bateria_.nota(total_, compasso / 4, kCanalBateria, 36, acomp(70));
        }
    }

    const Partitura& s_;
    const int total_;
    Trilha melodia_, acordes_, baixo_, bateria_;
};

}  // namespace

std::vector<Trilha> arranjar(const Partitura& partitura) { return Arranjador(partitura).arranjar(); }
