#include "platform/SomWave.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
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
    preparar();
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
