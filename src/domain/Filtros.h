#pragma once
#include <string>

namespace dominio {

// Every filter text the program hands to the table engine is built here.
// Texts go in double quotes (in '…' or […] when they hold a double quote), numbers bare.

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

// A text that can be put in a filter literal: one of the delimiters " ' ] is absent from it
// (a delimiter inside would end the literal early and change the filter).
bool podeIrNoFiltro(const std::string& texto);

} // namespace dominio
