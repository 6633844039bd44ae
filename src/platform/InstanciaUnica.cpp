#include "platform/InstanciaUnica.h"
#include "platform/Diretorios.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <memory>

namespace plataforma {
namespace {

std::unique_ptr<QLockFile>& travaDoProcesso()
{
    static std::unique_ptr<QLockFile> trava;
    return trava;
}

QString arquivoTravaPadrao()
{
    const QString nome = QStringLiteral("tarvex3.lock");
    if (QDir().mkpath(diretorioTrabalho())) return juntar(diretorioTrabalho(), nome);
    return juntar(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation), nome);
}

} // namespace

bool adquirirInstanciaUnica() { return adquirirInstanciaUnica(arquivoTravaPadrao()); }

bool adquirirInstanciaUnica(const QString& arquivoTrava)
{
    std::unique_ptr<QLockFile>& trava = travaDoProcesso();
    if (trava && trava->fileName() == arquivoTrava) return true;

    auto nova = std::make_unique<QLockFile>(arquivoTrava);
    // A lock is stale only when its process is gone, however long the program has run.
    nova->setStaleLockTime(0);
    if (!nova->tryLock(0)) return false;
    trava = std::move(nova);
    return true;
}

} // namespace plataforma
