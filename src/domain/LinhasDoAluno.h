#pragma once
// The rows a student owns in a table of the working folder beside the results (key figures,
// aids): found by the name as the table's 20 characters keep it, carried by a rename and
// removed with the student.
#include "xbase/Codepage.h"
#include "xbase/File.h"
#include "xbase/Table.h"

#include <string>

namespace dominio {

// The name as the field keeps it: cut to its length, without trailing spaces.
inline std::string comoGravado(const std::string& texto, const xbase::FieldDef& campo)
{
    std::u32string s = xbase::utf8ToCodepoints(texto);
    if (s.size() > std::size_t(campo.length)) s.resize(std::size_t(campo.length));
    while (!s.empty() && s.back() == U' ') s.pop_back();
    return xbase::codepointsToUtf8(s);
}

// Runs `acao` on each row of the student, which moves the cursor on itself; without the
// table there is nothing to do.
template <class Acao>
void porLinhaDoAluno(const std::string& dir, const std::string& arquivo, int campoNome, const std::string& nome,
                     Acao acao)
{
    if (!xbase::fileExists(xbase::joinPath(dir, arquivo))) return;
    xbase::Table t;
    t.open(dir, arquivo);
    const std::string alvo = comoGravado(nome, t.fieldDef(campoNome));
    t.first();
    while (!t.eof()) {
        if (t.asString(campoNome) == alvo) acao(t);
        else t.next();
    }
}

inline void removerLinhasDoAluno(const std::string& dir, const std::string& arquivo, int campoNome,
                                 const std::string& nome)
{
    porLinhaDoAluno(dir, arquivo, campoNome, nome, [](xbase::Table& t) { t.deleteRecord(); });
}

inline void renomearLinhasDoAluno(const std::string& dir, const std::string& arquivo, int campoNome,
                                  const std::string& antigo, const std::string& novo)
{
    porLinhaDoAluno(dir, arquivo, campoNome, antigo, [&](xbase::Table& t) {
        t.edit();
        t.setString(campoNome, novo);
        t.post();
        t.next();
    });
}

} // namespace dominio
