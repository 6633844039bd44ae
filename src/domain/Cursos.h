#pragma once
#include <string>
#include <vector>

namespace dominio {

// The course types, in the order of the choice lists and of the records table.
// Compared exactly (accents and case count).
struct TipoCurso {
    const char* nome;     // "Básico", "Avançado", "Textos", "Numérico"
    int maxLicoes;        // highest lesson of the type
    int slotRecorde;      // record number in Recorde.dbf
};

const std::vector<TipoCurso>& tiposCurso();
// The type of that name, or nullptr for any other text (empty included).
const TipoCurso* tipoCurso(const std::string& nome);
// Highest lesson for the student-record rule: 20 for any text outside the four.
int maxLicoesAluno(const std::string& tipo);
// Record slot of a type: 1 for any text outside the four.
int slotRecorde(const std::string& tipo);

// The levels, in the order of the choice lists.
const std::vector<std::string>& niveis();

extern const char* const kTipoNumerico;  // "Numérico"
extern const char* const kAprovado;      // "Aprovado"
extern const char* const kReprovado;     // "Reprovado"

} // namespace dominio
