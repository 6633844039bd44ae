#include "TabelasTurma.h"
#include "AjudasAluno.h"

#include "ArquivoTeclas.h"
#include "Cursos.h"
#include "Filtros.h"
#include "xbase/Table.h"

namespace dominio {

std::vector<AlunoDaTurma> lerAlunos(const std::string& pasta, const std::string& arquivoAlunos)
{
    xbase::Table t;
    t.open(pasta, arquivoAlunos, true);
    const int nome = t.fieldIndex("Nome"), tipo = t.fieldIndex("Tipo"), licao = t.fieldIndex("Licao"),
              nivel = t.fieldIndex("Nivel");
    std::vector<AlunoDaTurma> alunos;
    for (t.first(); !t.eof(); t.next())
        alunos.push_back({t.asString(nome), t.asString(tipo), t.asString(nivel), int(t.asInteger(licao))});
    return alunos;
}

FigurasTurma lerTurma(const std::string& pasta, const std::string& arquivoAlunos, const std::string& arquivoRelat)
{
    xbase::Table t;
    t.open(pasta, arquivoRelat, true);
    return lerTurma(pasta, arquivoAlunos, t);
}

FigurasTurma lerTurma(const std::string& pasta, const std::string& arquivoAlunos, xbase::Table& t)
{
    FigurasTurma turma(lerAlunos(pasta, arquivoAlunos));
    t.readFresh();  // what other computers stored since: only that is read
    const std::string filtro = t.filter();
    const int nome = t.fieldIndex("Nome"), tipo = t.fieldIndex("Tipo"), licao = t.fieldIndex("Licao"),
              velocidade = t.fieldIndex("Velocidade"), precisao = t.fieldIndex("Precisao");
    // The engine's filter marks the passed results faster than a text read per row can.
    std::vector<bool> aprovado(t.physicalCount() + 1, false);
    t.setFilter(filtroResultado(kAprovado));
    for (t.first(); !t.eof(); t.next()) aprovado[t.recNo()] = true;
    t.setFilter({});

    // A row of a removed student or of another course type is not read further.
    for (t.first(); !t.eof(); t.next()) {
        const int aluno = turma.aluno(t.asString(nome), t.asString(tipo));
        if (aluno < 0) continue;
        turma.somar(aluno, int(t.asInteger(licao)), int(t.asInteger(velocidade)), int(t.asInteger(precisao)),
                    aprovado[t.recNo()]);
    }
    t.setFilter(filtro);
    return turma;
}

namespace {

void removerResultados(xbase::Table& relat, const std::string& nome)
{
    relat.readFresh();  // the results other computers posted since
    relat.setFilter(filtroNome(nome));
    try {
        // Only that exact name: another student's name that merely begins with it keeps its results.
        while (!relat.eof()) {
            if (relat.asString("Nome") == nome) relat.deleteRecord();
            else relat.next();
        }
    } catch (...) {
        relat.setFilter({});
        throw;
    }
    relat.setFilter({});
}

} // namespace

bool removerAluno(xbase::Table& alunos, xbase::Table& relat, const std::string& pasta)
{
    // Results carry the name as the results table holds it: the student's field, as stored.
    const std::string nome = alunos.asString("Nome");
    removerResultados(relat, nome);
    removerTeclasDoAluno(pasta, nome);
    removerAjudasDoAluno(pasta, nome);
    alunos.deleteRecord();
    const bool resultados = relat.pack();
    return alunos.pack() && resultados;
}

} // namespace dominio
