#include "Locks.h"

#include "Environment.h"
#include "Error.h"
#include "FileSystem.h"
#include "SystemError.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>

namespace xbase::locks {
namespace {

constexpr uint64_t kCdxBase = 0x7FFFFFFE;
constexpr uint64_t kCdxFileLockLength = 0x07FFFFFF;
constexpr uint64_t kPlainBase = 0x40000000;
constexpr uint64_t kPlainFileLockLength = 0x3FFFFFFD;

std::atomic<uint64_t> longestWait{0};

#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
#else
constexpr int kSetLock = F_SETLK;
#endif

// A file system without record locks (some network and FUSE mounts) cannot be shared
// safely, but a single computer still works there as it always did: it goes on unlocked.
bool locksUnsupported(int error)
{
    return error == ENOLCK || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

bool takenByAnother(int error) { return error == EACCES || error == EAGAIN || error == EINTR; }

bool setLock(int fd, Range range, short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(range.offset);
    lock.l_len = static_cast<off_t>(range.length);
    return fileSystem().lock(fd, kSetLock, &lock) == 0;
}

} // namespace

Range appendLock(bool hasCdx) { return {hasCdx ? kCdxBase : kPlainBase, 1}; }

Range recordLock(bool hasCdx, uint32_t recno, uint64_t recordFileOffset)
{
    if (hasCdx)
        return {kCdxBase - recno, 1};
    return {kPlainBase + recordFileOffset, 1};
}

Range fileLock(bool hasCdx)
{
    if (hasCdx)
        return {kCdxBase - kCdxFileLockLength, kCdxFileLockLength};
    return {kPlainBase + 1, kPlainFileLockLength};
}

Range indexLock() { return {kCdxBase, 1}; }

Range openLock() { return {kCdxBase + 1, 1}; }

Lock::Lock(int fd, Range range, const std::string& tableName, bool shared) : range_(range), tableName_(tableName)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    auto pause = std::chrono::microseconds(200);
    while (!setLock(fd, range, shared ? F_RDLCK : F_WRLCK)) {
        const int error = errno;
        if (locksUnsupported(error))
            return;
        if (!takenByAnother(error))
            throw Error(ErrorKind::System, tableName + ": não foi possível travar a tabela: " + systemErrorText(error));
        if (Clock::now() - start > std::chrono::milliseconds(environment().lockWaitMilliseconds))
            throw Error(ErrorKind::Busy, tableName + " está em uso por outro computador; tente de novo");
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
    const uint64_t waited = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count());
    uint64_t seen = longestWait.load();
    while (waited > seen && !longestWait.compare_exchange_weak(seen, waited)) {
    }
    fd_ = fd;
}

Lock::~Lock() { release(); }

Lock::Lock(Lock&& other) noexcept : fd_(other.fd_), range_(other.range_), tableName_(std::move(other.tableName_))
{
    other.fd_ = -1;
}

Lock& Lock::operator=(Lock&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = other.fd_;
        range_ = other.range_;
        tableName_ = std::move(other.tableName_);
        other.fd_ = -1;
    }
    return *this;
}

void Lock::release()
{
    if (fd_ >= 0)
        setLock(fd_, range_, F_UNLCK);
    fd_ = -1;
}

bool Lock::change(bool shared)
{
    if (fd_ < 0)
        return true;
    int error = 0;
    do {
        if (setLock(fd_, range_, shared ? F_RDLCK : F_WRLCK))
            return true;
        error = errno;
    } while (error == EINTR);
    // Only another holder is an answer: a refusal of the system (an I/O error, a stale
    // handle, no locks left) is an error, never "in use".
    if (!takenByAnother(error)) {
        if (shared) {  // never left holding the table alone: let it go, then read-lock it anew
            setLock(fd_, range_, F_UNLCK);
            if (setLock(fd_, range_, F_RDLCK))
                return true;
            fd_ = -1;
        }
        throw Error(ErrorKind::System, tableName_ + ": não foi possível " + (shared ? "liberar" : "travar")
                                           + " a tabela: " + systemErrorText(error));
    }
    return false;
}

uint64_t longestWaitMicroseconds() { return longestWait.load(); }

} // namespace xbase::locks
