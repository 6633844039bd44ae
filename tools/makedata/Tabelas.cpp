#include "Tabelas.h"
#include "Fontes.h"

#include "xbase/Table.h"

namespace makedata {
namespace {

using xbase::FieldDef;
using xbase::FieldType;
using xbase::Table;

FieldDef texto(const char* nome, int largura) { return {nome, FieldType::Character, largura, 0, 0}; }
FieldDef inteiro(const char* nome, int largura) { return {nome, FieldType::Numeric, largura, 0, 0}; }
FieldDef logico(const char* nome) { return {nome, FieldType::Logical, 1, 0, 0}; }
FieldDef data(const char* nome) { return {nome, FieldType::Date, 8, 0, 0}; }
FieldDef memo(const char* nome) { return {nome, FieldType::Memo, 10, 0, 0}; }

// Field widths: each character field holds its longest value ("Intermediário", "Numérico").
const FieldDef kNome = texto("NOME", 20);
const FieldDef kTipo = texto("TIPO", 8);
const FieldDef kNivel = texto("NIVEL", 13);

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
    Table::create(dir, arquivo, {kTipo, inteiro("LICAO", 3), memo("TEXTO")},
                  {{"TIPO", "TIPO+STR(LICAO,3)"}});
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
    Table::create(dir, arquivo,
                  {texto("LETRA", 2), inteiro("POS", 2), inteiro("SHIFDE", 1), logico("PROX"), texto("PROXL", 2)},
                  {{"LETRA", "LETRA"}});
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
    Table::create(dir, "Usuario.dbf", {kNome, kTipo, inteiro("LICAO", 5), logico("TECLADO"), kNivel});
}

void criarRelat(const std::string& dir)
{
    Table::create(dir, "Relat.dbf", {kNome, kTipo, inteiro("LICAO", 3), inteiro("VELOCIDADE", 5),
                                     inteiro("PRECISAO", 3), texto("RESULTADO", 9)});
}

void criarRecorde(const std::string& dir, const std::vector<std::vector<std::string>>& linhas)
{
    Table::create(dir, "Recorde.dbf", {kTipo, kNome, inteiro("PONTUACAO", 10), inteiro("VELOCIDADE", 5),
                                       inteiro("PRECISAO", 3), inteiro("LICAO", 3), data("DATA")});
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
    Table::create(dir, "Exigen.dbf", {kTipo, kNivel, inteiro("VELOCIDADE", 5), inteiro("PRECISAO", 3)});
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
    Table::create(dir, "Config.dbf", {logico("SOM"), logico("MUSICA"), logico("ABNT2")});
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
