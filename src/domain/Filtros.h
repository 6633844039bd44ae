#pragma once
#include <string>

namespace dominio {

// Every filter text the program hands to the table engine is built here.
// Texts go in double quotes, numbers bare in decimal.

// Tipo = "<tipo>"
std::string filtroTipo(const std::string& tipo);
// Tipo = "<tipo>" .AND. Licao = <n>
std::string filtroTipoLicao(const std::string& tipo, int licao);
// Tipo = "<tipo>" .AND. Nivel = "<nivel>"
std::string filtroTipoNivel(const std::string& tipo, const std::string& nivel);
// Nome="<nome>"
std::string filtroNome(const std::string& nome);
// Nome = "<nome>" .AND. Tipo="<tipo>" .AND. Licao >= <a> .AND. Licao <= <b>
std::string filtroResultados(const std::string& nome, const std::string& tipo, int de, int ate);

// Resultado = "<resultado>" (the class view marks the passed results with it)
std::string filtroResultado(const std::string& resultado);

// A name or text that may be put between the double quotes of a filter: it must not
// contain a double quote (it would end the literal early and change the filter).
bool podeIrNoFiltro(const std::string& texto);

} // namespace dominio
