#pragma once
#include <QString>
#include <functional>
#include <memory>

namespace plataforma {

// The program's own voice for a student who cannot see the screen. One phrase at a time: a
// new one cuts off what is still being said.
class Voz {
public:
    virtual ~Voz() = default;
    // False, with the reason in Portuguese, when there is no voice on this computer.
    virtual bool disponivel() = 0;
    virtual QString motivo() const = 0;
    virtual void falar(const QString& frase) = 0;
    virtual void calar() = 0;
};

// Speech-dispatcher, loaded at the first phrase, through one connection for the whole run.
class VozSpeechd : public Voz {
public:
    VozSpeechd();
    ~VozSpeechd() override;
    bool disponivel() override;
    QString motivo() const override { return motivo_; }
    void falar(const QString& frase) override;
    void calar() override;
    // Called (on the daemon's thread) when the daemon begins to say a phrase.
    void aoComecar(std::function<void()> f);

private:
    bool abrir();
    struct Conexao;
    std::unique_ptr<Conexao> c_;
    bool tentou_ = false;
    QString motivo_;
};

// The voice of the run, and whether it speaks: with the student's "Falar", or turned on by the
// menu's key for the rest of the run (a blind student chooses his or her name by ear, and a
// student whose "Falar" is off does not silence it). Off, nothing is said and nothing is
// loaded. Tests put a voice of their own.
Voz& voz();
void definirVoz(std::unique_ptr<Voz> nova);
bool falando();
void ligarFala(bool ligada);  // the student's "Falar"
// The menu's key: turns the voice off when it speaks (for the student too, until his or her
// aids are read again), on for the run otherwise, and says which.
void alternarVozDaExecucao();
// Says the phrase when the voice is on; a new phrase cuts off the one before.
void dizer(const QString& frase);

} // namespace plataforma
