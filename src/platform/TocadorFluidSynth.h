#pragma once
#include "platform/PosicaoMusica.h"
#include "platform/TocadorMidi.h"

#include <QList>
#include <QPair>
#include <QSet>
#include <functional>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;

namespace plataforma {

struct OpcoesFluidSynth {
    QString fonteSons = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
    // FluidSynth text settings applied before the synthesiser is made, such as "audio.driver"
    // (tests use the "file" driver, or one that does not exist).
    QList<QPair<QString, QString>> ajustes;
    // Empty: the system clock.
    Relogio relogio;
    // A MIDI file's length in ms, -1 when unreadable. Empty: read from the file.
    std::function<qint64(const QString&)> duracao;
};

// Plays MIDI files through FluidSynth. The audio driver exists only while a song plays, so
// songs are loaded and freed with no audio thread running. The position comes from a clock
// started with the song and is held at the song's length.
class TocadorFluidSynth : public TocadorMidi {
public:
    explicit TocadorFluidSynth(OpcoesFluidSynth opcoes = {});
    ~TocadorFluidSynth() override;
    TocadorFluidSynth(const TocadorFluidSynth&) = delete;
    TocadorFluidSynth& operator=(const TocadorFluidSynth&) = delete;

    bool abrir(const QString& arquivo) override;
    bool tocarDoInicio() override;
    void parar() override;
    void fechar() override;
    bool aberto() const override { return !arquivo_.isEmpty(); }
    qint64 posicaoMs() const override;
    QString erro() const override { return erro_; }

private:
    bool prepararSintetizador();
    bool carregarBanco(const QString& musica);
    bool falhar(const QString& mensagem);
    void pararDriver();
    void liberarPlayer();

    OpcoesFluidSynth opcoes_;
    PosicaoMusica posicao_;
    QString arquivo_;
    QString erro_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    int idBanco_ = -1;
    QSet<int> programasDoBanco_;  // empty with the whole bank loaded
    fluid_player_t* player_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
};

} // namespace plataforma
