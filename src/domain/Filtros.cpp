#include "Filtros.h"

#include <stdexcept>

namespace dominio {
namespace {

std::string entreAspas(const std::string& texto)
{
    // Names with a quote are refused when a student is saved; one reaching here is a fault.
    if (!podeIrNoFiltro(texto))
        throw std::invalid_argument("texto com aspas não pode entrar num filtro: " + texto);
    return "\"" + texto + "\"";
}

} // namespace

bool podeIrNoFiltro(const std::string& texto)
{
    return texto.find('"') == std::string::npos;
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
