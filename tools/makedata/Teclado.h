#pragma once
#include <string>
#include <vector>

namespace makedata {

// One row of a keyboard table: how to type one character.
struct Tecla {
    std::string letra;   // the character (UTF-8), or "aa" for Enter
    int pos = 0;         // key number in the drawing
    int shift = 0;       // 1 right Shift, 2 left Shift, 0 none
    bool prox = false;   // a dead key: the key of `proxl` follows
    std::string proxl;   // the second keystroke
};

class MapaTeclado {
public:
    // Reads a map source (format in assets/dados/teclados/LEIAME.txt) and checks it.
    static MapaTeclado ler(const std::string& caminho);

    const std::vector<Tecla>& teclas() const { return teclas_; }
    const Tecla* achar(const std::string& letra) const;
    bool digitavel(char32_t c) const;

private:
    void acrescentar(const Tecla& t, const std::string& origem);
    Tecla* acharParaMudar(const std::string& letra);

    std::vector<Tecla> teclas_;
};

} // namespace makedata
