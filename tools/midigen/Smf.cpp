#include "Smf.h"

#include <algorithm>

namespace {

void anexarQuantidadeVariavel(std::vector<uint8_t>& saida, uint32_t valor) {
    uint8_t grupos[5];
    int n = 0;
    do {
        grupos[n++] = valor & 0x7F;
        valor >>= 7;
    } while (valor);
    while (n > 1) saida.push_back(grupos[--n] | 0x80);
    saida.push_back(grupos[0]);
}

void anexarBigEndian(std::vector<uint8_t>& saida, uint32_t valor, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) saida.push_back(static_cast<uint8_t>(valor >> (8 * i)));
}

uint8_t limitar7(int valor) { return static_cast<uint8_t>(std::clamp(valor, 0, 127)); }

std::vector<uint8_t> corpoDaTrilha(const Trilha& trilha) {
    std::vector<EventoMidi> eventos = trilha.eventos();
    std::stable_sort(eventos.begin(), eventos.end(), [](const EventoMidi& a, const EventoMidi& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.ordem < b.ordem;
    });
    std::vector<uint8_t> corpo;
    int anterior = 0;
    for (const EventoMidi& e : eventos) {
        anexarQuantidadeVariavel(corpo, static_cast<uint32_t>(e.tick - anterior));
        corpo.insert(corpo.end(), e.bytes.begin(), e.bytes.end());
        anterior = e.tick;
    }
    const uint8_t fimDaTrilha[] = {0x00, 0xFF, 0x2F, 0x00};
    corpo.insert(corpo.end(), std::begin(fimDaTrilha), std::end(fimDaTrilha));
    return corpo;
}

}  // namespace

Trilha::Trilha(const std::string& nome) { texto(0, 0x03, nome); }

void Trilha::nota(int tick, int duracao, int canal, int altura, int velocidade) {
    const uint8_t c = static_cast<uint8_t>(canal & 0x0F);
    eventos_.push_back({tick, 2, {static_cast<uint8_t>(0x90 | c), limitar7(altura), limitar7(std::max(1, velocidade))}});
    eventos_.push_back({tick + duracao, 1, {static_cast<uint8_t>(0x80 | c), limitar7(altura), 64}});
}

void Trilha::programa(int tick, int canal, int programaGM) {
    eventos_.push_back({tick, 0, {static_cast<uint8_t>(0xC0 | (canal & 0x0F)), limitar7(programaGM - 1)}});
}

void Trilha::controle(int tick, int canal, int numero, int valor) {
    eventos_.push_back({tick, 0, {static_cast<uint8_t>(0xB0 | (canal & 0x0F)), limitar7(numero), limitar7(valor)}});
}

void Trilha::andamento(int tick, int microssegundosPorSeminima) {
    EventoMidi e{tick, 0, {0xFF, 0x51, 0x03}};
    anexarBigEndian(e.bytes, static_cast<uint32_t>(microssegundosPorSeminima), 3);
    eventos_.push_back(e);
}

void Trilha::compasso(int tick, int tempos, int unidade) {
    uint8_t potencia = 0;
    while ((1 << potencia) < unidade) ++potencia;
    eventos_.push_back({tick, 0, {0xFF, 0x58, 0x04, static_cast<uint8_t>(tempos), potencia, 24, 8}});
}

void Trilha::texto(int tick, int tipo, const std::string& conteudo) {
    EventoMidi e{tick, 0, {0xFF, static_cast<uint8_t>(tipo)}};
    anexarQuantidadeVariavel(e.bytes, static_cast<uint32_t>(conteudo.size()));
    e.bytes.insert(e.bytes.end(), conteudo.begin(), conteudo.end());
    eventos_.push_back(e);
}

std::vector<uint8_t> gerarSmf(const std::vector<Trilha>& trilhas, int ticksPorSeminima) {
    std::vector<uint8_t> arquivo = {'M', 'T', 'h', 'd'};
    anexarBigEndian(arquivo, 6, 4);
    anexarBigEndian(arquivo, 1, 2);
    anexarBigEndian(arquivo, static_cast<uint32_t>(trilhas.size()), 2);
    anexarBigEndian(arquivo, static_cast<uint32_t>(ticksPorSeminima), 2);
    for (const Trilha& trilha : trilhas) {
        const std::vector<uint8_t> corpo = corpoDaTrilha(trilha);
        arquivo.insert(arquivo.end(), {'M', 'T', 'r', 'k'});
        anexarBigEndian(arquivo, static_cast<uint32_t>(corpo.size()), 4);
        arquivo.insert(arquivo.end(), corpo.begin(), corpo.end());
    }
    return arquivo;
}
