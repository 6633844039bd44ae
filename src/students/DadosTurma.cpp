#include "DadosTurma.h"

#include "data/Data1.h"
#include "domain/Cursos.h"
#include "domain/Filtros.h"
#include "xbase/Table.h"

namespace {

// A second, read-only handle on the file a table component has open (its name as found on
// the disk, whatever the case of the letters).
void abrirAoLado(xbase::Table& t, const TApTable* componente)
{
    if (!componente->active())
        throw xbase::Error(componente->tableName().toStdString() + ": a tabela não está aberta");
    t.open(componente->databaseName().toStdString(), componente->engine().tableName(), true);
}

} // namespace

std::vector<dominio::AlunoDaTurma> lerAlunos()
{
    xbase::Table t;
    abrirAoLado(t, dm1->TabAluno);
    const int nome = t.fieldIndex("Nome"), tipo = t.fieldIndex("Tipo"), licao = t.fieldIndex("Licao"),
              nivel = t.fieldIndex("Nivel");
    std::vector<dominio::AlunoDaTurma> alunos;
    for (t.first(); !t.eof(); t.next())
        alunos.push_back({t.asString(nome), t.asString(tipo), t.asString(nivel), int(t.asInteger(licao))});
    return alunos;
}

dominio::FigurasTurma lerTurma()
{
    dominio::FigurasTurma turma(lerAlunos());
    xbase::Table t;
    abrirAoLado(t, dm1->TabRelat);
    const int nome = t.fieldIndex("Nome"), tipo = t.fieldIndex("Tipo"), licao = t.fieldIndex("Licao"),
              velocidade = t.fieldIndex("Velocidade"), precisao = t.fieldIndex("Precisao");
    // The engine's filter marks the passed results faster than a text read per row can.
    std::vector<bool> aprovado(t.physicalCount() + 1, false);
    t.setFilter(dominio::filtroResultado(dominio::kAprovado));
    for (t.first(); !t.eof(); t.next()) aprovado[t.recNo()] = true;
    t.setFilter({});

    // A row of a removed student or of another course type is not read further.
    for (t.first(); !t.eof(); t.next()) {
        const int aluno = turma.aluno(t.asString(nome), t.asString(tipo));
        if (aluno < 0) continue;
        turma.somar(aluno, int(t.asInteger(licao)), int(t.asInteger(velocidade)), int(t.asInteger(precisao)),
                    aprovado[t.recNo()]);
    }
    return turma;
}
