#include "platform/SomWave.h"
#include "platform/BibliotecaDinamica.h"

#include <QFile>
#include <QTimer>
#include <alsa/asoundlib.h>
#include <algorithm>
#include <cerrno>

namespace plataforma {
namespace {

// ALSA is loaded at the first sound (the music's synthesiser loads it too), not at the start.
struct Alsa {
    decltype(&::snd_pcm_open) pcm_open;
    decltype(&::snd_pcm_close) pcm_close;
    decltype(&::snd_pcm_set_params) pcm_set_params;
    decltype(&::snd_pcm_writei) pcm_writei;
    decltype(&::snd_pcm_start) pcm_start;
    decltype(&::snd_pcm_drop) pcm_drop;
    decltype(&::snd_pcm_prepare) pcm_prepare;
    decltype(&::snd_pcm_state) pcm_state;
    decltype(&::snd_pcm_delay) pcm_delay;
    decltype(&::snd_lib_error_set_handler) lib_error_set_handler;
};

// ALSA's own messages ("cannot find card 0") would go to the terminal: a machine without a
// sound card simply plays nothing.
void semMensagens(const char*, int, const char*, int, const char*, ...) {}

// Null when the library cannot be loaded; loaded once, kept to the end.
const Alsa* alsa()
{
    static const Alsa* carregada = []() -> const Alsa* {
        void* b = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!b) return nullptr;
        static Alsa a;
        const bool ok = resolver(b, "snd_pcm_open", a.pcm_open) && resolver(b, "snd_pcm_close", a.pcm_close)
            && resolver(b, "snd_pcm_set_params", a.pcm_set_params) && resolver(b, "snd_pcm_writei", a.pcm_writei)
            && resolver(b, "snd_pcm_start", a.pcm_start) && resolver(b, "snd_pcm_drop", a.pcm_drop)
            && resolver(b, "snd_pcm_prepare", a.pcm_prepare) && resolver(b, "snd_pcm_state", a.pcm_state) && resolver(b, "snd_pcm_delay", a.pcm_delay)
            && resolver(b, "snd_lib_error_set_handler", a.lib_error_set_handler);
        if (!ok) return nullptr;
        a.lib_error_set_handler(semMensagens);
        return &a;
    }();
    return carregada;
}

snd_pcm_t* abrirSaida(const QString& dispositivo)
{
    snd_pcm_t* pcm = nullptr;
    if (!alsa() || alsa()->pcm_open(&pcm, dispositivo.toUtf8().constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return nullptr;
    return pcm;
}

// The device's buffer holds the whole sound when it can (at least half a second, at most ten),
// so that a busy program does not cut it; what does not fit is topped up every 20 ms.
constexpr qint64 kBufferMinimoUs = 500'000;
constexpr qint64 kBufferMaximoUs = 10'000'000;
constexpr int kIntervaloAlimentacaoMs = 20;

unsigned bufferPara(const OndaWave& onda)
{
    const qint64 duracaoUs = onda.quantidadeQuadros() * 1'000'000 / onda.amostrasPorSegundo;
    return static_cast<unsigned>(std::clamp(duracaoUs, kBufferMinimoUs, kBufferMaximoUs));
}

} // namespace

SomWave::SomWave(const QString& recurso, QObject* pai, const QString& dispositivo)
    : QObject(pai), recurso_(recurso), dispositivo_(dispositivo)
{
    alimentador_ = new QTimer(this);
    alimentador_->setInterval(kIntervaloAlimentacaoMs);
    connect(alimentador_, &QTimer::timeout, this, &SomWave::alimentar);
    // Opening the device reads ALSA's configuration and reaches for the sound server, which
    // takes a while: done once the program's loop runs, after the first window is on screen,
    // and still long before the first click.
    QTimer::singleShot(0, this, [this] { preparar(); });
}

SomWave::~SomWave() { fecharDispositivo(); }

bool SomWave::haSaidaDeAudio()
{
    snd_pcm_t* pcm = abrirSaida(QStringLiteral("default"));
    if (pcm) alsa()->pcm_close(pcm);
    return pcm != nullptr;
}

// The device stays open from the first sound on, so that a click is heard at once.
bool SomWave::preparar()
{
    if (pcm_) return true;
    if (!lida_) {
        lida_ = true;
        QFile arquivo(recurso_);
        if (arquivo.open(QIODevice::ReadOnly))
            if (auto onda = lerOndaWave(arquivo.readAll())) onda_ = std::move(*onda);
    }
    if (onda_.quantidadeQuadros() == 0) return false;
    pcm_ = abrirSaida(dispositivo_);
    if (!pcm_) return false;
    const snd_pcm_format_t formato = onda_.bitsPorAmostra == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (alsa()->pcm_set_params(pcm_, formato, SND_PCM_ACCESS_RW_INTERLEAVED, static_cast<unsigned>(onda_.canais),
                               static_cast<unsigned>(onda_.amostrasPorSegundo), 1, bufferPara(onda_))
        < 0) {
        fecharDispositivo();
        return false;
    }
    enviados_ = onda_.quantidadeQuadros();
    return true;
}

void SomWave::tocar()
{
    if (!preparar()) return;
    alsa()->pcm_drop(pcm_);
    if (alsa()->pcm_prepare(pcm_) < 0) {
        fecharDispositivo();  // the device went away: the next sound opens it again
        return;
    }
    enviados_ = 0;
    alimentar();
}

// Writes what the device's buffer takes now and comes back for the rest.
void SomWave::alimentar()
{
    const qint64 total = onda_.quantidadeQuadros();
    while (pcm_ && enviados_ < total) {
        const snd_pcm_sframes_t n = alsa()->pcm_writei(
            pcm_, onda_.quadros.constData() + enviados_ * onda_.bytesPorQuadro(),
            static_cast<snd_pcm_uframes_t>(total - enviados_));
        if (n == -EAGAIN) break;
        if (n == -EPIPE) {  // ran dry while the program was busy: go on after the gap
            if (alsa()->pcm_prepare(pcm_) < 0) fecharDispositivo();
            continue;
        }
        if (n < 0) {
            fecharDispositivo();
            return;
        }
        enviados_ += n;
    }
    // The buffer starts playing only when full; a sound shorter than the buffer starts now.
    if (pcm_ && alsa()->pcm_state(pcm_) == SND_PCM_STATE_PREPARED) alsa()->pcm_start(pcm_);
    if (pcm_ && enviados_ < total) alimentador_->start();
    else alimentador_->stop();
}

void SomWave::parar()
{
    alimentador_->stop();
    enviados_ = onda_.quantidadeQuadros();
    if (pcm_) alsa()->pcm_drop(pcm_);
}

bool SomWave::tocando() const
{
    if (!pcm_) return false;
    if (enviados_ < onda_.quantidadeQuadros()) return true;
    snd_pcm_sframes_t naFila = 0;
    return alsa()->pcm_state(pcm_) == SND_PCM_STATE_RUNNING && alsa()->pcm_delay(pcm_, &naFila) == 0 && naFila > 0;
}

void SomWave::fecharDispositivo()
{
    if (alimentador_) alimentador_->stop();
    if (!pcm_) return;
    alsa()->pcm_close(pcm_);
    pcm_ = nullptr;
}

} // namespace plataforma
