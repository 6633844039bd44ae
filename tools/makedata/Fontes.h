#pragma once
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace makedata {

// A mistake in a source file: the build stops with this message.
class ErroFonte : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Lines of a source file, without comments ("#" at the start) and without line ends.
std::vector<std::string> lerLinhas(const std::string& caminho, bool manterVazias);

// One "lição N" block of a lesson source.
struct Bloco {
    int licao = 0;
    std::vector<std::string> linhas;  // every line after the header, blank ones included

    // Values of the "chave: valor" lines with that key, in order.
    std::vector<std::string> valores(const std::string& chave) const;
    // The single value of a key, or "" when the block lacks it.
    std::string valor(const std::string& chave) const;
};

// Reads the blocks and checks that they are numbered 1..n in order.
std::vector<Bloco> lerBlocos(const std::string& caminho);

// Lines "a | b | c" split at the bars and trimmed.
std::vector<std::vector<std::string>> lerTabela(const std::string& caminho);

// Lines "CHAVE = valor".
std::map<std::string, std::string> lerAtribuicoes(const std::string& caminho);

} // namespace makedata
