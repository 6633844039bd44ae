#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

// One typing run of the practice window, without widgets: the lesson's lines (copied when the
// lesson is set up, so no other window can change them), the line and column, the expected key,
// the dead-key composition, hits and errors, the clock, speed and accuracy, and what the end of
// the lesson decides. The window draws what the signals announce.
class SessaoDigitacao : public QObject {
    Q_OBJECT
public:
    explicit SessaoDigitacao(QObject* parent = nullptr) : QObject(parent) {}

    // What a finished lesson stores and shows.
    struct Fim {
        int velocidade = 0;
        int precisao = 0;
        bool velocidadeOk = false;
        bool precisaoOk = false;
        bool aprovado() const { return velocidadeOk && precisaoOk; }
        QString resultado() const;      // "Aprovado" or "Reprovado"
        int liberar = 0;                // lesson to unlock; 0 when none
        long long pontos = 0;
    };

    // ---- Lesson ---------------------------------------------------------------------------
    // What a run is set up with. Numeric lessons type spaces with Enter, and on a keyboard
    // without ABNT2 the "." of the keypad stands for ",". A drill is lesson 0.
    struct Licao {
        QStringList linhas;
        int numero = 0;
        bool numerico = false;
        bool abnt2 = false;
        int exigVel = 0;   // the requirements of the student's type and level
        int exigPrec = 0;
        int maxLicoes = 0; // the type's last lesson
    };
    // Copies the lesson and sets up its first line.
    void preparar(const Licao& licao);
    const QStringList& linhas() const { return licao_.linhas; }
    bool terminada() const { return terminada_; }

    // Typing runs between iniciar and pausar; keys outside a run are refused.
    void iniciar() { rodando_ = !terminada_; }
    void pausar();
    bool rodando() const { return rodando_; }

    // ---- Keystrokes -----------------------------------------------------------------------
    // One key press: dead keys wait for the next key and compose with it; every character
    // made is one keystroke. Keys without text (Shift, arrows) change nothing.
    void tecla(int key, const QString& texto);
    // One character typed (Enter is CR).
    void caractere(QChar c);
    // Dead key + following text -> what the keyboard types (e.g. acute + "a" -> "á").
    static QString comporAcento(int teclaMorta, const QString& texto, bool abnt2);
    static bool ehTeclaMorta(int key);

    // The copy as shown: control characters get a visible sign, the final CR none.
    QString copiaVisivel() const;
    // The hint after an error ("Digite: b"); empty after a right keystroke.
    QString dica() const { return dica_; }

    // ---- Clock and end --------------------------------------------------------------------
    void tique();
    QString duracao() const;
    // What the finished lesson decides, given the lesson unlocked so far.
    Fim fim(int liberada) const;

    // Run state, named as the window always named it; only the run changes it.
    struct Estado {
        int NumLicao = 0;
        int ExigVel = 0;
        int ExigPrec = 0;
        int MaxLicoes = 0;
        int Linha = 0;
        int Coluna = 0;
        QString LinhaAtual;  // the line, then a carriage return unless it holds 61 characters
        quint8 TamLinha = 0;
        QString TeclaEsperada;
        QString TeclaProx;   // lookup key for the guide; "aa" is Enter
        bool ErroPendente = false;
        int Acertos = 0;
        int Erros = 0;
        int VelAtual = 0;
        int PrecAtual = 0;
        quint8 Horas = 0;
        quint8 Minutos = 0;
        quint8 Segundos = 0;
        QString Copia;       // the student's copy of the line, as typed
    };
    const Estado& estado() const { return e_; }

signals:
    void linhaNova();           // a line was set up (Linha, LinhaAtual, TeclaProx)
    void acertou();             // Copia, Coluna, TeclaProx changed
    void errou();
    void julgada(QChar esperada, QChar digitada);  // every keystroke judged, before the line moves on
    void relogioMudou();
    void terminou();            // the last line was typed; the run has stopped

private:
    void inserirLinha();
    Licao licao_;
    Estado e_;
    QString dica_;
    int acento_ = 0;
    bool rodando_ = false;
    bool terminada_ = true;
};
