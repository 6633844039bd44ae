#include "Estatisticas.h"

#include <cstdio>
#include <limits>

namespace dominio {

// The speed formula is defined on the 80-bit extended format; long double is that format on
// x86-64 Linux.
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the 80-bit extended format");

int velocidade(long acertos, int horas, int minutos, int segundos)
{
    // Each step stored to a long double so it is rounded to extended precision on its own.
    volatile long double k = 1.0L / 60.0L;
    volatile long double fracao = static_cast<long double>(segundos) * k;
    volatile long double minutosTotais = static_cast<long double>(60 * horas + minutos) + fracao;
    if (minutosTotais <= 0) return 0;
    volatile long double v = static_cast<long double>(acertos) / minutosTotais;
    return static_cast<int>(v);
}

int precisao(long acertos, long erros)
{
    const long total = acertos + erros;
    return total > 0 ? static_cast<int>(acertos * 100 / total) : 0;
}

std::string textoDuracao(int horas, int minutos, int segundos)
{
    char texto[32];
    if (horas > 0) std::snprintf(texto, sizeof texto, "%d:%02d:%02d", horas, minutos, segundos);
    else std::snprintf(texto, sizeof texto, "%02d:%02d", minutos, segundos);
    return texto;
}

long long pontuacao(long velocidade, long precisao, long licao)
{
    return static_cast<long long>(velocidade) * precisao + 10LL * licao;
}

bool atingiu(long valor, long exigido)
{
    return valor >= exigido;
}

FaixaEixo faixaVelocidade(const std::vector<int>& velocidades)
{
    FaixaEixo f{60, 360};
    for (int v : velocidades) {
        if (v > f.maximo) f.maximo = (v + 99) / 100 * 100;
        if (v < f.minimo) f.minimo = 0;
    }
    return f;
}

} // namespace dominio
