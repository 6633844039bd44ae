#include "platform/TocadorFluidSynth.h"
#include "platform/BancoDeSons.h"
#include "platform/BibliotecaDinamica.h"
#include "platform/MidiDuracao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
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
    decltype(&::fluid_synth_sfunload) synth_sfunload;
    decltype(&::new_fluid_defsfloader) new_defsfloader;
    decltype(&::fluid_sfloader_set_callbacks) sfloader_set_callbacks;
    decltype(&::fluid_synth_add_sfloader) synth_add_sfloader;
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
            && resolver(b, "fluid_synth_sfunload", f.synth_sfunload)
            && resolver(b, "new_fluid_defsfloader", f.new_defsfloader)
            && resolver(b, "fluid_sfloader_set_callbacks", f.sfloader_set_callbacks)
            && resolver(b, "fluid_synth_add_sfloader", f.synth_add_sfloader)
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

// The synthesiser reads a cut-down bank through these callbacks: the bank file's own bytes up
// to its preset list, then the smaller list. FluidSynth parses every preset of a bank it loads
// (a couple of kilobytes each, several megabytes for a General MIDI bank), while the songs use
// a few dozen. Files with no cut-down version registered are read as they are.
std::mutex travaBancos;
std::map<std::string, std::shared_ptr<const BancoReduzido>> bancos;

struct ArquivoVirtual {
    std::FILE* arquivo = nullptr;
    std::shared_ptr<const BancoReduzido> banco;
    long long tamanho = 0;
    long long pos = 0;
};

void* abrirVirtual(const char* nome)
{
    auto* v = new ArquivoVirtual;
    v->arquivo = std::fopen(nome, "rb");
    if (!v->arquivo) { delete v; return nullptr; }
    {
        std::lock_guard<std::mutex> trava(travaBancos);
        const auto it = bancos.find(nome);
        if (it != bancos.end()) v->banco = it->second;
    }
    if (v->banco) {
        v->tamanho = v->banco->inicioPdta + v->banco->pdta.size();
    } else {
        std::fseek(v->arquivo, 0, SEEK_END);
        v->tamanho = std::ftell(v->arquivo);
    }
    return v;
}

int lerVirtual(void* destino, fluid_long_long_t quantos, void* handle)
{
    auto* v = static_cast<ArquivoVirtual*>(handle);
    if (quantos < 0 || v->pos + quantos > v->tamanho) return FLUID_FAILED;
    auto* saida = static_cast<char*>(destino);
    const long long inicioLista = v->banco ? v->banco->inicioPdta : v->tamanho;
    long long resta = quantos;
    while (resta > 0) {
        if (v->pos < inicioLista) {
            const long long n = std::min(resta, inicioLista - v->pos);
            if (std::fseek(v->arquivo, static_cast<long>(v->pos), SEEK_SET) != 0
                || std::fread(saida, 1, static_cast<size_t>(n), v->arquivo) != static_cast<size_t>(n))
                return FLUID_FAILED;
            if (v->banco && v->pos < 8 && v->pos + n > 4) {  // the RIFF size covers the new list
                char tamanhoRiff[4];
                qToLittleEndian<quint32>(v->banco->tamanhoRiff, tamanhoRiff);
                for (long long i = std::max(4LL, v->pos); i < std::min(8LL, v->pos + n); ++i)
                    saida[i - v->pos] = tamanhoRiff[i - 4];
            }
            saida += n;
            v->pos += n;
            resta -= n;
        } else {
            std::memcpy(saida, v->banco->pdta.constData() + (v->pos - inicioLista), static_cast<size_t>(resta));
            v->pos += resta;
            resta = 0;
        }
    }
    return FLUID_OK;
}

int irVirtual(void* handle, fluid_long_long_t deslocamento, int origem)
{
    auto* v = static_cast<ArquivoVirtual*>(handle);
    const long long base = origem == SEEK_SET ? 0 : origem == SEEK_CUR ? v->pos : v->tamanho;
    if (base + deslocamento < 0 || base + deslocamento > v->tamanho) return FLUID_FAILED;
    v->pos = base + deslocamento;
    return FLUID_OK;
}

fluid_long_long_t posicaoVirtual(void* handle) { return static_cast<ArquivoVirtual*>(handle)->pos; }

int fecharVirtual(void* handle)
{
    auto* v = static_cast<ArquivoVirtual*>(handle);
    std::fclose(v->arquivo);
    delete v;
    return FLUID_OK;
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
    synth_ = fluid()->new_synth(settings_);
    if (!synth_) return falhar(QStringLiteral("Não é possível iniciar o sintetizador de música."));
    if (fluid_sfloader_t* leitor = fluid()->new_defsfloader(settings_)) {
        fluid()->sfloader_set_callbacks(leitor, abrirVirtual, lerVirtual, irVirtual, posicaoVirtual, fecharVirtual);
        fluid()->synth_add_sfloader(synth_, leitor);
    }
    return true;
}

// Loads the bank with the presets of this song and of the songs before it (see reduzirBanco);
// a song the bank loaded so far does not cover loads it again, widened. When the song or the
// bank cannot be read that way, the whole bank is loaded.
bool TocadorFluidSynth::carregarBanco(const QString& musica)
{
    const auto programas = programasMidi(musica);
    const bool completo = idBanco_ >= 0 && programasDoBanco_.isEmpty();
    if (idBanco_ >= 0 && (completo || (programas && programasDoBanco_.contains(*programas)))) return true;

    QSet<int> novos = programasDoBanco_;
    std::shared_ptr<const BancoReduzido> banco;
    if (programas) {
        novos.unite(*programas);
        novos.insert(0);
        QFile arquivo(opcoes_.fonteSons);
        if (arquivo.open(QIODevice::ReadOnly))
            if (auto reduzido = reduzirBanco(arquivo, novos)) banco = std::make_shared<const BancoReduzido>(*reduzido);
    }
    if (!banco) novos.clear();
    const QByteArray nome = nomeLocal(opcoes_.fonteSons);
    {
        std::lock_guard<std::mutex> trava(travaBancos);
        if (banco) bancos[nome.toStdString()] = banco;
        else bancos.erase(nome.toStdString());
    }
    if (idBanco_ >= 0) fluid()->synth_sfunload(synth_, idBanco_, 1);
    idBanco_ = fluid()->synth_sfload(synth_, nome.constData(), 1);
    programasDoBanco_ = novos;
#ifdef __GLIBC__
    malloc_trim(0);  // reading the soundfont leaves megabytes of freed heap behind
#endif
    if (idBanco_ == FLUID_FAILED) {
        idBanco_ = -1;
        return falhar(QStringLiteral("Não é possível carregar o banco de sons %1").arg(nativo(opcoes_.fonteSons)));
    }
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
    if (!prepararSintetizador() || !carregarBanco(arquivo)) return false;

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
