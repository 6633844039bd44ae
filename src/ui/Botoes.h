#pragma once
#include <QRect>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// The pieces most dialogs are built from: the closing buttons with the program's glyphs, the
// rule above them and the framed side picture.
namespace ui {

// "&Ajuda" with the help glyph; the window connects it to its own help handler.
QPushButton* botaoAjuda(QWidget* pai, const QRect& area);
// "&Sair" with the close glyph; closes `janela`.
QPushButton* botaoSair(QWidget* pai, const QRect& area, QWidget* janela);
// A button that Enter does not press unless it has the focus.
QPushButton* botao(QWidget* pai, const QString& texto, const QString& icone, const QRect& area);
// A picture stretched into a sunken frame (the decorative side picture of a dialog);
// `moldura` receives the frame.
QLabel* figuraEmMoldura(QWidget* pai, const QRect& area, const QString& figura, QFrame** moldura = nullptr);
// A sunken horizontal rule.
QFrame* linhaHorizontal(QWidget* pai, const QRect& area);

} // namespace ui
