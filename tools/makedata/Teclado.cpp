#include "Teclado.h"
#include "Fontes.h"
#include "Texto.h"

#include <set>

namespace makedata {
namespace {

constexpr int kShiftDireito = 1;
constexpr int kShiftEsquerdo = 2;

// "1-6 14-18 26" -> {1..6, 14..18, 26}
std::set<int> lerFaixas(const std::vector<std::string>& partes)
{
    std::set<int> teclas;
    for (std::size_t i = 1; i < partes.size(); ++i) {
        const std::size_t traco = partes[i].find('-');
        const int de = std::stoi(partes[i].substr(0, traco));
        const int ate = traco == std::string::npos ? de : std::stoi(partes[i].substr(traco + 1));
        for (int k = de; k <= ate; ++k)
            teclas.insert(k);
    }
    return teclas;
}

} // namespace

const Tecla* MapaTeclado::achar(const std::string& letra) const
{
    for (const Tecla& t : teclas_)
        if (t.letra == letra)
            return &t;
    return nullptr;
}

Tecla* MapaTeclado::acharParaMudar(const std::string& letra)
{
    return const_cast<Tecla*>(achar(letra));
}

bool MapaTeclado::digitavel(char32_t c) const
{
    return achar(codificar(c)) != nullptr;
}

void MapaTeclado::acrescentar(const Tecla& t, const std::string& origem)
{
    if (achar(t.letra))
        throw ErroFonte(origem + ": caractere repetido: " + t.letra);
    teclas_.push_back(t);
}

MapaTeclado MapaTeclado::ler(const std::string& caminho)
{
    MapaTeclado mapa;
    std::set<int> maoEsquerda;
    for (const std::string& linha : lerLinhas(caminho, false)) {
        const std::vector<std::string> p = palavras(linha);
        const std::string& comando = p[0];
        const std::string origem = caminho + ": " + linha;
        if (comando == "desenho" || comando == "painel") {
            continue;  // the on-screen drawing, read by the practice window
        } else if (comando == "esquerda") {
            maoEsquerda = lerFaixas(p);
        } else if (comando == "enter" && p.size() == 2) {
            mapa.acrescentar({"aa", std::stoi(p[1]), 0, false, ""}, origem);
        } else if (comando == "espaco" && p.size() == 2) {
            mapa.acrescentar({" ", std::stoi(p[1]), 0, false, ""}, origem);
        } else if (comando == "tecla" && (p.size() == 3 || p.size() == 4)) {
            const int pos = std::stoi(p[1]);
            mapa.acrescentar({p[2], pos, 0, false, ""}, origem);
            // A shifted character is typed with the Shift of the other hand.
            if (p.size() == 4)
                mapa.acrescentar({p[3], pos, maoEsquerda.count(pos) ? kShiftDireito : kShiftEsquerdo,
                                  false, ""}, origem);
        } else if (comando == "morta" && p.size() >= 2) {
            for (std::size_t i = 1; i < p.size(); ++i) {
                Tecla* t = mapa.acharParaMudar(p[i]);
                if (!t)
                    throw ErroFonte(origem + ": acento sem tecla: " + p[i]);
                t->prox = true;  // alone, an accent is the dead key followed by a blank
                t->proxl = " ";
            }
        } else if (comando == "acento" && p.size() >= 3) {
            const Tecla* acento = mapa.achar(p[1]);
            if (!acento || !acento->prox)
                throw ErroFonte(origem + ": acento não declarado como tecla morta: " + p[1]);
            const Tecla base = *acento;
            for (std::size_t i = 2; i < p.size(); ++i) {
                const std::u32string par = decodificar(p[i]);
                if (par.size() != 2)
                    throw ErroFonte(origem + ": par inválido: " + p[i]);
                mapa.acrescentar({codificar(par[1]), base.pos, base.shift, true, codificar(par[0])},
                                 origem);
            }
        } else {
            throw ErroFonte(origem + ": linha não reconhecida");
        }
    }
    for (const Tecla& t : mapa.teclas_)
        if (t.prox && !mapa.achar(t.proxl))
            throw ErroFonte(caminho + ": a segunda tecla de " + t.letra + " não existe: " + t.proxl);
    return mapa;
}

} // namespace makedata
