#pragma once
#include "EstatisticaTeclas.h"
#include "Esquema.h"

#include <string>

namespace dominio {

// The key figures of the finished lessons, one row per lesson linked to the student, the
// course type, the lesson and the date, its characters' figures in the memo TECLAS (a line per
// character: code, right, wrong, ms on the right ones, code typed instead most often, times).
// One row per lesson keeps the end of a lesson and the reading of thousands of lessons quick.
// Kept in the working folder beside the results; the results never depend on it.
const EsquemaTabela& esquemaTeclas();  // Teclas.dbf
// Beside them, their sums per student, course type and lesson (TecSoma.dbf: the lessons
// summed in LICOES, the last row summed in ATE, the figures in TECLAS with every character
// typed instead; record 1 marks up to which row all are summed). The end of a lesson only adds
// its row; reading the figures first sums the rows stored since, so the "Teclas" window reads
// one sum per lesson of the course, not one row per lesson ever typed, however long the
// school keeps them. A plain table with a memo, as the other xBase programs read. A working
// folder without it gets it, summed from every row, when the figures are first read.
const EsquemaTabela& esquemaSomasTeclas();

// Adds the lesson's row, making the table when it is missing. Throws xbase::Error.
void gravarTeclas(const std::string& dir, const std::string& nome, const std::string& tipo, int licao,
                  int ano, int mes, int dia, const EstatisticaTeclas& figuras);
// The figures of the student's lessons `de`..`ate` of the type, summed per character. No
// table: no figures.
EstatisticaTeclas lerTeclas(const std::string& dir, const std::string& nome, const std::string& tipo, int de,
                            int ate);
// A student removed: his or her rows go. A student renamed: the rows follow the new name.
void removerTeclasDoAluno(const std::string& dir, const std::string& nome);
void renomearTeclasDoAluno(const std::string& dir, const std::string& antigo, const std::string& novo);

} // namespace dominio
