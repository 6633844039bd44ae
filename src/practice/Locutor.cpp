#include "Locutor.h"

#include "domain/NomesTeclas.h"
#include "platform/Voz.h"

#include <QList>

void Locutor::linha(int numero, int total, const QString& texto)
{
    voz_.falar(QStringLiteral("Linha %1 de %2: %3").arg(numero).arg(total).arg(texto));
}

void Locutor::tecla() { voz_.calar(); }

void Locutor::errou(const QString& esperado)
{
    voz_.falar(QStringLiteral("errou: esperado ") + soletrar(esperado));
}

void Locutor::esperando(const QString& esperado) { voz_.falar(soletrar(esperado)); }

QString Locutor::soletrar(const QString& caractere)
{
    if (caractere.isEmpty()) return QString();
    return QString::fromStdString(dominio::soletrar(caractere.toUcs4().at(0)));
}

QString Locutor::fraseDoFim(int licao, int velocidade, int precisao, const QString& duracao, const QString& resultado)
{
    return QString::fromUtf8("Lição %1: %2. Velocidade %3 teclas por minuto, precisão %4 por cento, tempo %5.")
        .arg(licao)
        .arg(resultado)
        .arg(velocidade)
        .arg(precisao)
        .arg(duracao);
}
