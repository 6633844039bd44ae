#include "platform/PosicaoMusica.h"

#include <QElapsedTimer>
#include <algorithm>

namespace plataforma {

Relogio relogioDoSistema()
{
    return [] {
        static QElapsedTimer cronometro;
        if (!cronometro.isValid()) cronometro.start();
        return cronometro.elapsed();
    };
}

PosicaoMusica::PosicaoMusica(Relogio relogio)
    : relogio_(relogio ? std::move(relogio) : relogioDoSistema())
{
}

void PosicaoMusica::definirDuracao(qint64 duracaoMs) { duracao_ = std::max<qint64>(0, duracaoMs); }

void PosicaoMusica::iniciarDoZero()
{
    acumulado_ = 0;
    inicio_ = relogio_();
    correndo_ = true;
}

void PosicaoMusica::parar()
{
    acumulado_ = posicaoMs();
    correndo_ = false;
}

void PosicaoMusica::zerar()
{
    duracao_ = 0;
    acumulado_ = 0;
    correndo_ = false;
}

qint64 PosicaoMusica::posicaoMs() const
{
    const qint64 decorrido = correndo_ ? acumulado_ + (relogio_() - inicio_) : acumulado_;
    return std::clamp<qint64>(decorrido, 0, duracao_);
}

} // namespace plataforma
