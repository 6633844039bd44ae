#pragma once
// What a screen reader says for a control: its accessible name, or, for a drop-down list, whose
// name is its value, the label that labels it.
#include <QAccessible>
#include <QWidget>

inline QString nomeLido(QWidget* w)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    if (!i) return QString();
    if (i->role() != QAccessible::ComboBox) return i->text(QAccessible::Name);
    const auto rotulos = i->relations(QAccessible::Label);
    return rotulos.isEmpty() ? QString() : rotulos.first().first->text(QAccessible::Name);
}

// Keys written as "Tab", "Down", "Alt+F", "F2", separated by spaces, each sent to the focused
// widget (or to the window) as a person presses it, shortcuts included.
#include <QApplication>
#include <QKeySequence>
#include <QtTest/QTest>

inline void teclar(QWidget* janela, const QString& teclas)
{
    for (const QString& t : teclas.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QKeyCombination k = QKeySequence(t)[0];
        QWidget* foco = QApplication::focusWidget() ? QApplication::focusWidget() : janela;
        QTest::keyClick(foco, k.key(), k.keyboardModifiers());
        // A button's Alt letter presses it a moment later, as a click that can be seen.
        if (k.keyboardModifiers() & Qt::AltModifier) QTest::qWait(150);
    }
}
