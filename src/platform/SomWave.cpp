#include "platform/SomWave.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace plataforma {
namespace {

QUrl urlDoRecurso(const QString& recurso)
{
    if (recurso.startsWith(QLatin1Char(':'))) return QUrl(QStringLiteral("qrc") + recurso);
    return QUrl::fromLocalFile(recurso);
}

} // namespace

SomWave::SomWave(const QString& recurso, QObject* pai) : QObject(pai), recurso_(recurso)
{
    // Asking for the audio outputs loads the multimedia backend and reaches for the sound
    // server, which takes a while: done once the program's loop runs, after the first window
    // is on screen, and still long before the first click.
    QTimer::singleShot(0, this, [this] { preparar(); });
}

bool SomWave::haSaidaDeAudio() { return !QMediaDevices::audioOutputs().isEmpty(); }

// The effect is made only once an output exists, so that a machine without sound never
// opens an audio stream; loading it early keeps the first click on time.
bool SomWave::preparar()
{
    if (efeito_) return true;
    if (!haSaidaDeAudio()) return false;
    efeito_ = new QSoundEffect(this);
    efeito_->setSource(urlDoRecurso(recurso_));
    return true;
}

void SomWave::tocar()
{
    if (!haSaidaDeAudio() || !preparar()) return;
    if (efeito_->isPlaying()) efeito_->stop();
    efeito_->play();
}

void SomWave::parar()
{
    if (efeito_) efeito_->stop();
}

} // namespace plataforma
