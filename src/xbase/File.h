#pragma once
#include <cstdint>
#include <string>

namespace xbase {

// A file read and written with pread/pwrite: no buffering of our own, so a write is in the
// kernel when the call returns. Every failure is an Error naming the file.
class File {
public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    // The descriptors change hands (and with them the locks taken through them).
    void swap(File& other) noexcept;

    void open(const std::string& path, bool readOnly);
    void create(const std::string& path);  // truncates an existing file
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }  // for the byte-range locks
    const std::string& path() const { return path_; }

    uint64_t size() const;
    // Reads exactly length bytes at offset; a short read means the file is truncated.
    void readAt(uint64_t offset, void* data, std::size_t length) const;
    std::string readAt(uint64_t offset, std::size_t length) const;
    void writeAt(uint64_t offset, const void* data, std::size_t length);
    void writeAt(uint64_t offset, const std::string& data);
    void sync();  // fsync: at the end of every post, and before a new file replaces an old one
    void truncate(uint64_t size);  // gives back what a failed write added
    // Whether the path still names this open file (a rewrite renames a new file over it).
    bool isNamed(const std::string& path) const;

private:
    int fd_ = -1;
    std::string path_;
};

bool fileExists(const std::string& path);
std::string readWholeFile(const std::string& path);
void removeFile(const std::string& path);   // no error when missing
// Makes the renames, new names and removals in the file's folder survive a power cut (fsync
// of the folder). Nothing is waited for where the folder cannot be opened or its file system
// does not order folders (some network mounts); any other failure is an Error.
void syncDirectoryOf(const std::string& path);
void renameFile(const std::string& from, const std::string& to);
// A whole new file in place of path, or the old one still whole: written beside as
// path + ".new", synced, renamed over path, and the rename synced.
void replaceFileDurably(const std::string& path, const std::string& bytes);
void removeFileDurably(const std::string& path);  // no error when missing
// Puts a file under a name only where none is yet (false: another file holds the name); the
// file leaves its old name. Where the file system has no hard links, a rename is tried when
// the name is free.
bool placeIfMissing(const std::string& from, const std::string& to);
void makeFolder(const std::string& path);
void removeFolder(const std::string& path);  // an empty one
std::string joinPath(const std::string& dir, const std::string& name);
// The companion file of a table (".fpt", ".cdx"): the extension in the case of the table's
// own extension, or, when only the other case exists on disk, that one.
std::string companionPath(const std::string& dbfPath, const std::string& lowerExtension);

} // namespace xbase
