#include "Cursos.h"

namespace dominio {

const char* const kTipoNumerico = "Numérico";
const char* const kAprovado = "Aprovado";
const char* const kReprovado = "Reprovado";

const std::vector<TipoCurso>& tiposCurso()
{
    static const std::vector<TipoCurso> tipos = {
        {"Básico", 60, 1},
        {"Avançado", 40, 2},
        {"Textos", 20, 3},
        {"Numérico", 30, 4},
    };
    return tipos;
}

const TipoCurso* tipoCurso(const std::string& nome)
{
    for (const TipoCurso& t : tiposCurso())
        if (nome == t.nome) return &t;
    return nullptr;
}

int maxLicoesAluno(const std::string& tipo)
{
    const TipoCurso* t = tipoCurso(tipo);
    return t ? t->maxLicoes : 20;
}

int slotRecorde(const std::string& tipo)
{
    const TipoCurso* t = tipoCurso(tipo);
    return t ? t->slotRecorde : 1;
}

const std::vector<std::string>& niveis()
{
    static const std::vector<std::string> lista = {
        "Iniciante", "Básico", "Intermediário", "Avançado", "Profissional",
    };
    return lista;
}

} // namespace dominio
