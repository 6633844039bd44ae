#include "EstatisticaTeclas.h"

#include "DesenhoTeclado.h"
#include "NomesTeclas.h"
#include "xbase/Codepage.h"

#include <algorithm>

namespace dominio {

char32_t FiguraTecla::trocaMaisComum() const
{
    char32_t melhor = 0;
    long long vezes = 0;
    for (const auto& [c, n] : trocas)
        if (n > vezes) {
            melhor = c;
            vezes = n;
        }
    return melhor;
}

long long FiguraTecla::vezesTroca() const
{
    const char32_t c = trocaMaisComum();
    return c ? trocas.at(c) : 0;
}

void EstatisticaTeclas::registrar(char32_t esperada, char32_t digitada, long long ms)
{
    FiguraTecla& f = figuras_[esperada];
    if (esperada == digitada) {
        ++f.acertos;
        if (ultimoMs_ >= 0 && ms > ultimoMs_) f.tempoMs += ms - ultimoMs_;
    } else {
        ++f.erros;
        ++f.trocas[digitada];
    }
    ultimoMs_ = ms;
}

void FiguraTecla::somar(const FiguraTecla& outra)
{
    acertos += outra.acertos;
    erros += outra.erros;
    tempoMs += outra.tempoMs;
    for (const auto& [c, n] : outra.trocas) trocas[c] += n;
}

void EstatisticaTeclas::somar(char32_t tecla, const FiguraTecla& figura) { figuras_[tecla].somar(figura); }

char32_t EstatisticaTeclas::maisErrada() const
{
    char32_t pior = 0;
    const FiguraTecla* fp = nullptr;
    for (const auto& [c, f] : figuras_) {
        if (f.erros == 0) continue;
        if (!fp || f.erros > fp->erros || (f.erros == fp->erros && f.taxaErro() > fp->taxaErro())) {
            pior = c;
            fp = &f;
        }
    }
    return pior;
}

std::vector<char32_t> EstatisticaTeclas::maisFracas(std::size_t quantas, long long minimoToques) const
{
    std::vector<char32_t> r;
    for (const auto& [c, f] : figuras_)
        if (f.toques() >= minimoToques) r.push_back(c);
    std::stable_sort(r.begin(), r.end(), [this](char32_t a, char32_t b) {
        const FiguraTecla& fa = figuras_.at(a);
        const FiguraTecla& fb = figuras_.at(b);
        if (fa.taxaErro() != fb.taxaErro()) return fa.taxaErro() > fb.taxaErro();
        return fa.msPorToque() > fb.msPorToque();
    });
    if (r.size() > quantas) r.resize(quantas);
    return r;
}

std::string utf8(char32_t c) { return xbase::codepointsToUtf8(std::u32string(1, c)); }

std::string nomeTecla(char32_t c)
{
    if (c == U'\r') return "Enter";
    if (c == U' ') return "Espaço";
    return utf8(c);
}

std::string textoTroca(char32_t esperada, char32_t digitada)
{
    char32_t baseE = 0, acentoE = 0, baseD = 0, acentoD = 0;
    if (decomporAcento(esperada, baseE, acentoE) && decomporAcento(digitada, baseD, acentoD) && baseE == baseD)
        return utf8(acentoD) + " em vez de " + utf8(acentoE);
    return nomeTecla(esperada) + " → " + nomeTecla(digitada);
}

std::string linhaMaisErrada(const EstatisticaTeclas& figuras)
{
    const char32_t c = figuras.maisErrada();
    if (!c) return {};
    const FiguraTecla& f = figuras.figuras().at(c);
    const std::string vezes = f.erros == 1 ? "1 vez" : std::to_string(f.erros) + " vezes";
    const char32_t troca = f.trocaMaisComum();
    return "Tecla mais errada: " + nomeTecla(c) + " (" + vezes + (troca ? "; " + textoTroca(c, troca) : "") + ")";
}

std::map<int, FiguraTecla> figurasPorTecla(const EstatisticaTeclas& figuras, const DesenhoTeclado& desenho)
{
    std::map<char32_t, int> teclaDe;
    for (const auto& [tecla, caracteres] : desenho.caracteres)
        for (const std::string& c : caracteres) {
            const std::u32string u = xbase::utf8ToCodepoints(c);
            if (u.size() == 1) teclaDe.emplace(u[0], tecla);
        }
    auto achar = [&teclaDe](const std::vector<char32_t>& opcoes) {
        for (char32_t c : opcoes)
            if (const auto t = teclaDe.find(c); t != teclaDe.end()) return t->second;
        return 0;
    };
    std::map<int, FiguraTecla> r;
    auto somar = [&r](int tecla, const FiguraTecla& f) {
        if (tecla) r[tecla].somar(f);
    };
    for (const auto& [c, f] : figuras.figuras()) {
        if (const int tecla = achar({c})) {
            somar(tecla, f);
            continue;
        }
        // Keyboards without the letter type it with a dead key: US-International's quote key
        // gives the acute, the double quote the diaeresis, and acute + c the cedilla.
        char32_t base = 0, acento = 0;
        if (minusculaLatin1(c) == U'ç') {
            acento = U'´';
        } else if (!decomporAcento(c, base, acento)) {
            continue;
        }
        somar(achar(caracteresDoAcento(acento)), f);
    }
    return r;
}

} // namespace dominio
