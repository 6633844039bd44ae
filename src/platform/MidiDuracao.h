#pragma once
// Length of a Standard MIDI File, in the same milliseconds the music player reports.

#include <QByteArray>
#include <QSet>
#include <optional>
#include <QString>
#include <QtGlobal>

namespace plataforma {

// Parses a Standard MIDI File (format 0 or 1) and returns the time of its last event, of any
// track, in milliseconds, following the file's tempo map (500,000 µs per quarter note until the
// first tempo event). Truncated toward zero. Returns -1 when the file cannot be read or is not
// a well-formed format 0/1 file.
qint64 duracaoMidiMs(const QString& caminho);

// The same, for the bytes of a file already in memory.
qint64 duracaoMidiMsDeBytes(const QByteArray& conteudo);

// The program numbers (0-127) a Standard MIDI File selects on any channel; nothing when the file
// is not well formed.
std::optional<QSet<int>> programasMidi(const QString& caminho);
std::optional<QSet<int>> programasMidiDeBytes(const QByteArray& conteudo);

}  // namespace plataforma
