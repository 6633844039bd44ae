// midigen: turns a readable score into a Standard MIDI File with our own arrangement.
//
//   midigen <score.txt> <song.MID>
//
// Prints the song's title and length, so a build log shows what each file holds.

#include <cstdio>
#include <fstream>
#include <sstream>

#include "Arranjo.h"
#include "Partitura.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "uso: midigen <partitura.txt> <musica.MID>\n");
        return 2;
    }
    std::ifstream entrada(argv[1], std::ios::binary);
    if (!entrada) {
        std::fprintf(stderr, "midigen: não foi possível ler %s\n", argv[1]);
        return 1;
    }
    std::ostringstream texto;
    texto << entrada.rdbuf();
    try {
        const Partitura partitura = lerPartitura(texto.str());
        const std::vector<uint8_t> arquivo = gerarSmf(arranjar(partitura), kTicksPorSeminima);
        std::ofstream saida(argv[2], std::ios::binary);
        saida.write(reinterpret_cast<const char*>(arquivo.data()), static_cast<std::streamsize>(arquivo.size()));
        if (!saida) {
            std::fprintf(stderr, "midigen: não foi possível gravar %s\n", argv[2]);
            return 1;
        }
        std::printf("%s: %s\n", argv[2], partitura.titulo.c_str());
    } catch (const ErroPartitura& erro) {
        std::fprintf(stderr, "%s: %s\n", argv[1], erro.what());
        return 1;
    }
    return 0;
}
