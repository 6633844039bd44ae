#pragma once
// A small world for the practice window: students, requirements and lesson tables in a
// temporary working directory, the three keyboard maps in its "Dados" folder, the keypad
// picture, and the data module pointing at all of it. Shared by the tests, the real-keyboard
// test, the screenshots and the benchmark.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QTimer;
class QWidget;
class Tdm1;

// Types a text into a field as key presses and releases (Enter for "\r", Shift for capitals).
void digitar(QWidget* campo, const QString& texto);

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

    // The records table's score for a course type (record 1 to 4).
    void recorde(int registro, long long pontos);

    // The result and new-record windows that opened, closed at once by the world; for each,
    // its texts: result window "Resultado|lesson|speed|accuracy|duration|result|marks" with
    // the marks as V/v (speed passed/failed), P/p, R/r; new-record window "Recordes|<score text>".
    QStringList janelas;
    // What the files held when each result window showed: "Relat:<rows>|Recorde:<score of the
    // first record>|Teclas:<rows>", read through handles of their own.
    QStringList noDiscoAoVerResultado;
    bool anotarDisco = true;  // off where the files' own reads are measured

    Tdm1* dm = nullptr;

private:
    void fecharJanelasDoFim();
    QString noDisco() const;
    QTemporaryDir dir_;
    QTimer* fechador_ = nullptr;
};
