#pragma once
#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The settings window: keyboard model, background music and sound effects. It shows the data
// module's settings and, however it is closed, writes them to Config.dbf and back into the
// data module. The window frees itself when it closes.
class TfConfig : public QDialog {
    Q_OBJECT
public:
    explicit TfConfig(QWidget* parent = nullptr);

    QFrame* Panel4;
    QLabel* Image1;
    QGroupBox* GroupBox2;
    QRadioButton* RadioButton1;  // "ABNT2 - com "ç""
    QRadioButton* RadioButton2;  // "ABNT - sem "ç" "
    QGroupBox* GroupBox3;
    QCheckBox* CheckBox1;        // music
    QCheckBox* CheckBox2;        // sound
    // The aids of the current student (the last one chosen or shown in the registration).
    QGroupBox* GroupBox4;
    QCheckBox* cbFalar;
    QCheckBox* cbContraste;
    QLabel* lTamanho;
    QComboBox* cbTamanho;        // 100 %, 150 %, 200 %
    QCheckBox* cbDislexia;
    QLabel* lSemVoz;             // why there is no voice, when there is none
    QLabel* lAvisoAjudas;        // when the size takes effect; why there is no dyslexia font
    QPushButton* BitBtn1;        // "&Sair"
    QPushButton* BitBtn3;        // "&Ajuda"

    void FormShow();
    void CheckBox1Click();
    void CheckBox2Click();
    void BitBtn3Click();
    void FormClose();

    // Every way of closing ends here: the settings are saved first.
    void done(int resultado) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void criarControles();
    void criarAjudas();
    void mostrarMotivoSemVoz();
    void mostrarAvisoAjudas();
    void gravarAjudas();
    QString aluno_;  // empty: no student to set aids for

    bool mostrado_ = false;
    bool fechado_ = false;
};
