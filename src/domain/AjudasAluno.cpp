#include "AjudasAluno.h"
#include "LinhasDoAluno.h"

#include <algorithm>
#include <iterator>

namespace dominio {
namespace {

// The name and the voice come first in every version of the table; the others are found by name.
enum Campo { kNome, kFalar };

// A logical field the table may lack (written by an older version): false then.
bool logicoSeHouver(const xbase::Table& t, const char* campo)
{
    const int i = t.findField(campo);
    return i >= 0 && t.asBoolean(i);
}

void escrever(xbase::Table& t, const AjudasAluno& ajudas)
{
    t.setBoolean(kFalar, ajudas.falar);
    t.setBoolean("CONTRASTE", ajudas.altoContraste);
    t.setInteger("TAMANHO", tamanhoTextoValido(ajudas.tamanhoTexto));
    t.setBoolean("DISLEXIA", ajudas.fonteDislexia);
}

} // namespace

int tamanhoTextoValido(int percentual)
{
    return std::find(std::begin(kTamanhosTexto), std::end(kTamanhosTexto), percentual) != std::end(kTamanhosTexto)
               ? percentual
               : 100;
}

const EsquemaTabela& esquemaAjudas()
{
    static const EsquemaTabela e{"Ajudas.dbf",
                                 {{"NOME", xbase::FieldType::Character, 20, 0, 0},
                                  {"FALAR", xbase::FieldType::Logical, 1, 0, 0},
                                  {"CONTRASTE", xbase::FieldType::Logical, 1, 0, 0},
                                  {"TAMANHO", xbase::FieldType::Numeric, 3, 0, 0},
                                  {"DISLEXIA", xbase::FieldType::Logical, 1, 0, 0}},
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
    const int tamanho = t.findField("TAMANHO");
    for (t.first(); !t.eof(); t.next()) {
        if (t.asString(kNome) != alvo) continue;
        r.falar = t.asBoolean(kFalar);
        r.altoContraste = logicoSeHouver(t, "CONTRASTE");
        r.tamanhoTexto = tamanho >= 0 ? tamanhoTextoValido(int(t.asInteger(tamanho))) : 100;
        r.fonteDislexia = logicoSeHouver(t, "DISLEXIA");
    }
    return r;
}

void gravarAjudas(const std::string& dir, const std::string& nome, const AjudasAluno& ajudas)
{
    garantirLayout(dir, esquemaAjudas());
    bool achada = false;
    porLinhaDoAluno(dir, esquemaAjudas().arquivo, kNome, nome, [&](xbase::Table& t) {
        achada = true;
        t.edit();
        escrever(t, ajudas);
        t.post();
        t.next();
    });
    if (achada) return;
    xbase::Table t;
    t.open(dir, esquemaAjudas().arquivo);
    t.insert();
    t.setString(kNome, nome);
    escrever(t, ajudas);
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
