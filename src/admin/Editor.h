#pragma once
#include <QDialog>
#include <QList>
#include <QString>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class TDataSource;
class TDBMemo;
class TDBNavigator;
class TStatusBar;

// The lesson editor: the texts of the lessons of one course type at a time, from the lesson
// table of the keyboard chosen in the settings. Lessons are neither added nor removed here.
// The window frees itself when it closes.
class TfEditor : public QDialog {
    Q_OBJECT
public:
    explicit TfEditor(QWidget* parent = nullptr);
    ~TfEditor() override;

    QFrame* Panel1;
    TDBNavigator* DBNavigator1;
    QPushButton* BitBtn1;  // "&Sair"
    QPushButton* BitBtn2;  // "&Ajuda"
    QLabel* Label1;
    QComboBox* cb1;
    TDBMemo* DBMemo1;
    TStatusBar* sb1;
    TDataSource* DataSource1;

    void FormShow();
    void cb1Change(int indice);
    void DataSource1DataChange();
    void DBMemo1Change();
    void BitBtn2Click();
    void FormClose();

    // A pending text Windows-1252 cannot hold is refused with a message; true when it can be saved.
    bool TextoGravavel();

    // Every way of closing ends here: the pending change is dropped and the table closed.
    void done(int resultado) override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;

private:
    void criarControles();
    void criarPainel();
    void MostrarTipo(const QString& tipo);

    QList<QObject*> botoesQueGravam_;  // navigator buttons that save the pending text
    int tipoAtual_ = 0;
    bool mostrado_ = false;
    bool fechado_ = false;
};
