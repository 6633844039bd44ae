#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class TDataSource;
class TDBGrid;

// The four stored records, one per course type, as the records table holds them.
class TfRecorde : public QDialog {
    Q_OBJECT
public:
    explicit TfRecorde(QWidget* parent = nullptr);

    QLabel* Image1;
    TDBGrid* DBGrid1;
    TDataSource* DataSource1;
    QPushButton* BitBtn1;  // "&Sair"
    QPushButton* BitBtn3;  // "&Ajuda"

public slots:
    void BitBtn3Click();
};
