#include "Linhas.h"

#include "xbase/Codepage.h"

namespace dominio {
namespace {

bool ehBranco(char32_t c) { return c == U' ' || c == U'\t'; }

std::u32string paraU32(const std::string& s) { return xbase::utf8ToCodepoints(s); }
std::string paraUtf8(const std::u32string& s) { return xbase::codepointsToUtf8(s); }

std::u32string aparar32(const std::u32string& s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && ehBranco(s[a])) ++a;
    while (b > a && ehBranco(s[b - 1])) --b;
    return s.substr(a, b - a);
}

// Wraps one paragraph (no line breaks inside) at word boundaries.
void quebrarParagrafo(const std::u32string& p, std::size_t largura, std::vector<std::string>& linhas)
{
    std::size_t pos = 0;
    do {
        const std::u32string resto = p.substr(pos);
        if (resto.size() <= largura) {
            linhas.push_back(paraUtf8(aparar32(resto)));
            return;
        }
        // The last blank at or before the width: the words before it fit on the line.
        std::size_t corte = std::u32string::npos;
        for (std::size_t i = largura; i > 0; --i)
            if (ehBranco(resto[i])) { corte = i; break; }
        if (corte == std::u32string::npos || aparar32(resto.substr(0, corte)).empty()) {
            linhas.push_back(paraUtf8(resto.substr(0, largura)));  // a word wider than a line
            pos += largura;
        } else {
            linhas.push_back(paraUtf8(aparar32(resto.substr(0, corte))));
            pos += corte;
        }
        while (pos < p.size() && ehBranco(p[pos])) ++pos;
    } while (pos < p.size());
}

} // namespace

std::string aparar(const std::string& texto)
{
    std::size_t a = 0, b = texto.size();
    while (a < b && (texto[a] == ' ' || texto[a] == '\t')) ++a;
    while (b > a && (texto[b - 1] == ' ' || texto[b - 1] == '\t')) --b;
    return texto.substr(a, b - a);
}

std::vector<std::string> dividirLinhas(const std::string& texto, std::size_t largura)
{
    std::vector<std::string> linhas;
    if (texto.empty() || largura == 0) return linhas;

    std::vector<std::u32string> paragrafos(1);
    const std::u32string t = paraU32(texto);
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == U'\r' || t[i] == U'\n') {
            if (t[i] == U'\r' && i + 1 < t.size() && t[i + 1] == U'\n') ++i;
            paragrafos.emplace_back();
        } else {
            paragrafos.back() += t[i];
        }
    }
    // A text that ends with a line break has no empty line after it.
    if (paragrafos.size() > 1 && paragrafos.back().empty()) paragrafos.pop_back();

    for (const std::u32string& p : paragrafos) {
        if (p.size() <= largura) linhas.push_back(paraUtf8(aparar32(p)));
        else quebrarParagrafo(p, largura, linhas);
    }
    return linhas;
}

} // namespace dominio
