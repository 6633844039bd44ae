#pragma once
#include <QDialog>

class QLabel;

// The splash picture shown while the program starts.
class TfAbertura : public QWidget {
    Q_OBJECT
public:
    explicit TfAbertura(QWidget* parent = nullptr);
    QLabel* Image1;
};
