#pragma once
#include "Turma.h"

#include <string>
#include <vector>

namespace xbase {
class Table;
}

namespace dominio {

// The class as the students and results files hold it at this moment (other computers of a
// lab write them meanwhile): each read opens read-only handles of its own and closes them, so
// that it sees every finished post and keeps nobody from packing.
std::vector<AlunoDaTurma> lerAlunos(const std::string& pasta, const std::string& arquivoAlunos);
FigurasTurma lerTurma(const std::string& pasta, const std::string& arquivoAlunos, const std::string& arquivoRelat);
// The same through the results table the program holds open: a fresh read takes in only what
// other computers stored since, so a class of years of results is not read again each time.
// Its filter is kept; its cursor is left at the end.
FigurasTurma lerTurma(const std::string& pasta, const std::string& arquivoAlunos, xbase::Table& relat);

// Removes the student on whom `alunos` stands: the results, the key figures and the row.
// The rows are marked deleted at once, out of sight everywhere; each table is packed when no
// other computer has it open, else by a later pack or open. True when both packs ran.
bool removerAluno(xbase::Table& alunos, xbase::Table& relat, const std::string& pasta);

} // namespace dominio
