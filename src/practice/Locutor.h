#pragma once
#include <QString>

namespace plataforma { class Voz; }

// What the practice says to a student who listens instead of looking: the line when it is set
// up, the expected key by name when the student waits or errs, accents spelled as they are
// typed, and the result. A keystroke cuts off what is still being said about the one before.
class Locutor {
public:
    explicit Locutor(plataforma::Voz& voz) : voz_(voz) {}

    void linha(int numero, int total, const QString& texto);
    void tecla();
    void errou(const QString& esperado);
    void esperando(const QString& esperado);

    // "a", "A maiúsculo", "espaço", "acento agudo, depois a".
    static QString soletrar(const QString& caractere);
    // The result as it is read at the end of the lesson.
    static QString fraseDoFim(int licao, int velocidade, int precisao, const QString& duracao, const QString& resultado);

private:
    plataforma::Voz& voz_;
};
