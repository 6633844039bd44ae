#pragma once
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

class TApTable;

// Rows a banded report walks when they live in no table of the program: a scratch table of
// text fields C0, C1, ... in a temporary folder of its own, as long as this object lives.
class TabelaDeRelatorio : public QObject {
public:
    TabelaDeRelatorio(int colunas, const QVector<QStringList>& linhas, QObject* pai = nullptr);
    ~TabelaDeRelatorio() override;

    TApTable* tabela() const { return tabela_; }
    // The field that holds a column.
    static QString campo(int coluna);

private:
    QTemporaryDir pasta_;
    TApTable* tabela_;
};
