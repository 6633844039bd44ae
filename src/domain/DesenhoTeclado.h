#pragma once
#include <map>
#include <string>
#include <vector>

namespace dominio {

// The fingers, in the order of the finger buttons.
enum class Dedo { Polegar, Indicador, Medio, Anular, Minimo };

// Keys that type no character have these ids in a drawing; key numbers are positive.
enum TeclaEspecial {
    kTab = -1, kCaps = -2, kShiftEsq = -3, kShiftDir = -4, kBackspace = -5, kNumLock = -6, kPontoTeclado = -7
};

// One panel of a key in an on-screen keyboard (a key may have several: Enter, the keypad's 0).
struct PainelTecla {
    int tecla = 0;
    int x = 0, y = 0, largura = 32, altura = 32;
    Dedo dedo = Dedo::Minimo;
    std::string legenda;  // UTF-8, lines split by '\n'
};

struct DesenhoTeclado {
    std::string nome;  // "EUA", "EUAn", "ABNT2", "ABNT2n"
    std::vector<PainelTecla> paineis;
    // What each key types, in UTF-8: without and with Shift ("tecla" lines), "\r" on Enter and
    // " " on the space bar.
    std::map<int, std::vector<std::string>> caracteres;
};

// The drawings of a keyboard description (the "desenho" and "painel" lines; the "tecla" lines
// give the legends not written out). Throws std::runtime_error on a malformed line.
std::vector<DesenhoTeclado> lerDesenhos(const std::string& descricao);

} // namespace dominio
