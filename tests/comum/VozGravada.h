#pragma once
// A voice that records what it is asked: "falar:<phrase>" and "calar", in order.
#include "platform/Voz.h"

#include <QStringList>

struct VozGravada : plataforma::Voz {
    QStringList* ditos;
    explicit VozGravada(QStringList* d) : ditos(d) {}
    bool disponivel() override { return true; }
    QString motivo() const override { return QString(); }
    void falar(const QString& frase) override { *ditos << QStringLiteral("falar:") + frase; }
    void calar() override { *ditos << QStringLiteral("calar"); }
};
