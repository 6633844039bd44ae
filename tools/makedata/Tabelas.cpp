#include "Tabelas.h"
#include "Fontes.h"

#include "domain/Esquema.h"
#include "xbase/Table.h"

namespace makedata {
namespace {

using xbase::Table;
using namespace dominio;

int numeroDe(const std::string& s, const std::string& origem)
{
    try {
        return std::stoi(s);
    } catch (const std::exception&) {
        throw ErroFonte(origem + ": número inválido: " + s);
    }
}

bool logicoDe(const std::string& s, const std::string& origem)
{
    if (s == "T" || s == "F")
        return s == "T";
    throw ErroFonte(origem + ": esperado T ou F: " + s);
}

void exigirColunas(const std::vector<std::string>& linha, std::size_t n, const std::string& origem)
{
    if (linha.size() != n)
        throw ErroFonte(origem + ": esperadas " + std::to_string(n) + " colunas");
}

} // namespace

std::string textoDaLicao(const Licao& l)
{
    std::string t;
    for (std::size_t i = 0; i < l.linhas.size(); ++i)
        t += (i ? "\r\n" : "") + l.linhas[i];
    return t;
}

void criarLicoes(const std::string& dir, const std::string& arquivo, const std::vector<Licao>& licoes)
{
    criarTabela(dir, esquemaLicao(), arquivo);
    Table t;
    t.open(dir, arquivo);
    for (const Licao& l : licoes) {
        t.insert();
        t.setString("TIPO", l.tipo);
        t.setInteger("LICAO", l.numero);
        t.setString("TEXTO", textoDaLicao(l));
        t.post();
    }
}

void criarTeclado(const std::string& dir, const std::string& arquivo, const MapaTeclado& mapa)
{
    criarTabela(dir, esquemaTeclado(), arquivo);
    Table t;
    t.open(dir, arquivo);
    for (const Tecla& k : mapa.teclas()) {
        t.insert();
        t.setString("LETRA", k.letra);
        t.setInteger("POS", k.pos);
        t.setInteger("SHIFDE", k.shift);
        t.setBoolean("PROX", k.prox);
        t.setString("PROXL", k.proxl);
        t.post();
    }
}

void criarUsuario(const std::string& dir)
{
    criarTabela(dir, esquemaUsuario());
}

void criarRelat(const std::string& dir)
{
    criarTabela(dir, esquemaRelat());
}

void criarRecorde(const std::string& dir, const std::vector<std::vector<std::string>>& linhas)
{
    criarTabela(dir, esquemaRecorde());
    Table t;
    t.open(dir, "Recorde.dbf");
    for (const auto& l : linhas) {
        const std::string origem = "recordes: " + (l.empty() ? std::string() : l[0]);
        exigirColunas(l, 6, origem);
        const int velocidade = numeroDe(l[2], origem);
        const int precisao = numeroDe(l[3], origem);
        const int licao = numeroDe(l[4], origem);
        t.insert();
        t.setString("TIPO", l[0]);
        t.setString("NOME", l[1]);
        // The practice window scores a run the same way, so a record is beaten fairly.
        t.setInteger("PONTUACAO", velocidade * precisao + 10 * licao);
        t.setInteger("VELOCIDADE", velocidade);
        t.setInteger("PRECISAO", precisao);
        t.setInteger("LICAO", licao);
        t.setString("DATA", l[5]);
        t.post();
    }
}

void criarExigen(const std::string& dir, const std::vector<std::vector<std::string>>& linhas)
{
    criarTabela(dir, esquemaExigen());
    Table t;
    t.open(dir, "Exigen.dbf");
    for (const auto& l : linhas) {
        const std::string origem = "exigências: " + (l.empty() ? std::string() : l[0]);
        exigirColunas(l, 4, origem);
        t.insert();
        t.setString("TIPO", l[0]);
        t.setString("NIVEL", l[1]);
        t.setInteger("VELOCIDADE", numeroDe(l[2], origem));
        t.setInteger("PRECISAO", numeroDe(l[3], origem));
        t.post();
    }
}

void criarConfig(const std::string& dir, const std::map<std::string, std::string>& valores)
{
    criarTabela(dir, esquemaConfig());
    Table t;
    t.open(dir, "Config.dbf");
    t.insert();
    for (const char* campo : {"SOM", "MUSICA", "ABNT2"}) {
        const auto v = valores.find(campo);
        if (v == valores.end())
            throw ErroFonte(std::string("config: falta ") + campo);
        t.setBoolean(campo, logicoDe(v->second, "config"));
    }
    t.post();
}

} // namespace makedata
