#pragma once
#include "platform/OndaWave.h"

#include <QObject>
#include <QString>

class QTimer;
typedef struct _snd_pcm snd_pcm_t;

namespace plataforma {

// A short wave sound from the program's resources, played in the background through ALSA's
// default device, the way the music goes. A new tocar() cuts off the sound still playing.
// Without an audio output nothing plays and nothing is said.
class SomWave : public QObject {
    Q_OBJECT
public:
    // recurso: a resource path such as ":/sons/clique.wav". dispositivo: an ALSA device name.
    explicit SomWave(const QString& recurso, QObject* pai = nullptr,
                     const QString& dispositivo = QStringLiteral("default"));
    ~SomWave() override;

    void tocar();
    void parar();
    // True from tocar() until the device has taken the last frame (or parar()).
    bool tocando() const;

    // False when no audio output exists (then tocar() does nothing).
    static bool haSaidaDeAudio();

private:
    bool preparar();
    void alimentar();
    void fecharDispositivo();

    QString recurso_;
    QString dispositivo_;
    OndaWave onda_;
    bool lida_ = false;
    snd_pcm_t* pcm_ = nullptr;
    qint64 enviados_ = 0;  // frames written to the device
    QTimer* alimentador_ = nullptr;
};

} // namespace plataforma
