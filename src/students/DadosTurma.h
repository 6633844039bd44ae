#pragma once
#include "domain/Turma.h"

// The class figures from the students and results files the data module uses, read fresh
// through handles of their own, so the data module's cursors and filters stay as they are.
dominio::FigurasTurma lerTurma();

// The registered students, in file order.
std::vector<dominio::AlunoDaTurma> lerAlunos();
