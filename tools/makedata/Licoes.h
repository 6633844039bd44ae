#pragma once
#include "Fontes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace makedata {

// One lesson as stored: its type, number and text lines (joined with CR LF in the memo).
struct Licao {
    std::string tipo;
    int numero = 0;
    std::vector<std::string> linhas;
};

// The words, short phrases and names the exercises are made of.
struct Vocabulario {
    std::vector<std::u32string> palavras;
    std::vector<std::u32string> frases;  // lower case, no punctuation, every word in `palavras`
    std::vector<std::u32string> nomes;
};
// Throws ErroFonte when a phrase has a word the word list lacks.
Vocabulario lerVocabulario(const std::string& arquivoPalavras, const std::string& arquivoFrases,
                           const std::string& arquivoNomes);

// Which keyboard a basic lesson is written for: the lessons differ in the keys they teach.
enum class Modelo { Abnt2, Eua };

// One basic lesson as planned for one keyboard.
struct PlanoBasico {
    int licao = 0;
    std::u32string novas;        // keys this lesson teaches
    std::u32string permitidas;   // every key taught up to this lesson, blank included
    std::vector<std::string> frases;
};
std::vector<PlanoBasico> planoBasico(const std::vector<Bloco>& blocos, Modelo modelo);

std::vector<Licao> gerarBasico(const std::vector<PlanoBasico>& plano, const Vocabulario& v);
std::vector<Licao> gerarAvancado(const std::vector<Bloco>& blocos, const Vocabulario& v);
std::vector<Licao> gerarTextos(const std::vector<Bloco>& blocos);
std::vector<Licao> gerarNumerico(const std::vector<Bloco>& blocos);

// A line the practice window would wrap into a piece exactly as wide as the window ends
// there without Enter, and the student's habitual Enter would count as an error: such a
// paragraph is broken into lines one character narrower instead.
void evitarLinhaCheia(Licao& l);

// Small deterministic generator: the same sources always make the same tables.
class Sorteio {
public:
    explicit Sorteio(uint64_t semente) : estado_(semente * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t proximo();
    int ate(int n);               // 0 .. n-1
    int entre(int de, int ate);   // de .. ate
    template <class T> const T& um(const std::vector<T>& v) { return v[ate(int(v.size()))]; }

private:
    uint64_t estado_;
};

} // namespace makedata
