#pragma once
#include <QStatusBar>
#include <QVector>

class QLabel;

// A status bar of panels, each with its own text. Every panel has a width; the last one also
// takes whatever room is left.
class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    void setPaineis(const QVector<int>& larguras);
    int paineis() const { return paineis_.size(); }
    void setTextoPainel(int painel, const QString& texto);
    QString textoPainel(int painel) const;

private:
    QVector<QLabel*> paineis_;
};
