#include "DadosTurma.h"

#include "data/Data1.h"
#include "domain/TabelasTurma.h"
#include "xbase/Error.h"

namespace {

// The folder and the file name on the disk (whatever the case of its letters) of a table the
// data module has open.
std::string pastaDe(const TApTable* componente)
{
    if (!componente->active())
        throw xbase::Error(xbase::ErrorKind::Invalid, componente->tableName().toStdString() + ": a tabela não está aberta");
    return componente->databaseName().toStdString();
}

} // namespace

std::vector<dominio::AlunoDaTurma> lerAlunos()
{
    return dominio::lerAlunos(pastaDe(dm1->TabAluno), dm1->TabAluno->engine().tableName());
}

dominio::FigurasTurma lerTurma()
{
    pastaDe(dm1->TabRelat);
    dominio::FigurasTurma turma =
        dominio::lerTurma(pastaDe(dm1->TabAluno), dm1->TabAluno->engine().tableName(), dm1->TabRelat->engine());
    dm1->TabRelat->first();  // the cursor back where its other users expect it
    return turma;
}
