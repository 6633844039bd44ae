#pragma once
#include <QPointer>
#include <QTableWidget>
#include <QVector>

#include "TDataSource.h"

// A read-only grid over the visible records of a table: one row per record, in the table's
// order, whole rows selected, the current record marked in the row indicator. Without chosen
// columns it shows every field in table order, titled by the field names.
class TDBGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);

    void setDataSource(TDataSource* fonte);
    TDataSource* dataSource() const { return fonte_; }
    // Fields to show, in this order (empty: every field).
    void setColunas(const QStringList& campos);
    // Background in the system's tooltip colour (light yellow).
    void setFundoDica(bool sim);

    // Re-reads the rows now (otherwise done shortly after the table changes).
    void recarregar();

private:
    void agendar();
    void linhaEscolhida(int linha);
    void marcarAtual();
    QString textoCelula(int campo, const QString& valor) const;

    QPointer<TDataSource> fonte_;
    QStringList colunas_;
    QVector<int> campos_;
    QVector<int> recnos_;
    bool agendado_ = false;
};
