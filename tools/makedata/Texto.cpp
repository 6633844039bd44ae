#include "Texto.h"

#include "xbase/Codepage.h"

namespace makedata {

std::u32string decodificar(const std::string& s) { return xbase::utf8ToCodepoints(s); }
std::string codificar(char32_t cp) { return xbase::codepointsToUtf8(std::u32string(1, cp)); }
std::string codificar(const std::u32string& texto) { return xbase::codepointsToUtf8(texto); }

std::string aparar(const std::string& s)
{
    const std::size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return {};
    return s.substr(a, s.find_last_not_of(" \t\r\n") + 1 - a);
}

std::vector<std::string> palavras(const std::string& s)
{
    std::vector<std::string> out;
    std::string atual;
    for (char c : s) {
        if (c == ' ' || c == '\t') {
            if (!atual.empty())
                out.push_back(atual);
            atual.clear();
        } else {
            atual += c;
        }
    }
    if (!atual.empty())
        out.push_back(atual);
    return out;
}

std::string juntar(const std::vector<std::string>& partes, const std::string& separador)
{
    std::string out;
    for (std::size_t i = 0; i < partes.size(); ++i)
        out += (i ? separador : std::string()) + partes[i];
    return out;
}

// Latin-1 letters are enough: the lessons hold Portuguese only.
bool ehMaiuscula(char32_t c)
{
    return (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

bool ehMinuscula(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= 0xDF && c <= 0xFF && c != 0xF7);
}

bool ehLetra(char32_t c) { return ehMaiuscula(c) || ehMinuscula(c); }

char32_t maiuscula(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 32;
    return c;
}

} // namespace makedata
