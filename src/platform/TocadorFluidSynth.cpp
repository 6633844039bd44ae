#include "platform/TocadorFluidSynth.h"
#include "platform/MidiDuracao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>
#include <fluidsynth.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace plataforma {
namespace {

// FluidSynth and the libraries it pulls in (SDL2, libinstpatch, libsndfile, readline, ...)
// are loaded at the first song, not at the start: the program starts faster and, with music
// off, never maps them.
struct Fluid {
    decltype(&::new_fluid_settings) new_settings;
    decltype(&::delete_fluid_settings) delete_settings;
    decltype(&::fluid_settings_setstr) settings_setstr;
    decltype(&::fluid_settings_setint) settings_setint;
    decltype(&::new_fluid_synth) new_synth;
    decltype(&::delete_fluid_synth) delete_synth;
    decltype(&::fluid_synth_sfload) synth_sfload;
    decltype(&::fluid_synth_system_reset) synth_system_reset;
    decltype(&::fluid_synth_all_sounds_off) synth_all_sounds_off;
    decltype(&::fluid_is_midifile) is_midifile;
    decltype(&::new_fluid_player) new_player;
    decltype(&::delete_fluid_player) delete_player;
    decltype(&::fluid_player_add) player_add;
    decltype(&::fluid_player_play) player_play;
    decltype(&::fluid_player_stop) player_stop;
    decltype(&::new_fluid_audio_driver) new_audio_driver;
    decltype(&::delete_fluid_audio_driver) delete_audio_driver;
};

template <class Funcao>
bool resolver(void* biblioteca, const char* nome, Funcao& funcao)
{
    funcao = reinterpret_cast<Funcao>(dlsym(biblioteca, nome));
    return funcao != nullptr;
}

// Null when the library cannot be loaded; loaded once, kept to the end.
const Fluid* fluid()
{
    static const Fluid* carregada = [] () -> const Fluid* {
        void* b = dlopen("libfluidsynth.so.3", RTLD_NOW | RTLD_LOCAL);
        if (!b) b = dlopen("libfluidsynth.so", RTLD_NOW | RTLD_LOCAL);
        if (!b) return nullptr;
        static Fluid f;
        const bool ok = resolver(b, "new_fluid_settings", f.new_settings)
            && resolver(b, "delete_fluid_settings", f.delete_settings)
            && resolver(b, "fluid_settings_setstr", f.settings_setstr)
            && resolver(b, "fluid_settings_setint", f.settings_setint)
            && resolver(b, "new_fluid_synth", f.new_synth)
            && resolver(b, "delete_fluid_synth", f.delete_synth)
            && resolver(b, "fluid_synth_sfload", f.synth_sfload)
            && resolver(b, "fluid_synth_system_reset", f.synth_system_reset)
            && resolver(b, "fluid_synth_all_sounds_off", f.synth_all_sounds_off)
            && resolver(b, "fluid_is_midifile", f.is_midifile)
            && resolver(b, "new_fluid_player", f.new_player)
            && resolver(b, "delete_fluid_player", f.delete_player)
            && resolver(b, "fluid_player_add", f.player_add)
            && resolver(b, "fluid_player_play", f.player_play)
            && resolver(b, "fluid_player_stop", f.player_stop)
            && resolver(b, "new_fluid_audio_driver", f.new_audio_driver)
            && resolver(b, "delete_fluid_audio_driver", f.delete_audio_driver);
        return ok ? &f : nullptr;
    }();
    return carregada;
}

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
    if (synth_) fluid()->delete_synth(synth_);
    if (settings_) fluid()->delete_settings(settings_);
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
    if (!settings_) settings_ = fluid()->new_settings();
    if (!settings_) return falhar(QStringLiteral("Não é possível iniciar o sintetizador de música."));
    // Only the instruments a song uses are read from the soundfont, when the song selects them:
    // a few hundred kilobytes instead of the whole bank in memory.
    fluid()->settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    // The program's songs sound at most 83 notes at once: 128 voices never cut one off, and
    // take half the memory of the default 256.
    fluid()->settings_setint(settings_, "synth.polyphony", 128);
    for (const auto& [nome, valor] : opcoes_.ajustes)
        fluid()->settings_setstr(settings_, nome.toUtf8().constData(), valor.toUtf8().constData());
    fluid_synth_t* synth = fluid()->new_synth(settings_);
    if (!synth) return falhar(QStringLiteral("Não é possível iniciar o sintetizador de música."));
    if (fluid()->synth_sfload(synth, nomeLocal(opcoes_.fonteSons).constData(), 1) == FLUID_FAILED) {
        fluid()->delete_synth(synth);
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
    if (!QFileInfo(arquivo).isFile()) return falhar(mensagem);
    if (!fluid()) return falhar(QStringLiteral("Não é possível iniciar o sintetizador de música."));
    if (!fluid()->is_midifile(nomeLocal(arquivo).constData())) return falhar(mensagem);
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
    fluid()->synth_system_reset(synth_);

    player_ = fluid()->new_player(synth_);
    if (!player_ || fluid()->player_add(player_, nomeLocal(arquivo_).constData()) == FLUID_FAILED
        || fluid()->player_play(player_) == FLUID_FAILED) {
        liberarPlayer();
        return falhar(QStringLiteral("Não é possível tocar a música %1").arg(nativo(arquivo_)));
    }
    // Without a sound card FluidSynth gives no driver at all.
    driver_ = fluid()->new_audio_driver(settings_, synth_);
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
    if (player_) fluid()->player_stop(player_);
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
    fluid()->delete_audio_driver(driver_);
    driver_ = nullptr;
    if (synth_) fluid()->synth_all_sounds_off(synth_, -1);
}

void TocadorFluidSynth::liberarPlayer()
{
    if (!player_) return;
    fluid()->player_stop(player_);
    fluid()->delete_player(player_);
    player_ = nullptr;
}

std::unique_ptr<TocadorMidi> criarTocadorMidi() { return std::make_unique<TocadorFluidSynth>(); }

} // namespace plataforma
