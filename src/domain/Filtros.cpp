#include "Filtros.h"

#include <stdexcept>

namespace dominio {
namespace {

// The delimiters of a text literal the engine reads, in order of preference.
struct Delimitador {
    char abre, fecha;
};
constexpr Delimitador kDelimitadores[] = {{'"', '"'}, {'\'', '\''}, {'[', ']'}};

std::string entreAspas(const std::string& texto)
{
    // A name stored by another program may hold a double quote: the first delimiter the text
    // does not contain is used. A text with all of them is refused (podeIrNoFiltro).
    for (const Delimitador& d : kDelimitadores)
        if (texto.find(d.fecha) == std::string::npos) return d.abre + texto + d.fecha;
    throw std::invalid_argument("texto com \", ' e ] não pode entrar num filtro: " + texto);
}

} // namespace

bool podeIrNoFiltro(const std::string& texto)
{
    for (const Delimitador& d : kDelimitadores)
        if (texto.find(d.fecha) == std::string::npos) return true;
    return false;
}

std::string filtroTipo(const std::string& tipo)
{
    return "Tipo = " + entreAspas(tipo);
}

std::string filtroTipoLicao(const std::string& tipo, int licao)
{
    return filtroTipo(tipo) + " .AND. Licao = " + std::to_string(licao);
}

std::string filtroTipoNivel(const std::string& tipo, const std::string& nivel)
{
    return filtroTipo(tipo) + " .AND. Nivel = " + entreAspas(nivel);
}

std::string filtroNome(const std::string& nome)
{
    return "Nome=" + entreAspas(nome);
}

std::string filtroResultado(const std::string& resultado)
{
    return "Resultado = " + entreAspas(resultado);
}

std::string filtroResultados(const std::string& nome, const std::string& tipo, int de, int ate)
{
    return "Nome = " + entreAspas(nome) + " .AND. Tipo=" + entreAspas(tipo)
           + " .AND. Licao >= " + std::to_string(de) + " .AND. Licao <= " + std::to_string(ate);
}

} // namespace dominio
