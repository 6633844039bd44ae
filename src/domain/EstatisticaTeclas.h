#pragma once
#include <map>
#include <string>
#include <vector>

namespace dominio {

struct DesenhoTeclado;

// The figures of one character of the lessons: keystrokes right and wrong when it was
// expected, the milliseconds spent on the right ones, and what was typed in its place.
struct FiguraTecla {
    long long acertos = 0;
    long long erros = 0;
    long long tempoMs = 0;
    std::map<char32_t, long long> trocas;  // character typed instead -> times

    long long toques() const { return acertos + erros; }
    double taxaErro() const { return toques() ? double(erros) / double(toques()) : 0.0; }
    double msPorToque() const { return acertos ? double(tempoMs) / double(acertos) : 0.0; }
    // The character typed instead most often (the smallest on a tie); 0 when never missed.
    char32_t trocaMaisComum() const;
    long long vezesTroca() const;
    void somar(const FiguraTecla& outra);
};

// Per-character figures of the keystrokes of a lesson (or of many, summed). A keystroke is
// one character as the session judges it: dead key + letter is the accented letter, so a
// wrong accent is a miss of that letter recorded with the letter typed.
class EstatisticaTeclas {
public:
    // The typing (re)starts at `ms`: the time before it (a pause) is nobody's.
    void retomar(long long ms) { ultimoMs_ = ms; }
    // One keystroke judged at `ms`: right when the typed character is the expected one. Its
    // time is the time since the previous keystroke or since typing resumed.
    void registrar(char32_t esperada, char32_t digitada, long long ms);
    // Figures kept elsewhere (a stored lesson) added to these.
    void somar(char32_t tecla, const FiguraTecla& figura);
    FiguraTecla& figura(char32_t tecla) { return figuras_[tecla]; }
    void limpar() { figuras_.clear(); ultimoMs_ = -1; }

    const std::map<char32_t, FiguraTecla>& figuras() const { return figuras_; }
    bool vazia() const { return figuras_.empty(); }

    // The character with the most misses (the highest error rate on a tie); 0 when none.
    char32_t maisErrada() const;
    // The weakest characters, worst first: only those with at least `minimoToques`
    // keystrokes, by error rate, then by time per right keystroke.
    std::vector<char32_t> maisFracas(std::size_t quantas, long long minimoToques) const;

private:
    std::map<char32_t, FiguraTecla> figuras_;
    long long ultimoMs_ = -1;
};

// A character as the student reads it: "Enter", "Espaço", else the character in UTF-8.
std::string nomeTecla(char32_t c);
// The character in UTF-8 (CR and space as themselves).
std::string utf8(char32_t c);
// What was typed instead, as the student reads it: a wrong accent on the right letter shows
// the accents ("´ em vez de `"), anything else "expected → typed" ("ç → c").
std::string textoTroca(char32_t esperada, char32_t digitada);

// "Tecla mais errada: ç (3 vezes; ç → c)" for the character missed most; empty when none was.
std::string linhaMaisErrada(const EstatisticaTeclas& figuras);

// The figures of each key of a keyboard drawing, summed over the characters it types. An
// accented letter typed with a dead key counts on the accent's key: the letter's key has the
// bare letter's own figures.
std::map<int, FiguraTecla> figurasPorTecla(const EstatisticaTeclas& figuras, const DesenhoTeclado& desenho);

} // namespace dominio
