#pragma once
// A small world for the practice window: students, requirements and lesson tables in a
// temporary working directory, the three keyboard maps in its "Dados" folder, the keypad
// picture, and the data module pointing at all of it. Shared by the tests, the real-keyboard
// test, the screenshots and the benchmark.
#include <QString>
#include <QTemporaryDir>

class Tdm1;

class MundoPratica {
public:
    MundoPratica();
    ~MundoPratica();

    QString pasta() const { return dir_.path(); }

    // Adds a student and makes it the current record of TabAluno.
    void aluno(const QString& nome, const QString& tipo, int licao, bool teclado,
               const QString& nivel = QStringLiteral("Iniciante"));
    // Adds a lesson to LicaoB.dbf (abnt2) or LicaoA.dbf.
    void licao(bool abnt2, const QString& tipo, int numero, const QString& texto);
    // The same lesson in both tables.
    void licao(const QString& tipo, int numero, const QString& texto);

    Tdm1* dm = nullptr;

private:
    QTemporaryDir dir_;
};
