#include "platform/InstanciaUnica.h"
#include "platform/Diretorios.h"

#include "xbase/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <memory>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace plataforma {
namespace {

std::unique_ptr<QLockFile>& travaDoProcesso()
{
    static std::unique_ptr<QLockFile> trava;
    return trava;
}

// The user's runtime folder: two users of one computer, or two computers on one shared data
// folder, each run their own copy (the tables take their own locks).
QString arquivoTravaPadrao()
{
    const QString nome = QStringLiteral("tarvex3.lock");
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime)) return juntar(runtime, nome);
    QDir().mkpath(diretorioTrabalho());
    return juntar(diretorioTrabalho(), nome);
}

} // namespace

// Why a file cannot be written in a folder (read-only, full, no permission), found by
// writing one byte; empty when it can.
QString motivoSemGravacao(const QString& pasta)
{
    const QByteArray teste = QFile::encodeName(juntar(pasta, QStringLiteral(".tarvex-teste")));
    int numeroErro = 0;
    const int fd = ::open(teste.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        numeroErro = errno;
    } else {
        if (::write(fd, "x", 1) != 1 || ::fsync(fd) != 0) numeroErro = errno ? errno : ENOSPC;
        ::close(fd);
        ::unlink(teste.constData());
    }
    return numeroErro ? QString::fromStdString(xbase::systemErrorText(numeroErro)) : QString();
}

bool adquirirInstanciaUnica(QString* motivo) { return adquirirInstanciaUnica(arquivoTravaPadrao(), motivo); }

bool adquirirInstanciaUnica(const QString& arquivoTrava, QString* motivo)
{
    if (motivo) motivo->clear();
    std::unique_ptr<QLockFile>& trava = travaDoProcesso();
    if (trava && trava->fileName() == arquivoTrava) return true;

    auto nova = std::make_unique<QLockFile>(arquivoTrava);
    // A lock is stale only when its process is gone, however long the program has run.
    nova->setStaleLockTime(0);
    if (!nova->tryLock(0)) {
        // Only a lock held by another copy means the program is already open.
        if (nova->error() != QLockFile::LockFailedError && motivo) {
            const QString pasta = QFileInfo(arquivoTrava).absolutePath();
            const QString causa = motivoSemGravacao(pasta);
            *motivo = QStringLiteral("Não é possível gravar na pasta de trabalho %1: %2.")
                          .arg(QDir::toNativeSeparators(pasta),
                               causa.isEmpty() ? QStringLiteral("o arquivo de trava não pôde ser criado") : causa);
        }
        return false;
    }
    trava = std::move(nova);
    return true;
}

TravaDaPasta::TravaDaPasta(const QString& pasta)
{
    QDir().mkpath(pasta);
    const QByteArray nome = QFile::encodeName(juntar(pasta, QStringLiteral(".tarvex3-inicio.lck")));
    fd_ = ::open(nome.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return;
    struct flock trava {};
    trava.l_type = F_WRLCK;
    trava.l_whence = SEEK_SET;
    while (::fcntl(fd_, F_SETLKW, &trava) != 0 && errno == EINTR) {
    }
}

TravaDaPasta::~TravaDaPasta()
{
    if (fd_ >= 0) ::close(fd_);  // closing lets the lock go
}

} // namespace plataforma
