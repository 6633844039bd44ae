#include "Texto.h"

namespace makedata {

std::u32string decodificar(const std::string& s)
{
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : 3;
        char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k <= extra && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out += cp;
        i += extra + 1;
    }
    return out;
}

std::string codificar(char32_t cp)
{
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string codificar(const std::u32string& texto)
{
    std::string out;
    for (char32_t c : texto)
        out += codificar(c);
    return out;
}

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
