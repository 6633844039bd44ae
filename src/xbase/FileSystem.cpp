#include "FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xbase {

int FileSystem::open(const std::string& path, int flags, mode_t mode) { return ::open(path.c_str(), flags, mode); }
int FileSystem::close(int fd) { return ::close(fd); }
ssize_t FileSystem::pread(int fd, void* data, size_t length, off_t offset) { return ::pread(fd, data, length, offset); }
ssize_t FileSystem::pwrite(int fd, const void* data, size_t length, off_t offset)
{
    return ::pwrite(fd, data, length, offset);
}
int FileSystem::fsync(int fd) { return ::fsync(fd); }
int FileSystem::ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
int FileSystem::fstat(int fd, struct stat* info) { return ::fstat(fd, info); }
int FileSystem::stat(const std::string& path, struct stat* info) { return ::stat(path.c_str(), info); }
int FileSystem::rename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()); }
int FileSystem::unlink(const std::string& path) { return ::unlink(path.c_str()); }
int FileSystem::mkdir(const std::string& path, mode_t mode) { return ::mkdir(path.c_str(), mode); }
int FileSystem::rmdir(const std::string& path) { return ::rmdir(path.c_str()); }
int FileSystem::link(const std::string& from, const std::string& to) { return ::link(from.c_str(), to.c_str()); }
int FileSystem::lock(int fd, int command, struct flock* range) { return ::fcntl(fd, command, range); }

namespace {

FileSystem& systemFiles()
{
    static FileSystem posix;
    return posix;
}

FileSystem* current = nullptr;

} // namespace

FileSystem& fileSystem()
{
    return current ? *current : systemFiles();
}

FileSystem* setFileSystem(FileSystem* replacement)
{
    FileSystem* previous = current ? current : &systemFiles();
    current = replacement == &systemFiles() ? nullptr : replacement;
    return previous;
}

} // namespace xbase
