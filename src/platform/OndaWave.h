#pragma once
// The samples of a PCM wave file (RIFF WAVE), as a sound device takes them.

#include <QByteArray>
#include <optional>

namespace plataforma {

struct OndaWave {
    int canais = 0;
    int amostrasPorSegundo = 0;
    int bitsPorAmostra = 0;  // 8 (unsigned) or 16 (signed, little-endian)
    QByteArray quadros;      // interleaved, whole frames only

    int bytesPorQuadro() const { return canais * bitsPorAmostra / 8; }
    qint64 quantidadeQuadros() const { return bytesPorQuadro() ? quadros.size() / bytesPorQuadro() : 0; }
};

// Nothing when the bytes are not an uncompressed 8- or 16-bit wave with 1 or 2 channels. A data
// chunk that claims more bytes than the file holds is cut to what is there.
std::optional<OndaWave> lerOndaWave(const QByteArray& arquivo);

}  // namespace plataforma
