#pragma once
#include <QtGlobal>
#include <functional>

namespace plataforma {

// A monotonic clock in milliseconds. Tests give their own.
using Relogio = std::function<qint64()>;
Relogio relogioDoSistema();

// The position of a song in milliseconds, measured by a clock from the moment it started:
// 0 before it starts, rising while it plays, frozen when stopped, and never past the song's
// length, so that once the song has ended it stays exactly at that length.
class PosicaoMusica {
public:
    explicit PosicaoMusica(Relogio relogio = {});

    void definirDuracao(qint64 duracaoMs);
    qint64 duracaoMs() const { return duracao_; }

    void iniciarDoZero();
    void parar();
    // Back to 0, stopped, with no length (no song open).
    void zerar();

    qint64 posicaoMs() const;
    bool terminou() const { return duracao_ > 0 && posicaoMs() >= duracao_; }

private:
    Relogio relogio_;
    qint64 duracao_ = 0;
    qint64 inicio_ = 0;
    qint64 acumulado_ = 0;
    bool correndo_ = false;
};

} // namespace plataforma
