#include "Fontes.h"
#include "Texto.h"

#include <fstream>

namespace makedata {

std::vector<std::string> lerLinhas(const std::string& caminho, bool manterVazias)
{
    std::ifstream in(caminho);
    if (!in)
        throw ErroFonte(caminho + ": não foi possível abrir");
    std::vector<std::string> linhas;
    std::string linha;
    while (std::getline(in, linha)) {
        if (!linha.empty() && linha.back() == '\r')
            linha.pop_back();
        if (!linha.empty() && linha[0] == '#')
            continue;
        if (!manterVazias && aparar(linha).empty())
            continue;
        linhas.push_back(linha);
    }
    return linhas;
}

std::vector<std::string> Bloco::valores(const std::string& chave) const
{
    std::vector<std::string> out;
    const std::string prefixo = chave + ":";
    for (const std::string& l : linhas)
        if (l.compare(0, prefixo.size(), prefixo) == 0)
            out.push_back(aparar(l.substr(prefixo.size())));
    return out;
}

std::string Bloco::valor(const std::string& chave) const
{
    const std::vector<std::string> v = valores(chave);
    return v.empty() ? std::string() : v.front();
}

std::vector<Bloco> lerBlocos(const std::string& caminho)
{
    const std::string cabecalho = "lição ";
    std::vector<Bloco> blocos;
    for (const std::string& linha : lerLinhas(caminho, true)) {
        if (linha.compare(0, cabecalho.size(), cabecalho) == 0) {
            Bloco b;
            b.licao = std::stoi(linha.substr(cabecalho.size()));
            if (b.licao != int(blocos.size()) + 1)
                throw ErroFonte(caminho + ": esperada a lição " + std::to_string(blocos.size() + 1)
                                + ", encontrada a " + std::to_string(b.licao));
            blocos.push_back(b);
        } else if (!blocos.empty()) {
            blocos.back().linhas.push_back(linha);
        } else if (!aparar(linha).empty()) {
            throw ErroFonte(caminho + ": texto antes da primeira lição: " + linha);
        }
    }
    return blocos;
}

std::vector<std::vector<std::string>> lerTabela(const std::string& caminho)
{
    std::vector<std::vector<std::string>> linhas;
    for (const std::string& linha : lerLinhas(caminho, false)) {
        std::vector<std::string> campos;
        std::size_t inicio = 0;
        for (;;) {
            const std::size_t barra = linha.find('|', inicio);
            campos.push_back(aparar(linha.substr(inicio, barra - inicio)));
            if (barra == std::string::npos)
                break;
            inicio = barra + 1;
        }
        linhas.push_back(campos);
    }
    return linhas;
}

std::map<std::string, std::string> lerAtribuicoes(const std::string& caminho)
{
    std::map<std::string, std::string> valores;
    for (const std::string& linha : lerLinhas(caminho, false)) {
        const std::size_t igual = linha.find('=');
        if (igual == std::string::npos)
            throw ErroFonte(caminho + ": linha sem '=': " + linha);
        valores[aparar(linha.substr(0, igual))] = aparar(linha.substr(igual + 1));
    }
    return valores;
}

} // namespace makedata
