#pragma once
#include "Esquema.h"

#include <string>

namespace dominio {

// The aids a student works with, whichever computer of the lab he or she sits at: one row per
// student in Ajudas.dbf of the working folder, made when an aid is first set. A student with
// no row (or a folder without the table) has every aid off.
struct AjudasAluno {
    bool falar = false;  // the program's own voice
};

const EsquemaTabela& esquemaAjudas();  // Ajudas.dbf

AjudasAluno lerAjudas(const std::string& dir, const std::string& nome);
// Throws xbase::Error when the table cannot be made or written.
void gravarAjudas(const std::string& dir, const std::string& nome, const AjudasAluno& ajudas);
// A student removed or renamed: the row goes, or follows the new name.
void removerAjudasDoAluno(const std::string& dir, const std::string& nome);
void renomearAjudasDoAluno(const std::string& dir, const std::string& antigo, const std::string& novo);

} // namespace dominio
