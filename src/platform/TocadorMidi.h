#pragma once
#include <QString>
#include <QtGlobal>
#include <memory>

namespace plataforma {

// The background-music player: one MIDI song at a time, played in the background.
class TocadorMidi {
public:
    virtual ~TocadorMidi() = default;

    // Opens a song, closing the one already open. False with erro() set when it fails.
    virtual bool abrir(const QString& arquivo) = 0;
    // Plays the open song from its start without waiting. False with erro() set when it fails.
    virtual bool tocarDoInicio() = 0;
    // Stopping with no song open does nothing.
    virtual void parar() = 0;
    virtual void fechar() = 0;
    virtual bool aberto() const = 0;
    // Milliseconds: 0 with no song open; once the song has ended, exactly its length.
    virtual qint64 posicaoMs() const = 0;
    // The last failure, in Portuguese, for an error box.
    virtual QString erro() const = 0;
};

// The program's player (FluidSynth with the General MIDI soundfont).
std::unique_ptr<TocadorMidi> criarTocadorMidi();

} // namespace plataforma
