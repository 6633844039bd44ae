#pragma once
// The program's pictures, each painted at its final size.

#include <QColor>
#include <QImage>
#include <QString>

#include "Icones.h"

struct Botao {
    QString arquivo;    // file stem: Digi, Cad, ...
    QString titulo;     // large title on the button
    QString subtitulo;  // small line under the title
    Icone icone;
    QColor destaque;    // accent colour of this button
};

QImage pintarBotao(const Botao& botao, bool destacado);  // 250 x 100
QImage pintarAbertura();                                 // 400 x 200 splash
QImage pintarIconePrograma(int lado = 256);              // lado x lado
QImage pintarBloco();                                    // 347 x 243 ruled notepaper
QImage pintarMarca(Icone icone, const QColor& cor, int lado);  // small transparent glyph
QImage pintarAjuda16();                                  // 16 x 16 help glyph
QImage pintarRosto(bool feliz);                          // 32 x 32
QImage pintarTrofeuCartum();                             // 110 x 194
QImage pintarLateral(const QString& titulo, Icone icone, const QColor& cor, int altura);  // 117 wide
QImage pintarTecladoNumerico();                          // 329 x 161
