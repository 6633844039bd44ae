#include "Voz.h"

#include "BibliotecaDinamica.h"

#include <libspeechd.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace plataforma {

struct VozSpeechd::Conexao {
    SPDConnection* (*open2)(const char*, const char*, const char*, SPDConnectionMode, const SPDConnectionAddress*,
                            int, char**) = nullptr;
    void (*close)(SPDConnection*) = nullptr;
    int (*say)(SPDConnection*, SPDPriority, const char*) = nullptr;
    int (*cancel)(SPDConnection*) = nullptr;
    int (*setLanguage)(SPDConnection*, const char*) = nullptr;
    int (*setModule)(SPDConnection*, const char*) = nullptr;
    int (*notification)(SPDConnection*, SPDNotification) = nullptr;
    SPDConnection* spd = nullptr;
    std::function<void()> aoComecar;

    // The daemon's replies are waited for on a thread of their own: a keystroke never waits
    // for them. Only the latest request counts: a new phrase replaces one not yet sent.
    std::thread trabalhador;
    std::mutex trava;
    std::condition_variable aviso;
    enum class Pedido { Nenhum, Calar, Falar } pedido = Pedido::Nenhum;
    std::string frase;
    bool fim = false;

    void pedir(Pedido p, std::string texto = {})
    {
        {
            std::lock_guard<std::mutex> t(trava);
            pedido = p;
            frase = std::move(texto);
        }
        aviso.notify_one();
    }

    void trabalhar()
    {
        for (;;) {
            std::unique_lock<std::mutex> t(trava);
            aviso.wait(t, [this] { return fim || pedido != Pedido::Nenhum; });
            if (fim) return;
            const Pedido p = pedido;
            const std::string texto = std::move(frase);
            pedido = Pedido::Nenhum;
            t.unlock();
            cancel(spd);
            if (p == Pedido::Falar) say(spd, SPD_TEXT, texto.c_str());
        }
    }
};

namespace {

// The daemon calls back without a context: the one connection of the run is the context.
std::mutex travaComeco;
std::function<void()>* comeco = nullptr;

void comecou(size_t, size_t, SPDNotificationType)
{
    std::lock_guard<std::mutex> t(travaComeco);
    if (comeco && *comeco) (*comeco)();
}

} // namespace

VozSpeechd::VozSpeechd() : c_(std::make_unique<Conexao>()) {}

VozSpeechd::~VozSpeechd()
{
    if (c_->trabalhador.joinable()) {
        {
            std::lock_guard<std::mutex> t(c_->trava);
            c_->fim = true;
        }
        c_->aviso.notify_one();
        c_->trabalhador.join();
    }
    if (c_->spd) c_->close(c_->spd);
    std::lock_guard<std::mutex> t(travaComeco);
    if (comeco == &c_->aoComecar) comeco = nullptr;
}

bool VozSpeechd::disponivel()
{
    if (!tentou_) {
        tentou_ = true;
        abrir();
    }
    return c_->spd != nullptr;
}

bool VozSpeechd::abrir()
{
    void* b = dlopen("libspeechd.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!b) {
        motivo_ = QStringLiteral("Falta o speech-dispatcher (pacote speech-dispatcher) neste computador.");
        return false;
    }
    Conexao& c = *c_;
    if (!(resolver(b, "spd_open2", c.open2) && resolver(b, "spd_close", c.close) && resolver(b, "spd_say", c.say)
          && resolver(b, "spd_cancel", c.cancel) && resolver(b, "spd_set_language", c.setLanguage)
          && resolver(b, "spd_set_output_module", c.setModule)
          && resolver(b, "spd_set_notification_on", c.notification))) {
        motivo_ = QStringLiteral("O speech-dispatcher instalado é antigo demais.");
        return false;
    }
    char* erro = nullptr;
    c.spd = c.open2("tarvex3", "pratica", nullptr, SPD_MODE_THREADED, nullptr, 1, &erro);
    if (!c.spd) {
        motivo_ = QStringLiteral("O serviço de voz (speech-dispatcher) não respondeu: ")
                  + QString::fromUtf8(erro ? erro : "sem motivo");
        free(erro);
        return false;
    }
    c.setModule(c.spd, "espeak-ng");
    c.setLanguage(c.spd, "pt-BR");
    c.spd->callback_begin = comecou;
    c.notification(c.spd, SPD_BEGIN);
    {
        std::lock_guard<std::mutex> t(travaComeco);
        comeco = &c.aoComecar;
    }
    c.trabalhador = std::thread([&c] { c.trabalhar(); });
    return true;
}

void VozSpeechd::falar(const QString& frase)
{
    if (disponivel()) c_->pedir(Conexao::Pedido::Falar, frase.toStdString());
}

void VozSpeechd::calar()
{
    if (c_->spd) c_->pedir(Conexao::Pedido::Calar);
}

void VozSpeechd::aoComecar(std::function<void()> f)
{
    std::lock_guard<std::mutex> t(travaComeco);
    c_->aoComecar = std::move(f);
}

namespace {

std::unique_ptr<Voz>& vozAtual()
{
    static std::unique_ptr<Voz> v;
    return v;
}
bool ligadaPeloAluno = false;
bool ligadaPelaTecla = false;

} // namespace

Voz& voz()
{
    if (!vozAtual()) vozAtual() = std::make_unique<VozSpeechd>();
    return *vozAtual();
}

void definirVoz(std::unique_ptr<Voz> nova) { vozAtual() = std::move(nova); }
bool falando() { return ligadaPeloAluno || ligadaPelaTecla; }
void ligarFala(bool l)
{
    if (falando() && !l && !ligadaPelaTecla && vozAtual()) vozAtual()->calar();
    ligadaPeloAluno = l;
}

void alternarVozDaExecucao()
{
    if (falando()) {
        voz().falar(QStringLiteral("Voz desligada"));
        ligadaPeloAluno = ligadaPelaTecla = false;
        return;
    }
    ligadaPelaTecla = true;
    dizer(QStringLiteral("Voz ligada"));
}

void dizer(const QString& frase)
{
    if (falando() && !frase.isEmpty()) voz().falar(frase);
}

} // namespace plataforma
