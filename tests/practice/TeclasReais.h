#pragma once
// The keys a person presses for a text on a real keyboard, as keysym names that xdotool, wtype
// and the keystroke-to-screen benchmark all take: "á" is dead_acute then a; on ABNT2 "ç" has
// its own key, on US-International it is dead_acute then c, and there the quote keys are dead
// keys too (' is dead_acute then space). Enter is Return.
#include <QList>
#include <QString>
#include <QStringList>

// One character's keys: the dead key first, when there is one.
QStringList teclasDoCaractere(QChar c, bool abnt2);
// Each character's keys, in order.
QList<QStringList> teclasDoTexto(const QString& texto, bool abnt2);
// The same, flattened.
QStringList sequenciaDeTeclas(const QString& texto, bool abnt2);
