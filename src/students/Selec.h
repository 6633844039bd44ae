#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class TSpinEdit;
class TStatusBar;

// The lesson chooser: the student picks a lesson from 1 up to the highest unlocked one.
// Created once at start and kept; the practice window sets the limit and the status texts,
// shows it and reads se1 back however it was closed.
class TFSelec : public QDialog {
    Q_OBJECT
public:
    explicit TFSelec(QWidget* parent = nullptr);

    QLabel* Label1;
    TSpinEdit* se1;
    QPushButton* BitBtn1;
    TStatusBar* sb2;

    void se1Change();

protected:
    void showEvent(QShowEvent* e) override;
};

// The one lesson chooser of the program (made by the program's start-up).
extern TFSelec* FSelec;
