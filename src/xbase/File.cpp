#include "File.h"
#include "Error.h"
#include "FileSystem.h"
#include "SystemError.h"

#include <cctype>
#include <cerrno>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xbase {
namespace {

std::string systemReason()
{
    return systemErrorText(errno);
}

ErrorKind systemKind()
{
    return systemErrorKind(errno);
}

} // namespace

File::~File()
{
    close();
}

void File::open(const std::string& path, bool readOnly)
{
    close();
    fd_ = fileSystem().open(path, (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC, 0);
    if (fd_ < 0)
        throw Error(systemKind(), "Não foi possível abrir o arquivo '" + path + "': " + systemReason());
    path_ = path;
}

void File::create(const std::string& path)
{
    close();
    fd_ = fileSystem().open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0)
        throw Error(systemKind(), "Não foi possível criar o arquivo '" + path + "': " + systemReason());
    path_ = path;
}

void File::swap(File& other) noexcept
{
    std::swap(fd_, other.fd_);
    path_.swap(other.path_);
}

void File::close()
{
    if (fd_ >= 0)
        fileSystem().close(fd_);
    fd_ = -1;
}

uint64_t File::size() const
{
    struct stat st {};
    if (fileSystem().fstat(fd_, &st) != 0)
        throw Error(systemKind(), "Não foi possível ler o tamanho do arquivo '" + path_ + "': " + systemReason());
    return static_cast<uint64_t>(st.st_size);
}

void File::readAt(uint64_t offset, void* data, std::size_t length) const
{
    auto* out = static_cast<char*>(data);
    while (length > 0) {
        const ssize_t n = fileSystem().pread(fd_, out, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw Error(systemKind(), "Erro ao ler o arquivo '" + path_ + "': " + systemReason());
        if (n == 0)
            throw Error(ErrorKind::Damaged, "Arquivo '" + path_ + "' danificado: termina antes do esperado");
        out += n;
        offset += static_cast<uint64_t>(n);
        length -= static_cast<std::size_t>(n);
    }
}

std::string File::readAt(uint64_t offset, std::size_t length) const
{
    std::string data(length, '\0');
    readAt(offset, data.data(), length);
    return data;
}

void File::writeAt(uint64_t offset, const void* data, std::size_t length)
{
    const auto* in = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t n = fileSystem().pwrite(fd_, in, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            throw Error(systemKind(), "Erro ao gravar o arquivo '" + path_ + "': " + systemReason());
        in += n;
        offset += static_cast<uint64_t>(n);
        length -= static_cast<std::size_t>(n);
    }
}

void File::writeAt(uint64_t offset, const std::string& data)
{
    writeAt(offset, data.data(), data.size());
}

void File::sync()
{
    if (fileSystem().fsync(fd_) != 0)
        throw Error(systemKind(), "Erro ao gravar o arquivo '" + path_ + "': " + systemReason());
}

void File::truncate(uint64_t size)
{
    int result = 0;
    do
        result = fileSystem().ftruncate(fd_, static_cast<off_t>(size));
    while (result != 0 && errno == EINTR);
    if (result != 0)
        throw Error(systemKind(), "Erro ao gravar o arquivo '" + path_ + "': " + systemReason());
}

void syncDirectoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    FileSystem& fs = fileSystem();
    const int fd = fs.open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    // A folder that cannot be opened, or a file system that keeps no order of its own for
    // folders (some network mounts refuse the call), leaves nothing more to wait for.
    if (fd < 0)
        return;
    const int result = fs.fsync(fd);
    const int error = errno;
    fs.close(fd);
    if (result != 0 && error != EINVAL && error != ENOTSUP && error != EROFS && error != EBADF)
        throw Error(systemErrorKind(error), "Erro ao gravar a pasta '" + dir + "' de '" + path + "': " + systemErrorText(error));
}

void replaceFileDurably(const std::string& path, const std::string& bytes)
{
    const std::string temporary = path + ".new";
    try {
        File file;
        file.create(temporary);
        file.writeAt(0, bytes);
        file.sync();
    } catch (...) {
        try {
            removeFile(temporary);
        } catch (const Error&) {
            // a leftover of that name is written over by the next replacement
        }
        throw;
    }
    renameFile(temporary, path);
    syncDirectoryOf(path);
}

void removeFileDurably(const std::string& path)
{
    removeFile(path);
    syncDirectoryOf(path);
}

bool placeIfMissing(const std::string& from, const std::string& to)
{
    FileSystem& fs = fileSystem();
    bool placed = fs.link(from, to) == 0;
    if (!placed && errno != EEXIST) {
        const int error = errno;
        const bool noLinks = error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
        if (!noLinks)
            throw Error(systemErrorKind(error), "Não foi possível criar o arquivo '" + to + "': " + systemErrorText(error));
        placed = !fileExists(to);
        if (placed)
            renameFile(from, to);
    }
    removeFile(from);
    return placed;
}

void makeFolder(const std::string& path)
{
    if (fileSystem().mkdir(path, 0777) != 0)
        throw Error(systemErrorKind(errno), "Não foi possível criar a pasta '" + path + "': " + systemErrorText(errno));
}

void removeFolder(const std::string& path)
{
    if (fileSystem().rmdir(path) != 0 && errno != ENOENT)
        throw Error(systemErrorKind(errno), "Não foi possível apagar a pasta '" + path + "': " + systemErrorText(errno));
}

bool File::isNamed(const std::string& path) const
{
    struct stat held {}, named {};
    return isOpen() && fileSystem().fstat(fd_, &held) == 0 && fileSystem().stat(path, &named) == 0
           && held.st_ino == named.st_ino && held.st_dev == named.st_dev;
}

bool fileExists(const std::string& path)
{
    struct stat st {};
    return fileSystem().stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

std::string readWholeFile(const std::string& path)
{
    File file;
    file.open(path, true);
    return file.readAt(0, static_cast<std::size_t>(file.size()));
}

void removeFile(const std::string& path)
{
    if (fileSystem().unlink(path) != 0 && errno != ENOENT)
        throw Error(systemKind(), "Não foi possível apagar o arquivo '" + path + "': " + systemReason());
}

void renameFile(const std::string& from, const std::string& to)
{
    if (fileSystem().rename(from, to) != 0)
        throw Error(systemKind(), "Não foi possível substituir o arquivo '" + to + "': " + systemReason());
}

std::string joinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty())
        return name;
    if (dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

std::string companionPath(const std::string& dbfPath, const std::string& lowerExtension)
{
    const std::size_t dot = dbfPath.find_last_of('.');
    const std::size_t slash = dbfPath.find_last_of('/');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string base = hasExt ? dbfPath.substr(0, dot) : dbfPath;
    const bool upperTable = hasExt && dot + 1 < dbfPath.size()
                            && std::isupper(static_cast<unsigned char>(dbfPath[dot + 1]));
    std::string upperExtension = lowerExtension;
    for (char& c : upperExtension)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string preferred = base + "." + (upperTable ? upperExtension : lowerExtension);
    const std::string other = base + "." + (upperTable ? lowerExtension : upperExtension);
    if (!fileExists(preferred) && fileExists(other))
        return other;
    return preferred;
}

} // namespace xbase
