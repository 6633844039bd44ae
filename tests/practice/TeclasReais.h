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

// A capital as a person types it, Shift and the small letter ("shift+ccedilla" for Ccedilla),
// for xdotool: where the keyboard map lacks a letter it binds the keysym to a spare key, and a
// lone capital there types the small letter.
QString comShift(const QString& nome);
// The capital letter a keysym name stands for ("Ccedilla" -> "Ç"); empty for any other key.
// wtype looks key names up without regard to case, so capitals go to it as text.
QString maiuscula(const QString& nome);

// What a window receives for one of those keys when no input method composes: dead keys as
// Qt's dead-key codes without text, the others with the character they type.
struct EventoDaTecla {
    int key;
    QString texto;
};
EventoDaTecla eventoDaTecla(const QString& nome);
