#include "platform/InstanciaUnica.h"
#include "platform/Diretorios.h"

#include "xbase/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace plataforma {
namespace {

// The lock this process holds: its file and the open file that holds it (never closed, so the
// system lets the lock go only when the process ends, however it ends).
struct TravaDoProcesso {
    QString arquivo;
    int fd = -1;
};

TravaDoProcesso& travaDoProcesso()
{
    static TravaDoProcesso trava;
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
    TravaDoProcesso& trava = travaDoProcesso();
    if (trava.fd >= 0 && trava.arquivo == arquivoTrava) return true;

    const QByteArray nome = QFile::encodeName(arquivoTrava);
    const int fd = ::open(nome.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    const int erro = fd < 0 ? errno : 0;
    // A file system without locks cannot tell whether another copy runs: the program goes on.
    if (fd >= 0 && (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK)) {
        if (::ftruncate(fd, 0) == 0) {
            const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
            const ssize_t gravados = ::write(fd, pid.constData(), static_cast<size_t>(pid.size()));
            (void)gravados;  // the process number is only for whoever looks at the file
        }
        if (trava.fd >= 0) ::close(trava.fd);
        trava = {arquivoTrava, fd};
        return true;
    }
    if (fd >= 0) ::close(fd);
    // Only a lock held by another copy means the program is already open.
    if (erro != 0 && motivo) {
        const QString pasta = QFileInfo(arquivoTrava).absolutePath();
        const QString causa = motivoSemGravacao(pasta);
        *motivo = QStringLiteral("Não é possível gravar na pasta de trabalho %1: %2.")
                      .arg(QDir::toNativeSeparators(pasta),
                           causa.isEmpty() ? QStringLiteral("o arquivo de trava não pôde ser criado") : causa);
    }
    return false;
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
