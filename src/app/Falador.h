#pragma once
#include <QObject>

// With the student's voice on, every window says its title when it opens, and what it
// carries to be read (a message box its message, the result window its result).
class Falador : public QObject {
public:
    explicit Falador(QObject* parent = nullptr) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The phrase a window says when it opens.
    static QString frase(const QWidget* janela);
};
