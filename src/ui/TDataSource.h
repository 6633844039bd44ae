#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class TApTable;

// Links a table to the data-aware controls of one window. It repeats the table's changes as
// dataChange() (position, data or state changed) and keeps the "something was typed" flag
// that decides whether a pending record is saved or dropped when the user moves away.
class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(TApTable* dataSet = nullptr, QObject* parent = nullptr);

    void setDataSet(TApTable* dataSet);
    TApTable* dataSet() const { return dataSet_; }
    bool ativo() const;
    bool editando() const;

    // Starts editing the current record; on an empty table a new record is started instead.
    // Throws what the table throws.
    void edit();
    // A control changed a field of the pending record.
    void marcarAlterado() { alterado_ = true; }
    bool alterado() const { return alterado_; }

    // Asks every control to write what the user typed into the record.
    void updateRecord();
    // Writes the pending record through the table's rules. False when they refused it.
    bool post();
    // Before moving away: a pending change is posted, an untouched one dropped.
    // False when the post was refused (the record stays pending).
    bool checkBrowseMode();

signals:
    void dataChange();          // position, data or state of the table changed
    void stateChange();         // Browse / Edit / Insert / Inactive changed
    void updateRecordPedido();  // controls write their pending text now

private:
    void tabelaMudouEstado();

    TApTable* dataSet_ = nullptr;
    bool alterado_ = false;
};

// Reads the given fields of every visible record, in the table's order, without moving the
// table's cursor as the windows see it. Nothing is read while a record is being edited.
// Fields are given by position; the record numbers go to recnos when it is not null.
bool lerRegistros(TApTable* tabela, const QVector<int>& campos, QVector<QStringList>& linhas,
                  QVector<int>* recnos = nullptr);

// Links a text control to a data source: the control reloads on every change of the record,
// follows the table's state and writes its pending text when the source asks; then it loads.
template <class Controle>
void ligarControle(QPointer<TDataSource>& fonte, TDataSource* nova, Controle* controle,
                   void (Controle::*carregar)(), void (Controle::*estadoMudou)(), void (Controle::*gravar)())
{
    if (fonte) QObject::disconnect(fonte, nullptr, controle, nullptr);
    fonte = nova;
    if (fonte) {
        QObject::connect(fonte, &TDataSource::dataChange, controle, carregar);
        QObject::connect(fonte, &TDataSource::stateChange, controle, estadoMudou);
        QObject::connect(fonte, &TDataSource::updateRecordPedido, controle, gravar);
    }
    (controle->*carregar)();
}

// The text of a field of the current record; empty when the table is closed or has no such field.
QString lerCampo(TDataSource* fonte, const QString& campo);
// Writes a field of the pending record (the caller has started editing). Throws on failure.
void escreverCampo(TDataSource* fonte, const QString& campo, const QString& valor);
