#pragma once
// A full disk, in effect, for a test: while it lives no file of the process may grow past
// `bytes`; a write past it fails with EFBIG instead of killing the process.
#include <csignal>
#include <sys/resource.h>

class LimiteDeArquivo {
public:
    explicit LimiteDeArquivo(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &antes_);
        rlimit limite = antes_;
        limite.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~LimiteDeArquivo() { setrlimit(RLIMIT_FSIZE, &antes_); }
    LimiteDeArquivo(const LimiteDeArquivo&) = delete;
    LimiteDeArquivo& operator=(const LimiteDeArquivo&) = delete;

private:
    rlimit antes_{};
};
