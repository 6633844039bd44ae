#pragma once
// Vector icons painted with QPainter paths in a 100 x 100 design box, scaled to any square.

#include <QColor>
#include <QRectF>

class QPainter;

enum class Icone {
    Teclado,     // practice
    Aluno,       // student registration
    Trofeu,      // records
    Ajuda,       // help
    Engrenagem,  // settings
    Caderno,     // lesson editor
    Prancheta,   // requirements
    Porta,       // exit
    Certo,       // green tick
    Errado,      // red cross
    Lixeira,     // remove
};

// Paints `icone` into the square `caixa`; `cor` is the main ink, details are derived from it.
void desenharIcone(QPainter& p, Icone icone, const QRectF& caixa, const QColor& cor);
