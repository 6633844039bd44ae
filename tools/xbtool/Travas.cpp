// xbtool travas: whether a byte-range lock taken through one view of a folder stops another
// process that comes through another view (another mount of the same share, or the same
// folder), as a lab's shared data folder needs. The locks are the engine's own, at the
// position of a table's append lock.
#include "Commands.h"
#include "xbase/Environment.h"
#include "xbase/Error.h"
#include "xbase/Locks.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace xbtool {
namespace {

enum class Tentativa { Tomada, Recusada, Falhou };

// A fresh process opens the file through path and tries the lock once.
Tentativa tentarEmOutroProcesso(const std::string& path, xbase::locks::Range range)
{
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid < 0)
        return Tentativa::Falhou;
    if (pid == 0) {
        int code = 2;
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            try {
                const xbase::locks::Lock lock(fd, range, path);
                code = lock.held() ? 0 : 2;
            } catch (const xbase::Error&) {
                code = 1;
            }
        }
        ::_exit(code);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return Tentativa::Falhou;
    return WEXITSTATUS(status) == 0 ? Tentativa::Tomada
                                    : WEXITSTATUS(status) == 1 ? Tentativa::Recusada : Tentativa::Falhou;
}

const char* simOuNao(bool ok) { return ok ? "sim" : "NÃO"; }

struct ArquivoDeTeste {
    std::string path;
    int fd = -1;
    ~ArquivoDeTeste()
    {
        if (fd >= 0)
            ::close(fd);
        if (!path.empty())
            ::unlink(path.c_str());
    }
};

} // namespace

int checkLocks(const std::string& folder, const std::string& otherView)
{
    xbase::environment().lockWaitMilliseconds = 300;
    ArquivoDeTeste arquivo;
    std::string modelo = folder + "/.xbtool-travas-XXXXXX";
    arquivo.fd = ::mkstemp(modelo.data());
    if (arquivo.fd < 0) {
        std::printf("Não foi possível criar um arquivo em %s.\n", folder.c_str());
        return 1;
    }
    arquivo.path = modelo;
    const std::string nome = modelo.substr(modelo.rfind('/') + 1);
    const std::string outro = otherView + "/" + nome;
    if (::access(outro.c_str(), R_OK | W_OK) != 0) {
        std::printf("%s não mostra o arquivo criado em %s: não é a mesma pasta.\n", otherView.c_str(), folder.c_str());
        return 1;
    }

    const xbase::locks::Range byte = xbase::locks::appendLock(true);
    xbase::locks::Lock minha(arquivo.fd, byte, nome);
    if (!minha.held()) {
        std::printf("O sistema de arquivos de %s não aceita travas de registro (fcntl): "
                    "a pasta não serve para vários computadores.\n",
                    folder.c_str());
        return 1;
    }
    const bool recusada = tentarEmOutroProcesso(outro, byte) == Tentativa::Recusada;
    const bool vizinhoLivre = tentarEmOutroProcesso(outro, xbase::locks::recordLock(true, 1, 0)) == Tentativa::Tomada;
    minha.release();
    const bool liberada = tentarEmOutroProcesso(outro, byte) == Tentativa::Tomada;

    std::printf("Um processo travou um byte de um arquivo em %s; outro processo, por %s:\n", folder.c_str(),
                otherView.c_str());
    std::printf("  não conseguiu o mesmo byte: %s\n", simOuNao(recusada));
    std::printf("  conseguiu o byte ao lado: %s\n", simOuNao(vizinhoLivre));
    std::printf("  conseguiu o byte depois de liberado: %s\n", simOuNao(liberada));
    if (recusada && vizinhoLivre && liberada) {
        std::printf("As travas funcionam nesta pasta.\n");
        return 0;
    }
    std::printf("As travas NÃO funcionam nesta pasta: não a use para vários computadores.\n");
    return 1;
}

} // namespace xbtool
