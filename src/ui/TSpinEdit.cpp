#include "TSpinEdit.h"

#include <QLineEdit>
#include <QLocale>
#include <algorithm>

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setText(QStringLiteral("0"));
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::change);
}

QString TSpinEdit::text() const { return lineEdit()->text(); }

int TSpinEdit::value() const
{
    bool ok = false;
    const int v = lineEdit()->text().trimmed().toInt(&ok);
    return ok ? v : minimo_;
}

void TSpinEdit::setValue(int valor)
{
    const QString texto = QString::number(std::clamp(valor, minimo_, std::max(minimo_, maximo_)));
    if (lineEdit()->text() != texto) lineEdit()->setText(texto);
}

void TSpinEdit::setMinValue(int minimo) { minimo_ = minimo; }
void TSpinEdit::setMaxValue(int maximo) { maximo_ = maximo; }
void TSpinEdit::setMaxLength(int caracteres) { lineEdit()->setMaxLength(caracteres); }

void TSpinEdit::stepBy(int passos)
{
    setValue(value() + passos);
    selectAll();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    StepEnabled pode = StepNone;
    if (value() < maximo_) pode |= StepUpEnabled;
    if (value() > minimo_) pode |= StepDownEnabled;
    return pode;
}

QValidator::State TSpinEdit::validate(QString& texto, int&) const
{
    // Digits, signs and the decimal separator may be typed; value() judges the rest.
    const QString separador = QLocale().decimalPoint();
    for (const QChar c : texto)
        if (!c.isDigit() && c != u'+' && c != u'-' && !separador.contains(c)) return QValidator::Invalid;
    return QValidator::Acceptable;
}
