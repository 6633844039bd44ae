#pragma once
// A working directory of empty student and result tables, with the data module pointed at it.
#include "data/Data1.h"
#include "xbase/Table.h"

#include <QTemporaryDir>

class AmbienteAlunos {
public:
    AmbienteAlunos()
    {
        using xbase::FieldType;
        const std::string d = dir.path().toStdString();
        xbase::Table::create(d, "Usuario.dbf",
                             {{"NOME", FieldType::Character, 20},
                              {"TIPO", FieldType::Character, 8},
                              {"LICAO", FieldType::Numeric, 5},
                              {"TECLADO", FieldType::Logical, 1},
                              {"NIVEL", FieldType::Character, 13}});
        xbase::Table::create(d, "Relat.dbf",
                             {{"NOME", FieldType::Character, 20},
                              {"TIPO", FieldType::Character, 8},
                              {"LICAO", FieldType::Numeric, 3},
                              {"VELOCIDADE", FieldType::Numeric, 5},
                              {"PRECISAO", FieldType::Numeric, 3},
                              {"RESULTADO", FieldType::Character, 9}});
        dm = new Tdm1;
        dm1 = dm;
        for (TApTable* t : {dm->TabAluno, dm->TabRelat}) {
            t->setDatabaseName(dir.path());
            t->open();
        }
    }
    ~AmbienteAlunos()
    {
        delete dm;
        dm1 = nullptr;
    }

    void aluno(const QString& nome, const QString& tipo = QStringLiteral("Básico"), int licao = 1)
    {
        TApTable* t = dm->TabAluno;
        t->insert();
        t->fieldByName("Nome").setAsString(nome);
        t->fieldByName("Tipo").setAsString(tipo);
        t->fieldByName("Licao").setAsInteger(licao);
        t->post();
    }

    void resultado(const QString& nome, int licao)
    {
        TApTable* t = dm->TabRelat;
        t->insert();
        t->fieldByName("Nome").setAsString(nome);
        t->fieldByName("Tipo").setAsString(QStringLiteral("Básico"));
        t->fieldByName("Licao").setAsInteger(licao);
        t->fieldByName("Velocidade").setAsInteger(100);
        t->fieldByName("Precisao").setAsInteger(95);
        t->fieldByName("Resultado").setAsString(QStringLiteral("Aprovado"));
        t->post();
    }

    // The names in file order, as another reader of the file sees them.
    QStringList nomesNoArquivo(const QString& arquivo)
    {
        xbase::Table t;
        t.open(dir.path().toStdString(), arquivo.toStdString(), true);
        QStringList nomes;
        for (t.first(); !t.eof(); t.next()) nomes << QString::fromStdString(t.asString("NOME"));
        return nomes;
    }
    uint32_t registrosFisicos(const QString& arquivo)
    {
        xbase::Table t;
        t.open(dir.path().toStdString(), arquivo.toStdString(), true);
        return t.physicalCount();
    }

    QTemporaryDir dir;
    Tdm1* dm = nullptr;
};
