#include "AjudasAluno.h"
#include "LinhasDoAluno.h"

namespace dominio {
namespace {

enum Campo { kNome, kFalar };

} // namespace

const EsquemaTabela& esquemaAjudas()
{
    static const EsquemaTabela e{"Ajudas.dbf",
                                 {{"NOME", xbase::FieldType::Character, 20, 0, 0},
                                  {"FALAR", xbase::FieldType::Logical, 1, 0, 0}},
                                 {}};
    return e;
}

AjudasAluno lerAjudas(const std::string& dir, const std::string& nome)
{
    AjudasAluno r;
    if (!xbase::fileExists(xbase::joinPath(dir, esquemaAjudas().arquivo))) return r;
    xbase::Table t;
    t.open(dir, esquemaAjudas().arquivo, true);
    const std::string alvo = comoGravado(nome, t.fieldDef(kNome));
    for (t.first(); !t.eof(); t.next())
        if (t.asString(kNome) == alvo) r.falar = t.asBoolean(kFalar);
    return r;
}

void gravarAjudas(const std::string& dir, const std::string& nome, const AjudasAluno& ajudas)
{
    // Two computers may make the table at once: it is made whole beside and put in place
    // only where none is yet.
    xbase::Table::createIfMissing(dir, esquemaAjudas().arquivo, esquemaAjudas().campos, esquemaAjudas().tags);
    bool achada = false;
    porLinhaDoAluno(dir, esquemaAjudas().arquivo, kNome, nome, [&](xbase::Table& t) {
        achada = true;
        t.edit();
        t.setBoolean(kFalar, ajudas.falar);
        t.post();
        t.next();
    });
    if (achada) return;
    xbase::Table t;
    t.open(dir, esquemaAjudas().arquivo);
    t.insert();
    t.setString(kNome, nome);
    t.setBoolean(kFalar, ajudas.falar);
    t.post();
}

void removerAjudasDoAluno(const std::string& dir, const std::string& nome)
{
    removerLinhasDoAluno(dir, esquemaAjudas().arquivo, kNome, nome);
}

void renomearAjudasDoAluno(const std::string& dir, const std::string& antigo, const std::string& novo)
{
    renomearLinhasDoAluno(dir, esquemaAjudas().arquivo, kNome, antigo, novo);
}

} // namespace dominio
