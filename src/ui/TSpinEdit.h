#pragma once
#include <QAbstractSpinBox>

// An integer entry with up and down buttons. What is typed is kept as typed (also a number
// above the largest value, so that the owner's change() handler can see it and answer);
// a text that is not a whole number counts as the smallest value. The buttons step by one
// and never leave the range.
class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    int value() const;
    // Shows the value, kept within the range.
    void setValue(int valor);
    int minValue() const { return minimo_; }
    int maxValue() const { return maximo_; }
    void setMinValue(int minimo);
    void setMaxValue(int maximo);
    void setMaxLength(int caracteres);
    QString text() const;

    void stepBy(int passos) override;
    QValidator::State validate(QString& texto, int& posicao) const override;
    void fixup(QString&) const override {}

signals:
    void change();  // the text changed, by typing or by the buttons

protected:
    StepEnabled stepEnabled() const override;

private:
    int minimo_ = 0;
    int maximo_ = 100;
};
