#include "platform/TocadorFluidSynth.h"
#include "platform/MidiDuracao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fluidsynth.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace plataforma {
namespace {

QByteArray nomeLocal(const QString& caminho) { return QFile::encodeName(caminho); }

QString nativo(const QString& caminho) { return QDir::toNativeSeparators(caminho); }

} // namespace

TocadorFluidSynth::TocadorFluidSynth(OpcoesFluidSynth opcoes)
    : opcoes_(std::move(opcoes)), posicao_(opcoes_.relogio)
{
    if (!opcoes_.duracao) opcoes_.duracao = duracaoMidiMs;
}

TocadorFluidSynth::~TocadorFluidSynth()
{
    fechar();
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

bool TocadorFluidSynth::falhar(const QString& mensagem)
{
    erro_ = mensagem;
    return false;
}

// The synthesiser and its soundfont are made once, at the first song.
bool TocadorFluidSynth::prepararSintetizador()
{
    if (synth_) return true;
    if (!QFileInfo(opcoes_.fonteSons).isFile())
        return falhar(QStringLiteral("Banco de sons para música não encontrado: %1").arg(nativo(opcoes_.fonteSons)));
    if (!settings_) settings_ = new_fluid_settings();
    if (!settings_) return falhar(QStringLiteral("Não é possível iniciar o sintetizador de música."));
    // Only the instruments a song uses are read from the soundfont, when the song selects them:
    // a few hundred kilobytes instead of the whole bank in memory.
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    // The program's songs sound at most 83 notes at once: 128 voices never cut one off, and
    // take half the memory of the default 256.
    fluid_settings_setint(settings_, "synth.polyphony", 128);
    for (const auto& [nome, valor] : opcoes_.ajustes)
        fluid_settings_setstr(settings_, nome.toUtf8().constData(), valor.toUtf8().constData());
    fluid_synth_t* synth = new_fluid_synth(settings_);
    if (!synth) return falhar(QStringLiteral("Não é possível iniciar o sintetizador de música."));
    if (fluid_synth_sfload(synth, nomeLocal(opcoes_.fonteSons).constData(), 1) == FLUID_FAILED) {
        delete_fluid_synth(synth);
        return falhar(QStringLiteral("Não é possível carregar o banco de sons %1").arg(nativo(opcoes_.fonteSons)));
    }
    synth_ = synth;
#ifdef __GLIBC__
    malloc_trim(0);  // reading the soundfont leaves megabytes of freed heap behind
#endif
    return true;
}

bool TocadorFluidSynth::abrir(const QString& arquivo)
{
    fechar();
    erro_.clear();
    const QString mensagem = QStringLiteral("Não é possível abrir a música %1").arg(nativo(arquivo));
    if (!QFileInfo(arquivo).isFile() || !fluid_is_midifile(nomeLocal(arquivo).constData()))
        return falhar(mensagem);
    const qint64 duracao = opcoes_.duracao(arquivo);
    if (duracao < 0) return falhar(mensagem);
    if (!prepararSintetizador()) return false;

    arquivo_ = arquivo;
    posicao_.definirDuracao(duracao);
    return true;
}

bool TocadorFluidSynth::tocarDoInicio()
{
    erro_.clear();
    if (!aberto()) return falhar(QStringLiteral("Nenhuma música aberta."));
    pararDriver();
    posicao_.parar();
    liberarPlayer();
    fluid_synth_system_reset(synth_);

    player_ = new_fluid_player(synth_);
    if (!player_ || fluid_player_add(player_, nomeLocal(arquivo_).constData()) == FLUID_FAILED
        || fluid_player_play(player_) == FLUID_FAILED) {
        liberarPlayer();
        return falhar(QStringLiteral("Não é possível tocar a música %1").arg(nativo(arquivo_)));
    }
    // Without a sound card FluidSynth gives no driver at all.
    driver_ = new_fluid_audio_driver(settings_, synth_);
    if (!driver_) {
        liberarPlayer();
        return falhar(QStringLiteral("Nenhum dispositivo de som disponível para tocar a música."));
    }
    posicao_.iniciarDoZero();
    return true;
}

void TocadorFluidSynth::parar()
{
    if (!aberto()) return;
    pararDriver();
    if (player_) fluid_player_stop(player_);
    posicao_.parar();
}

void TocadorFluidSynth::fechar()
{
    pararDriver();
    liberarPlayer();
    arquivo_.clear();
    posicao_.zerar();
}

qint64 TocadorFluidSynth::posicaoMs() const { return aberto() ? posicao_.posicaoMs() : 0; }

// Deleting the driver ends its audio thread, so the player can then be changed safely.
void TocadorFluidSynth::pararDriver()
{
    if (!driver_) return;
    delete_fluid_audio_driver(driver_);
    driver_ = nullptr;
    if (synth_) fluid_synth_all_sounds_off(synth_, -1);
}

void TocadorFluidSynth::liberarPlayer()
{
    if (!player_) return;
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
}

std::unique_ptr<TocadorMidi> criarTocadorMidi() { return std::make_unique<TocadorFluidSynth>(); }

} // namespace plataforma
