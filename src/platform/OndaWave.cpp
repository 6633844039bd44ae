#include "platform/OndaWave.h"

#include <QtEndian>
#include <algorithm>

namespace plataforma {

std::optional<OndaWave> lerOndaWave(const QByteArray& arquivo)
{
    if (arquivo.size() < 12 || !arquivo.startsWith("RIFF") || arquivo.mid(8, 4) != "WAVE") return std::nullopt;
    const auto u16 = [&](qsizetype pos) { return qFromLittleEndian<quint16>(arquivo.constData() + pos); };
    const auto u32 = [&](qsizetype pos) { return qFromLittleEndian<quint32>(arquivo.constData() + pos); };

    OndaWave onda;
    bool temFormato = false;
    qsizetype pos = 12;
    while (pos + 8 <= arquivo.size()) {
        const QByteArray nome = arquivo.mid(pos, 4);
        const qint64 tamanho = u32(pos + 4);
        const qsizetype inicio = pos + 8;
        if (nome == "fmt ") {
            if (tamanho < 16 || inicio + 16 > arquivo.size() || u16(inicio) != 1) return std::nullopt;  // 1: PCM
            onda.canais = u16(inicio + 2);
            onda.amostrasPorSegundo = static_cast<int>(u32(inicio + 4));
            onda.bitsPorAmostra = u16(inicio + 14);
            temFormato = true;
        } else if (nome == "data") {
            if (!temFormato) return std::nullopt;
            if ((onda.canais != 1 && onda.canais != 2) || (onda.bitsPorAmostra != 8 && onda.bitsPorAmostra != 16)
                || onda.amostrasPorSegundo <= 0)
                return std::nullopt;
            const qint64 disponivel = std::min<qint64>(tamanho, arquivo.size() - inicio);
            onda.quadros = arquivo.mid(inicio, disponivel - disponivel % onda.bytesPorQuadro());
            return onda;
        }
        pos = inicio + tamanho + (tamanho & 1);  // chunks are padded to an even size
    }
    return std::nullopt;
}

}  // namespace plataforma
