#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class TDataSource;
class TDBGrid;

// The requirements viewer: every row of Exigen.dbf, read-only. The window frees itself when
// it closes.
class TfExig : public QDialog {
    Q_OBJECT
public:
    explicit TfExig(QWidget* parent = nullptr);

    QFrame* Panel4;
    QLabel* Image1;
    TDBGrid* DBGrid1;
    TDataSource* DataSource1;
    QPushButton* BitBtn1;  // "&Sair"
    QPushButton* BitBtn3;  // "&Ajuda"

    void FormShow();
    void BitBtn3Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    bool mostrado_ = false;
};
