#pragma once

class QCoreApplication;

namespace ui {

// The program speaks Portuguese only: Qt's own texts (standard dialogs, print preview, the
// context menu of text fields) are loaded in Brazilian Portuguese whatever the system locale
// is, and numbers and dates follow pt-BR. False when Qt's translation file is missing; the
// program then goes on with Qt's English texts.
bool instalarTraducaoPortugues(QCoreApplication& app);

} // namespace ui
