#pragma once
#include <string>
#include <vector>

namespace makedata {

// Code points of a UTF-8 text and back.
std::u32string decodificar(const std::string& utf8);
std::string codificar(const std::u32string& texto);
std::string codificar(char32_t c);

std::string aparar(const std::string& s);
// Splits at runs of blanks.
std::vector<std::string> palavras(const std::string& s);
// Joins with one separator between the parts.
std::string juntar(const std::vector<std::string>& partes, const std::string& separador);

bool ehMaiuscula(char32_t c);
bool ehMinuscula(char32_t c);
bool ehLetra(char32_t c);
char32_t maiuscula(char32_t c);

} // namespace makedata
