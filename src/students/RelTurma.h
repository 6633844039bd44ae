#pragma once
#include "domain/Turma.h"

#include <QObject>

class QWidget;
class TabelaDeRelatorio;
class TQuickRep;

// The printed class report: title, date, one band per student with the class sheet's cells,
// the class totals at the end. The report machinery walks a table, so the rows are put in a
// scratch table of their own that lives as long as the report.
class TfRelTurma : public QObject {
public:
    TfRelTurma(const dominio::Planilha& turma, const dominio::TotaisTurma& totais, QObject* parent = nullptr);

    TQuickRep* QuickRep1;

    void Preview(QWidget* pai);
    bool exportarPdf(const QString& arquivo);

private:
    void criarBandas(const dominio::Planilha& turma, const dominio::TotaisTurma& totais);

    TabelaDeRelatorio* linhas_;
};
