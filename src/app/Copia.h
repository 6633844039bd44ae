#pragma once
#include <QDialog>

class QLabel;
class QProgressBar;

// The first-run copy window: overall progress and the progress of the file being copied.
class TfCopia : public QDialog {
    Q_OBJECT
public:
    explicit TfCopia(QWidget* parent = nullptr);
    QLabel* Label1;
    QProgressBar* Pb1;  // overall, 0 to 100
    QProgressBar* Pb2;  // the file being copied, 0 to its size

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
