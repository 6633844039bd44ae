#include "Treino.h"

#include "Linhas.h"
#include "xbase/Codepage.h"

#include <algorithm>
#include <random>

namespace dominio {
namespace {

// A line of the full width ends without Enter, and the Enter a student types after it counts
// as an error: a drill, made of words, keeps one character short of it.
constexpr std::size_t kLarguraTreino = kLarguraLinha - 1;

// Enough different words that the drill does not read as one word repeated.
constexpr std::size_t kPalavrasNoTreino = 24;

struct Candidata {
    std::string palavra;
    double densidade;  // weak characters per character
};

bool tem(const std::u32string& s, char32_t c) { return s.find(c) != std::u32string::npos; }

// Each weak key three times, then groups of three to five taught keys with at least one weak
// key in each. The same drill every time for the same keys.
std::string gruposDeTeclas(const std::u32string& fracas, const std::u32string& ensinadas, std::size_t toques)
{
    std::u32string teclas, alvo;
    for (char32_t c : ensinadas)
        if (c > U' ' && !tem(teclas, c)) teclas += c;
    for (char32_t c : fracas)
        if (tem(teclas, c) && !tem(alvo, c)) alvo += c;
    if (alvo.empty()) return {};

    std::minstd_rand sorteio(1);
    auto ate = [&](std::size_t n) { return std::size_t(sorteio() % n); };
    std::u32string texto;
    auto juntar = [&](const std::u32string& grupo) {
        if (!texto.empty()) texto += U' ';
        texto += grupo;
    };
    for (char32_t c : alvo) juntar(std::u32string(3, c));
    while (texto.size() < toques) {
        std::u32string grupo(3 + ate(3), U' ');
        for (char32_t& c : grupo) c = teclas[ate(teclas.size())];
        if (grupo.find_first_of(alvo) == std::u32string::npos) grupo[ate(grupo.size())] = alvo[ate(alvo.size())];
        juntar(grupo);
    }
    return xbase::codepointsToUtf8(texto);
}

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
    if (candidatas.empty()) return dividirLinhas(gruposDeTeclas(fracas, ensinadas, toques), kLarguraTreino);
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
    return dividirLinhas(texto, kLarguraTreino);
}

} // namespace dominio
