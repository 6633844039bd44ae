#pragma once
#include "ui/TDBNavigator.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class TDataSource;
class TDBComboBox;
class TDBEdit;

// Student registration: browse, add, edit and remove the students of Usuario.dbf, one at a
// time. The record rules (unique name, highest lesson, defaults) are the data module's.
class TfCadastro : public QDialog {
    Q_OBJECT
public:
    explicit TfCadastro(QWidget* parent = nullptr);

    QFrame* Panel4;
    QLabel* Image1;
    TDBNavigator* DBNavigator1;
    QPushButton* b1;
    QLabel* Label4;
    TDBEdit* DBEdit1;
    QLabel* Label6;
    TDBEdit* DBEdit2;
    QLabel* Label8;
    TDBComboBox* DBComboBox1;
    QLabel* Label9;
    TDBComboBox* DBComboBox2;
    QLabel* Label1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn3;
    TDataSource* DataSource1;

    void DataSource1DataChange();
    void DBNavigator1Click(TDBNavigator::Botao botao);
    void b1Click();
    void BitBtn3Click();

    // The teacher's class: the class view and the import of a class list.
    QPushButton* bTurma;
    QPushButton* bImportar;
    void bTurmaClick();
    void bImportarClick();

    // Closing saves a pending change through the record rules; a refused one keeps the window.
    void done(int resultado) override;
    // What other computers changed in the students, taken in while nothing is being typed.
    void seguirOutrosComputadores();
    QTimer* timerOutros = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ordenarTab();
    void criarControles();
    void criarBotoesTurma();
    void removerAluno();
};

// Upper case of a name, letter by letter, where the capital exists in Windows-1252 ("µ" stays:
// its capital is Greek).
QString maiusculas1252(const QString& texto);

// Opens the registration window modally; it is destroyed when it closes.
void abrirCadastro(QWidget* pai);
