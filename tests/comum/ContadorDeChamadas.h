#pragma once
// The system's own file calls, counted as a file server sees them: every call a round trip,
// every byte read or written one that crosses the network. Put in place with
// xbase::setFileSystem() while no table is open.
#include "xbase/FileSystem.h"

#include <chrono>
#include <thread>

class ContadorDeChamadas : public xbase::FileSystem {
public:
    long long lidos = 0, gravados = 0, chamadas = 0;
    void zerar() { lidos = gravados = chamadas = 0; }

    int open(const std::string& p, int f, mode_t m) override { return contar(FileSystem::open(p, f, m)); }
    int close(int fd) override { return contar(FileSystem::close(fd)); }
    ssize_t pread(int fd, void* d, size_t n, off_t o) override
    {
        const ssize_t r = FileSystem::pread(fd, d, n, o);
        if (r > 0) lidos += r;
        return contar(r, r);
    }
    ssize_t pwrite(int fd, const void* d, size_t n, off_t o) override
    {
        const ssize_t r = FileSystem::pwrite(fd, d, n, o);
        if (r > 0) gravados += r;
        return contar(r, r);
    }
    int fsync(int fd) override { return contar(FileSystem::fsync(fd)); }
    int ftruncate(int fd, off_t n) override { return contar(FileSystem::ftruncate(fd, n)); }
    int fstat(int fd, struct stat* s) override { return contar(FileSystem::fstat(fd, s)); }
    int stat(const std::string& p, struct stat* s) override { return contar(FileSystem::stat(p, s)); }
    int rename(const std::string& a, const std::string& b) override { return contar(FileSystem::rename(a, b)); }
    int unlink(const std::string& p) override { return contar(FileSystem::unlink(p)); }
    int link(const std::string& a, const std::string& b) override { return contar(FileSystem::link(a, b)); }
    int lock(int fd, int c, struct flock* r) override { return contar(FileSystem::lock(fd, c, r)); }

protected:
    // Each call, with the bytes it moved (a slower file system waits here).
    virtual void chamou(long long bytes) { (void)bytes; }

private:
    template <class R>
    R contar(R resultado, long long bytes = 0)
    {
        ++chamadas;
        chamou(bytes > 0 ? bytes : 0);
        return resultado;
    }
};

// A share on a school's network: every call a round trip of half a millisecond, every byte at
// 100 Mbit/s (about 11 bytes a microsecond).
class RedeLenta : public ContadorDeChamadas {
protected:
    void chamou(long long bytes) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(500 + bytes / 11));
    }
};
