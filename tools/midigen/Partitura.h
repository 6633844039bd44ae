#pragma once
// A readable score: header settings, a melody line and a chord line (see assets/songs/FORMATO.md).

#include <stdexcept>
#include <string>
#include <vector>

// Ticks per quarter note of every file we write.
constexpr int kTicksPorSeminima = 480;

struct ErroPartitura : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Nota {
    int inicio = 0;    // ticks from the start of one pass of the melody
    int duracao = 0;   // ticks
    int altura = -1;   // MIDI note number; -1 is a rest
};

struct Acorde {
    int inicio = 0;
    int duracao = 0;
    int raiz = -1;                // pitch class 0..11; -1 is "no chord"
    std::vector<int> intervalos;  // semitones above the root, root (0) included
};

struct Partitura {
    std::string titulo;
    std::string autor;
    int andamento = 100;        // beats per minute
    int tempos = 4;             // beats per bar
    int unidade = 4;            // note value of a beat: 4 quarter, 8 eighth
    int repeticoes = 1;
    std::string estilo = "nenhum";
    std::vector<int> programasMelodia{1};  // General MIDI programs 1..128, one per pass, cycled
    int programaAcordes = 1;
    int programaBaixo = 33;
    bool bateria = true;
    int transposicao = 0;
    int volume = 0;             // dB added to the whole song, so every song sounds as loud
    int acompanhamento = 0;     // dB added to chords, bass and drums against the melody
    std::vector<Nota> melodia;
    std::vector<Acorde> acordes;
    int anacruse = 0;           // ticks of the pick-up before the first full bar

    int ticksPorTempo() const { return kTicksPorSeminima * 4 / unidade; }
    int ticksPorCompasso() const { return ticksPorTempo() * tempos; }
    int duracaoPassada() const;  // ticks of one pass of the melody
};

// Reads a score; throws ErroPartitura with the line and the reason.
Partitura lerPartitura(const std::string& texto);
