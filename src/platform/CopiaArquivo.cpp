#include "platform/CopiaArquivo.h"

#include "xbase/SystemError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plataforma {
namespace {

constexpr qint64 tamanhoBloco = 64 * 1024;

QString comCaminho(const char* modelo, const QString& caminho)
{
    return QString::fromUtf8(modelo).arg(QDir::toNativeSeparators(caminho));
}

void avisar(const ProgressoCopia& progresso, qint64 copiados, qint64 total)
{
    if (progresso) progresso(copiados, total);
}

void abrirOrigem(QFile& origem)
{
    if (QFileInfo(origem.fileName()).isDir() || !origem.open(QIODevice::ReadOnly))
        throw ErroCopia(comCaminho("Não é possível abrir o arquivo %1", origem.fileName()));
}

// The copy's failures start with their own words; the file and the system's cause follow.
constexpr const char* kErroLeitura = "Erro de leitura de fluxo em %1";
constexpr const char* kErroGravacao = "Erro de gravação no fluxo em %1";

[[noreturn]] void falharCom(const char* modelo, const QString& caminho, int numeroErro)
{
    throw ErroCopia(comCaminho(modelo, caminho) + QStringLiteral(": ")
                    + QString::fromStdString(xbase::systemErrorText(numeroErro)));
}

// The copy is written under a temporary name beside the target and renamed to it only when
// whole, so a full disk never leaves a cut file under the table's own name.
class Destino {
public:
    explicit Destino(const QString& caminho)
        : caminho_(caminho), temporario_(caminho + QStringLiteral(".copiando"))
    {
        const QString pasta = QFileInfo(caminho).absolutePath();
        if (!QDir().mkpath(pasta))
            throw ErroCopia(comCaminho("Não é possível criar a pasta %1", pasta));
        fd_ = ::open(QFile::encodeName(temporario_).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) falhar("Não é possível criar o arquivo %1");
    }
    ~Destino()
    {
        if (fd_ >= 0) ::close(fd_);
        if (!concluido_) ::unlink(QFile::encodeName(temporario_).constData());
    }

    void gravar(const char* dados, qint64 tamanho)
    {
        while (tamanho > 0) {
            const ssize_t n = ::write(fd_, dados, static_cast<size_t>(tamanho));
            if (n < 0 && errno == EINTR) continue;
            if (n == 0) errno = ENOSPC;
            if (n <= 0) falhar(kErroGravacao);
            dados += n;
            tamanho -= n;
        }
    }

    void concluir(const QDateTime& data)
    {
        const qint64 ms = data.toMSecsSinceEpoch();
        const timespec quando {static_cast<time_t>(ms / 1000), static_cast<long>((ms % 1000) * 1000000)};
        const timespec tempos[2] {quando, quando};
        ::futimens(fd_, tempos);
        if (::fsync(fd_) != 0) falhar(kErroGravacao);
        if (::close(fd_) != 0) {
            fd_ = -1;
            falhar(kErroGravacao);
        }
        fd_ = -1;
        if (::rename(QFile::encodeName(temporario_).constData(), QFile::encodeName(caminho_).constData()) != 0)
            falhar(kErroGravacao);
        concluido_ = true;
    }

private:
    [[noreturn]] void falhar(const char* modelo) const { falharCom(modelo, caminho_, errno); }

    QString caminho_;
    QString temporario_;
    int fd_ = -1;
    bool concluido_ = false;
};

void copiarBlocos(QFile& origem, Destino& destino, const ProgressoCopia& progresso)
{
    const qint64 total = origem.size();
    std::vector<char> bloco(tamanhoBloco);
    qint64 copiados = 0;
    for (;;) {
        // Read straight from the file, so that the system's cause of a failure is at hand.
        qint64 lidos;
        do lidos = ::read(origem.handle(), bloco.data(), tamanhoBloco);
        while (lidos < 0 && errno == EINTR);
        if (lidos < 0) falharCom(kErroLeitura, origem.fileName(), errno);
        destino.gravar(bloco.data(), lidos);
        copiados += lidos;
        avisar(progresso, copiados, total);
        if (lidos < tamanhoBloco) break;
    }
}

} // namespace

ErroCopia::ErroCopia(const QString& mensagem) : std::runtime_error(mensagem.toStdString()) {}

QString ErroCopia::mensagem() const { return QString::fromUtf8(what()); }

void copiarArquivo(const QString& origem, const QString& destino, const ProgressoCopia& progresso)
{
    QFile arquivoOrigem(origem);
    abrirOrigem(arquivoOrigem);
    Destino arquivoDestino(destino);
    copiarBlocos(arquivoOrigem, arquivoDestino, progresso);
    arquivoDestino.concluir(arquivoOrigem.fileTime(QFileDevice::FileModificationTime));
    arquivoOrigem.close();
    avisar(progresso, 0, arquivoOrigem.size());
}

} // namespace plataforma
