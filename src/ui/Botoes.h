#pragma once
#include <QRect>

class QFrame;
class QPushButton;
class QWidget;

// The buttons and rule that close most dialogs, with the program's glyphs.
namespace ui {

// "&Ajuda" with the help glyph; the window connects it to its own help handler.
QPushButton* botaoAjuda(QWidget* pai, const QRect& area);
// "&Sair" with the close glyph; closes `janela`.
QPushButton* botaoSair(QWidget* pai, const QRect& area, QWidget* janela);
// A button that Enter does not press unless it has the focus.
QPushButton* botao(QWidget* pai, const QString& texto, const QString& icone, const QRect& area);
// A sunken horizontal rule.
QFrame* linhaHorizontal(QWidget* pai, const QRect& area);

} // namespace ui
