#pragma once
#include <QString>
#include <QValidator>

// Accepts only texts the tables can store: characters that Windows-1252 holds, none of the
// refused ones (a double quote would break the filter texts built from a name).
class ValidadorTexto : public QValidator {
    Q_OBJECT
public:
    explicit ValidadorTexto(const QString& recusados, QObject* parent = nullptr);
    State validate(QString& texto, int& posicao) const override;

private:
    QString recusados_;
};

// Accepts an optional sign followed by digits (a whole number as it is being typed).
class ValidadorInteiro : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& texto, int& posicao) const override;
};
