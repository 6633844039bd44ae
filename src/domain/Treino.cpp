#include "Treino.h"

#include "Linhas.h"
#include "xbase/Codepage.h"

#include <algorithm>

namespace dominio {
namespace {

// Enough different words that the drill does not read as one word repeated.
constexpr std::size_t kPalavrasNoTreino = 24;

struct Candidata {
    std::string palavra;
    double densidade;  // weak characters per character
};

} // namespace

std::vector<std::string> montarTreino(const std::vector<std::string>& palavras, const std::u32string& fracas,
                                      const std::u32string& ensinadas, std::size_t toques)
{
    std::vector<Candidata> candidatas;
    for (const std::string& p : palavras) {
        const std::u32string u = xbase::utf8ToCodepoints(p);
        if (u.empty() || !std::all_of(u.begin(), u.end(), [&](char32_t c) { return ensinadas.find(c) != std::u32string::npos; }))
            continue;
        const auto nFracas = std::count_if(u.begin(), u.end(), [&](char32_t c) { return fracas.find(c) != std::u32string::npos; });
        if (nFracas) candidatas.push_back({p, double(nFracas) / double(u.size())});
    }
    if (candidatas.empty()) return {};
    std::stable_sort(candidatas.begin(), candidatas.end(),
                     [](const Candidata& a, const Candidata& b) { return a.densidade > b.densidade; });
    if (candidatas.size() > kPalavrasNoTreino) candidatas.resize(kPalavrasNoTreino);

    std::string texto;
    std::size_t caracteres = 0;
    for (std::size_t i = 0; caracteres < toques; ++i) {
        const std::string& p = candidatas[i % candidatas.size()].palavra;
        if (!texto.empty()) {
            texto += ' ';
            ++caracteres;
        }
        texto += p;
        caracteres += xbase::utf8Length(p);
    }
    return dividirLinhas(texto);
}

} // namespace dominio
