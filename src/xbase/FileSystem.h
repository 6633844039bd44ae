#pragma once
#include <string>
#include <sys/types.h>

struct flock;
struct stat;

namespace xbase {

// Every call the engine makes on files and folders goes through one set of operations, so
// that a test can put another file system in its place: one that loses power and keeps only
// some of the writes since the last fsync, or one that fails a chosen call. The calls follow
// POSIX: a failure returns -1 and sets errno, and the engine reads errno as it would from the
// system. The default is the system itself.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual int open(const std::string& path, int flags, mode_t mode);
    virtual int close(int fd);
    virtual ssize_t pread(int fd, void* data, size_t length, off_t offset);
    virtual ssize_t pwrite(int fd, const void* data, size_t length, off_t offset);
    virtual int fsync(int fd);  // a folder's descriptor too: its renames and new names
    virtual int ftruncate(int fd, off_t length);
    virtual int fstat(int fd, struct stat* info);
    virtual int stat(const std::string& path, struct stat* info);
    virtual int rename(const std::string& from, const std::string& to);
    virtual int unlink(const std::string& path);
    virtual int mkdir(const std::string& path, mode_t mode);
    virtual int rmdir(const std::string& path);
    // A second name for a file; never replaces one (EEXIST).
    virtual int link(const std::string& from, const std::string& to);
    // fcntl with a lock command (F_OFD_SETLK or F_SETLK).
    virtual int lock(int fd, int command, struct flock* range);
};

FileSystem& fileSystem();
// Puts another file system in place for what follows (nullptr: the system's own again) and
// returns the one it replaces. Not thread-safe: a test swaps it while no table is open.
FileSystem* setFileSystem(FileSystem* replacement);

} // namespace xbase
