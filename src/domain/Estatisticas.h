#pragma once
#include <string>
#include <vector>

namespace dominio {

// Speed in keystrokes per minute after h:m:s of typing with `acertos` correct keystrokes:
// acertos / (60·h + m + s·k), truncated, with k = 1/60 as the nearest 80-bit extended value
// and every step rounded to extended precision (so 1 keystroke in 1 second gives 59).
// Only meaningful when s is not 0; the clock keeps the previous speed on whole minutes.
int velocidade(long acertos, int horas, int minutos, int segundos);

// Accuracy in whole percent (integer division); 0 when nothing was typed.
int precisao(long acertos, long erros);

// "05:09", or "1:05:09" once an hour has passed.
std::string textoDuracao(int horas, int minutos, int segundos);

// Score of a finished lesson: speed × accuracy + 10 × lesson, in full (never wrapped).
long long pontuacao(long velocidade, long precisao, long licao);

// Equal values pass.
bool atingiu(long valor, long exigido);

// The speed axis of the charts: 60 to 360 keystrokes a minute while every speed fits; past 360
// it reaches the next hundred above the highest speed, and under 60 it starts at 0.
struct FaixaEixo {
    int minimo, maximo;
};
FaixaEixo faixaVelocidade(const std::vector<int>& velocidades);

} // namespace dominio
