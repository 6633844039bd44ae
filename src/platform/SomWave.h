#pragma once
#include <QObject>
#include <QString>

class QSoundEffect;

namespace plataforma {

// A short wave sound from the program's resources, played in the background. A new tocar()
// cuts off the sound still playing. Without an audio output nothing plays and nothing is said.
class SomWave : public QObject {
    Q_OBJECT
public:
    // recurso: a resource path such as ":/sons/clique.wav".
    explicit SomWave(const QString& recurso, QObject* pai = nullptr);

    void tocar();
    void parar();

    // False when no audio output exists (then tocar() does nothing).
    static bool haSaidaDeAudio();

private:
    bool preparar();

    QString recurso_;
    QSoundEffect* efeito_ = nullptr;
};

} // namespace plataforma
