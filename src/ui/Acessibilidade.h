#pragma once
#include <QString>

class QColor;
class QLabel;
class QWidget;

// What a student who cannot see the screen, or cannot use a mouse, needs of every window:
// keys that act on the focused control, names a screen reader reads, and text it can follow.
namespace ui {

// Once per run: Enter (and the keypad's Enter) presses the focused button, as Space does,
// in every window.
void instalarTeclasDeBotao();

// The name a screen reader says for a control and, where its picture says more, a description.
void nomear(QWidget* controle, const QString& nome, const QString& descricao = QString());

// The label before a field names it: a screen reader says the label's words (without the
// colon) when the field takes the focus.
void rotular(QLabel* rotulo, QWidget* campo);

// A label that shows a figure ("120 teclas/min"): a screen reader says its name ("Velocidade")
// and reads the figure as its value. Call before the label first shows a text.
void nomearFigura(QLabel* figura, const QString& nome);

// A widget whose text a screen reader reads and follows: the text, and the caret in it, are
// what anunciarTexto last gave. Call before the widget is first shown.
void tornarTextoAcessivel(QWidget* widget);
// Gives the widget its new text and caret and tells the screen reader what changed.
void anunciarTexto(QWidget* widget, const QString& texto, int cursor);
QString textoAcessivel(const QWidget* widget);

// The contrast ratio of two colours as readers' guidelines measure it (WCAG: 1 to 21; normal
// text needs 4.5, the high-contrast scheme 7).
double contraste(const QColor& a, const QColor& b);
// Black or white, whichever reads better on the background.
QColor textoSobre(const QColor& fundo);

} // namespace ui
