#pragma once
#include "Esquema.h"

#include <string>

namespace dominio {

// The aids a student works with, whichever computer of the lab he or she sits at: one row per
// student in Ajudas.dbf of the working folder, made when an aid is first set. A student with
// no row (or a folder without the table) has every aid off.
struct AjudasAluno {
    bool falar = false;          // the program's own voice
    bool altoContraste = false;  // light text on black, every text at 7:1 or more
    int tamanhoTexto = 100;      // percent: 100, 150 or 200
    bool fonteDislexia = false;  // the lesson and the copy in a font made for dyslexic readers
};

// The text sizes offered, in percent.
inline constexpr int kTamanhosTexto[] = {100, 150, 200};
// The size itself when offered, else 100 (a table written by hand, or damaged).
int tamanhoTextoValido(int percentual);

const EsquemaTabela& esquemaAjudas();  // Ajudas.dbf

// A table of an older version, without the newer aids' fields, reads as those aids off and
// is brought to this layout by the first write.
AjudasAluno lerAjudas(const std::string& dir, const std::string& nome);
// Throws xbase::Error when the table cannot be made or written.
void gravarAjudas(const std::string& dir, const std::string& nome, const AjudasAluno& ajudas);
// A student removed or renamed: the row goes, or follows the new name.
void removerAjudasDoAluno(const std::string& dir, const std::string& nome);
void renomearAjudasDoAluno(const std::string& dir, const std::string& antigo, const std::string& novo);

} // namespace dominio
