#pragma once
#include <QString>
#include <functional>

class QWidget;

// The program's message boxes, in Portuguese: a question with "Sim" and "Não", a piece of news,
// a warning or an error with "OK". Tests install a responder that answers without a modal loop.
namespace ui {

enum class TipoMensagem { Pergunta, Aviso, Erro, Informacao };

// True for "Sim".
bool pergunta(QWidget* pai, const QString& texto);
void informacao(QWidget* pai, const QString& texto);
void aviso(QWidget* pai, const QString& texto);
void erro(QWidget* pai, const QString& texto);

// Runs an action; an engine or program error is shown in the error box and the program goes
// on. Returns false when an error was shown.
bool protegido(QWidget* pai, const std::function<void()>& acao);

// Tests: every box is answered by the responder (its return value is the answer to a
// question) and no window opens. An empty responder restores the real boxes.
using Respondedor = std::function<bool(TipoMensagem tipo, const QString& texto)>;
void definirRespondedor(Respondedor respondedor);

} // namespace ui
