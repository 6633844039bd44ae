#pragma once
// A SoundFont 2 bank cut down to the presets a set of songs can select.

#include <QByteArray>
#include <QIODevice>
#include <QSet>
#include <optional>

namespace plataforma {

// The bank as the synthesiser reads it: the file's bytes up to its preset list, then `pdta` in
// place of that list, and the RIFF size that covers both.
struct BancoReduzido {
    qint64 inicioPdta = 0;
    QByteArray pdta;
    quint32 tamanhoRiff = 0;
};

// Keeps, in every bank, the presets whose program number is in `programas` or is 0 (the one a
// channel starts on and the one the synthesiser falls back to): every preset a song that selects
// only those programs can reach, so it sounds the same. Instruments and samples stay as they are.
// Returns nothing when the file is not a bank laid out as expected (preset list last).
std::optional<BancoReduzido> reduzirBanco(QIODevice& arquivo, const QSet<int>& programas);

}  // namespace plataforma
