#pragma once
// Standard MIDI File writing: tracks of timed events, serialised as format 1.

#include <cstdint>
#include <string>
#include <vector>

struct EventoMidi {
    int tick = 0;
    int ordem = 0;  // at the same tick: 0 settings and meta, 1 note off, 2 note on
    std::vector<uint8_t> bytes;
};

class Trilha {
public:
    explicit Trilha(const std::string& nome);
    void nota(int tick, int duracao, int canal, int altura, int velocidade);
    void programa(int tick, int canal, int programaGM);  // 1..128
    void controle(int tick, int canal, int numero, int valor);
    void andamento(int tick, int microssegundosPorSeminima);
    void compasso(int tick, int tempos, int unidade);
    void texto(int tick, int tipo, const std::string& conteudo);
    const std::vector<EventoMidi>& eventos() const { return eventos_; }

private:
    std::vector<EventoMidi> eventos_;
};

// A format 1 file: the first track carries tempo and meter, the others the parts.
std::vector<uint8_t> gerarSmf(const std::vector<Trilha>& trilhas, int ticksPorSeminima);
