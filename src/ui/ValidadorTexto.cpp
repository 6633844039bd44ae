#include "ValidadorTexto.h"

#include "xbase/Codepage.h"

ValidadorTexto::ValidadorTexto(const QString& recusados, QObject* parent)
    : QValidator(parent), recusados_(recusados)
{
}

QValidator::State ValidadorTexto::validate(QString& texto, int&) const
{
    for (const QChar c : texto)
        if (recusados_.contains(c)) return Invalid;
    return xbase::isRepresentable(texto.toUtf8().toStdString()) ? Acceptable : Invalid;
}

QValidator::State ValidadorInteiro::validate(QString& texto, int&) const
{
    for (int i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        const bool sinal = i == 0 && (c == u'-' || c == u'+');
        if (!sinal && !c.isDigit()) return Invalid;
    }
    return Acceptable;
}
