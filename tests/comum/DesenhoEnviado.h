#pragma once
// A keyboard drawing as the program ships it (assets/dados/teclados), found by file and name;
// an empty drawing (no name) when there is none. The test must define TARVEX_SOURCE_DIR.
#include "domain/DesenhoTeclado.h"

#include <QFile>
#include <QString>

inline dominio::DesenhoTeclado desenhoEnviado(const QString& arquivo, const QString& nome)
{
    QFile f(QStringLiteral(TARVEX_SOURCE_DIR "/assets/dados/teclados/") + arquivo);
    if (f.open(QIODevice::ReadOnly))
        for (const dominio::DesenhoTeclado& d : dominio::lerDesenhos(f.readAll().toStdString()))
            if (d.nome == nome.toStdString()) return d;
    return {};
}
