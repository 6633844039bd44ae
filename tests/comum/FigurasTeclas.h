#pragma once
// Key figures made by hand: `somarFigura(e, U'd', 5, 5, 500)` adds to `e` 5 right and 5 wrong
// keystrokes of "d" that took 500 ms in all.
#include "domain/EstatisticaTeclas.h"

inline void somarFigura(dominio::EstatisticaTeclas& e, char32_t c, int acertos, int erros, int ms)
{
    dominio::FiguraTecla f;
    f.acertos = acertos;
    f.erros = erros;
    f.tempoMs = ms;
    e.somar(c, f);
}
