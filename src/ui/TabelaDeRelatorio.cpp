#include "TabelaDeRelatorio.h"

#include "data/TApTable.h"
#include "xbase/Table.h"

TabelaDeRelatorio::TabelaDeRelatorio(int colunas, const QVector<QStringList>& linhas, QObject* pai)
    : QObject(pai), tabela_(new TApTable(this))
{
    std::vector<xbase::FieldDef> campos;
    for (int i = 0; i < colunas; ++i) campos.push_back({campo(i).toStdString(), xbase::FieldType::Character, 40});
    xbase::Table::create(pasta_.path().toStdString(), "Linhas.dbf", campos);
    tabela_->setDatabaseName(pasta_.path());
    tabela_->setTableName(QStringLiteral("Linhas.dbf"));
    tabela_->open();
    for (const QStringList& linha : linhas) {
        tabela_->insert();
        for (int i = 0; i < colunas && i < linha.size(); ++i) tabela_->fields(i).setAsString(linha[i]);
        tabela_->post();
    }
}

TabelaDeRelatorio::~TabelaDeRelatorio() { tabela_->close(); }

QString TabelaDeRelatorio::campo(int coluna) { return QStringLiteral("C%1").arg(coluna); }
