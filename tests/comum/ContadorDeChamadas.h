#pragma once
// The system's own file calls, counted as a file server sees them: every call a round trip,
// every byte read or written one that crosses the network. Put in place with
// xbase::setFileSystem() while no table is open.
#include "xbase/FileSystem.h"

class ContadorDeChamadas : public xbase::FileSystem {
public:
    long long lidos = 0, gravados = 0, chamadas = 0;
    void zerar() { lidos = gravados = chamadas = 0; }

    int open(const std::string& p, int f, mode_t m) override { return ++chamadas, FileSystem::open(p, f, m); }
    int close(int fd) override { return ++chamadas, FileSystem::close(fd); }
    ssize_t pread(int fd, void* d, size_t n, off_t o) override
    {
        ++chamadas;
        const ssize_t r = FileSystem::pread(fd, d, n, o);
        if (r > 0) lidos += r;
        return r;
    }
    ssize_t pwrite(int fd, const void* d, size_t n, off_t o) override
    {
        ++chamadas;
        const ssize_t r = FileSystem::pwrite(fd, d, n, o);
        if (r > 0) gravados += r;
        return r;
    }
    int fsync(int fd) override { return ++chamadas, FileSystem::fsync(fd); }
    int ftruncate(int fd, off_t n) override { return ++chamadas, FileSystem::ftruncate(fd, n); }
    int fstat(int fd, struct stat* s) override { return ++chamadas, FileSystem::fstat(fd, s); }
    int stat(const std::string& p, struct stat* s) override { return ++chamadas, FileSystem::stat(p, s); }
    int rename(const std::string& a, const std::string& b) override { return ++chamadas, FileSystem::rename(a, b); }
    int unlink(const std::string& p) override { return ++chamadas, FileSystem::unlink(p); }
    int link(const std::string& a, const std::string& b) override { return ++chamadas, FileSystem::link(a, b); }
    int lock(int fd, int c, struct flock* r) override { return ++chamadas, FileSystem::lock(fd, c, r); }
};
