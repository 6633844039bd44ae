#pragma once
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class TDataSource;
class TDBLookupComboBox;

// The student chooser: a list of the registered students; picking a name moves the students
// table to that student. Created once at start and kept, so the name picked last is offered
// again at the next opening.
class TFAbrir : public QDialog {
    Q_OBJECT
public:
    explicit TFAbrir(QWidget* parent = nullptr);

    QLabel* Label1;
    TDBLookupComboBox* dl1;
    QPushButton* b1;
    QPushButton* BitBtn2;
    TDataSource* DataSource1;

    void setVisible(bool visivel) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void descreverNome();  // the label and the name shown, said when the window opens
};

// The one student chooser of the program (made by the program's start-up).
extern TFAbrir* FAbrir;

enum class ResultadoAbertura { Cancelado, AbrirPratica };

// What the menu's practice button does: with students registered, asks for one and, on OK,
// leaves the students table on that student (AbrirPratica: the menu opens the practice);
// without students, offers the registration window (abrirCadastro).
ResultadoAbertura fluxoAbertura(QWidget* menu, TFAbrir* abrir, const std::function<void()>& abrirCadastro);
