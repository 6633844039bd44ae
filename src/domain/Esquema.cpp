#include "Esquema.h"

#include "ArquivoTeclas.h"

#include "xbase/Table.h"

#include <cctype>
#include <chrono>
#include <thread>


namespace dominio {
namespace {

using xbase::FieldDef;
using xbase::FieldType;

FieldDef texto(const char* nome, int largura) { return {nome, FieldType::Character, largura, 0, 0}; }
FieldDef inteiro(const char* nome, int largura) { return {nome, FieldType::Numeric, largura, 0, 0}; }
FieldDef logico(const char* nome) { return {nome, FieldType::Logical, 1, 0, 0}; }
FieldDef data(const char* nome) { return {nome, FieldType::Date, 8, 0, 0}; }
FieldDef memo(const char* nome) { return {nome, FieldType::Memo, 10, 0, 0}; }

// Each character field holds its longest value ("Intermediário", "Numérico").
const FieldDef kNome = texto("NOME", 20);
const FieldDef kTipo = texto("TIPO", 8);
const FieldDef kNivel = texto("NIVEL", 13);

} // namespace

const EsquemaTabela& esquemaUsuario()
{
    static const EsquemaTabela e{"Usuario.dbf", {kNome, kTipo, inteiro("LICAO", 5), logico("TECLADO"), kNivel}, {}};
    return e;
}

const EsquemaTabela& esquemaRelat()
{
    static const EsquemaTabela e{"Relat.dbf",
                                 {kNome, kTipo, inteiro("LICAO", 3), inteiro("VELOCIDADE", 5),
                                  inteiro("PRECISAO", 3), texto("RESULTADO", 9)},
                                 {}};
    return e;
}

const EsquemaTabela& esquemaRecorde()
{
    static const EsquemaTabela e{"Recorde.dbf",
                                 {kTipo, kNome, inteiro("PONTUACAO", 10), inteiro("VELOCIDADE", 5),
                                  inteiro("PRECISAO", 3), inteiro("LICAO", 3), data("DATA")},
                                 {}};
    return e;
}

const EsquemaTabela& esquemaExigen()
{
    static const EsquemaTabela e{"Exigen.dbf", {kTipo, kNivel, inteiro("VELOCIDADE", 5), inteiro("PRECISAO", 3)}, {}};
    return e;
}

const EsquemaTabela& esquemaConfig()
{
    static const EsquemaTabela e{"Config.dbf", {logico("SOM"), logico("MUSICA"), logico("ABNT2")}, {}};
    return e;
}

const EsquemaTabela& esquemaLicao()
{
    static const EsquemaTabela e{"LicaoB.dbf", {kTipo, inteiro("LICAO", 3), memo("TEXTO")},
                                 {{"TIPO", "TIPO+STR(LICAO,3)"}}};
    return e;
}

const EsquemaTabela& esquemaTeclado()
{
    static const EsquemaTabela e{"TecladoB.dbf",
                                 {texto("LETRA", 2), inteiro("POS", 2), inteiro("SHIFDE", 1), logico("PROX"),
                                  texto("PROXL", 2)},
                                 {{"LETRA", "LETRA"}}};
    return e;
}

const EsquemaTabela* esquemaDoArquivo(const std::string& arquivo)
{
    const auto minusculas = [](std::string s) {
        for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::string nome = minusculas(arquivo);
    if (nome.size() < 4 || nome.compare(nome.size() - 4, 4, ".dbf") != 0) nome += ".dbf";
    if (nome == "licaoa.dbf" || nome == "licaob.dbf") return &esquemaLicao();
    for (const EsquemaTabela* e : {&esquemaUsuario(), &esquemaRelat(), &esquemaRecorde(), &esquemaConfig(), &esquemaTeclas()})
        if (minusculas(e->arquivo) == nome) return e;
    return nullptr;
}

namespace {

bool temCampo(const std::vector<FieldDef>& campos, const FieldDef& procurado)
{
    for (const FieldDef& c : campos)
        if (c.name == procurado.name && c.type == procurado.type) return true;
    return false;
}

// This version's fields, then those of the table that this version does not know (written by
// a later one), so that the rewrite loses nothing.
std::vector<FieldDef> camposUnidos(const std::vector<FieldDef>& doEsquema, const std::vector<FieldDef>& daTabela)
{
    std::vector<FieldDef> r = doEsquema;
    for (const FieldDef& c : daTabela)
        if (!temCampo(doEsquema, c)) r.push_back(c);
    return r;
}

} // namespace

void garantirLayout(const std::string& dir, const EsquemaTabela& esquema)
{
    // Two computers may make the table at once: it is made whole beside and put in place only
    // where none is yet.
    xbase::Table::createIfMissing(dir, esquema.arquivo, esquema.campos, esquema.tags);
    xbase::Table t;
    t.open(dir, esquema.arquivo);
    bool falta = false;
    for (const FieldDef& c : esquema.campos) falta = falta || !temCampo(t.fields(), c);
    if (!falta) return;
    const std::vector<FieldDef> campos = camposUnidos(esquema.campos, t.fields());
    // The rewrite needs the table alone: another computer only holds it for a read or a write,
    // so it is tried until the lock wait has passed (once at least).
    using Relogio = std::chrono::steady_clock;
    const Relogio::time_point limite =
        Relogio::now() + std::chrono::milliseconds(xbase::environment().lockWaitMilliseconds);
    while (!t.changeLayout(campos)) {
        if (Relogio::now() >= limite)
            throw xbase::Error(xbase::ErrorKind::Busy,
                               std::string(esquema.arquivo) + " está em uso por outro computador; tente de novo");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void criarTabela(const std::string& dir, const EsquemaTabela& esquema, const std::string& arquivo)
{
    xbase::Table::create(dir, arquivo.empty() ? std::string(esquema.arquivo) : arquivo, esquema.campos, esquema.tags);
}

} // namespace dominio
