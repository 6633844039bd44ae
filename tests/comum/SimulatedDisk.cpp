#include "SimulatedDisk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

constexpr uint64_t kSector = 512;

int fail(int error)
{
    errno = error;
    return -1;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

void writeInto(std::string& data, uint64_t offset, const std::string& bytes)
{
    if (data.size() < offset + bytes.size())
        data.resize(offset + bytes.size(), '\0');
    std::copy(bytes.begin(), bytes.end(), data.begin() + std::ptrdiff_t(offset));
}

std::string key(const SimulatedDisk::Image& image)
{
    std::string k;
    for (const auto& [path, bytes] : image.files)
        k += path + '\0' + std::to_string(bytes.size()) + '\0' + bytes;
    for (const std::string& folder : image.folders)
        k += '\1' + folder;
    return k;
}

} // namespace

SimulatedDisk::SimulatedDisk(const Image& start)
{
    for (const std::string& folder : start.folders)
        names_[folder] = newInode(true);
    for (const auto& [path, bytes] : start.files) {
        const int inode = newInode(false);
        inodes_[std::size_t(inode)].data = inodes_[std::size_t(inode)].durable = bytes;
        names_[path] = inode;
    }
    durableNames_ = names_;
}

SimulatedDisk::~SimulatedDisk()
{
    if (installed_)
        xbase::setFileSystem(previous_);
}

void SimulatedDisk::install()
{
    previous_ = xbase::setFileSystem(this);
    installed_ = true;
}

int SimulatedDisk::newInode(bool folder)
{
    inodes_.push_back({});
    inodes_.back().folder = folder;
    return int(inodes_.size() - 1);
}

void SimulatedDisk::failCall(int n, int error)
{
    failAt_ = n > 0 ? calls_ + n : 0;
    failError_ = error;
}

bool SimulatedDisk::enter()
{
    ++calls_;
    if (isCut()) {
        errno = EIO;
        return false;
    }
    if (failAt_ != 0 && calls_ == failAt_) {
        failAt_ = 0;
        errno = failError_;
        return false;
    }
    return true;
}

bool SimulatedDisk::changed()
{
    ++changes_;
    return true;
}

// ---------------------------------------------------------------- images

SimulatedDisk::Image SimulatedDisk::current() const
{
    Image image;
    for (const auto& [path, inode] : names_) {
        const Inode& node = inodes_[std::size_t(inode)];
        if (node.folder)
            image.folders.insert(path);
        else
            image.files[path] = node.data;
    }
    return image;
}

SimulatedDisk::Image SimulatedDisk::durable() const
{
    return build({}, std::string::npos, 0);
}

// The durable state with the kept changes (indexes into pending_, in order) applied, and the
// change `torn` (if any) applied only up to the file offset tornAt.
SimulatedDisk::Image SimulatedDisk::build(const std::vector<std::size_t>& kept, std::size_t torn,
                                          uint64_t tornAt) const
{
    std::map<std::string, int> names = durableNames_;
    std::map<int, std::string> contents;
    const auto content = [&](int inode) -> std::string& {
        auto it = contents.find(inode);
        if (it == contents.end())
            it = contents.emplace(inode, inodes_[std::size_t(inode)].durable).first;
        return it->second;
    };
    std::vector<std::size_t> order = kept;
    if (torn != std::string::npos)
        order.push_back(torn);
    std::sort(order.begin(), order.end());
    for (std::size_t i : order) {
        const Change& c = pending_[i];
        switch (c.kind) {
        case Change::Write: {
            std::string bytes = c.bytes;
            if (i == torn)
                bytes.resize(std::size_t(tornAt - c.offset));
            writeInto(content(c.inode), c.offset, bytes);
            break;
        }
        case Change::Truncate:
            content(c.inode).resize(c.offset, '\0');
            break;
        case Change::Link:
            names[c.to] = c.inode;
            break;
        case Change::Unlink:
            names.erase(c.from);
            break;
        case Change::Rename:
            // A name the disk never held cannot be renamed on it.
            if (names.count(c.from) && names[c.from] == c.inode) {
                names.erase(c.from);
                names[c.to] = c.inode;
            }
            break;
        }
    }
    Image image;
    for (const auto& [path, inode] : names) {
        if (inodes_[std::size_t(inode)].folder)
            image.folders.insert(path);
        else
            image.files[path] = contents.count(inode) ? contents[inode] : inodes_[std::size_t(inode)].durable;
    }
    return image;
}

std::vector<SimulatedDisk::Image> SimulatedDisk::statesAfterCut(bool everySubset) const
{
    const std::size_t n = pending_.size();
    std::vector<std::vector<std::size_t>> choices;
    std::vector<std::size_t> all(n);
    for (std::size_t i = 0; i < n; ++i)
        all[i] = i;
    for (std::size_t k = 0; k <= n; ++k)  // in order: none, the first k, all
        choices.emplace_back(all.begin(), all.begin() + std::ptrdiff_t(k));
    for (std::size_t i = 0; i < n; ++i) {
        choices.push_back({i});  // one alone
        std::vector<std::size_t> others = all;
        others.erase(others.begin() + std::ptrdiff_t(i));
        choices.push_back(others);  // all but one
    }
    if (everySubset && n <= 14) {
        for (uint32_t mask = 0; mask < (1u << n); ++mask) {
            std::vector<std::size_t> kept;
            for (std::size_t i = 0; i < n; ++i)
                if (mask & (1u << i))
                    kept.push_back(i);
            choices.push_back(kept);
        }
    }
    std::vector<Image> states;
    std::set<std::string> seen;
    const auto add = [&](Image image) {
        if (seen.insert(key(image)).second)
            states.push_back(std::move(image));
    };
    for (const auto& kept : choices)
        add(build(kept, std::string::npos, 0));
    for (std::size_t i = 0; i < n; ++i) {
        const Change& c = pending_[i];
        if (c.kind != Change::Write)
            continue;
        const uint64_t end = c.offset + c.bytes.size();
        for (uint64_t at = (c.offset / kSector + 1) * kSector; at < end; at += kSector) {
            add(build({}, i, at));
            add(build(std::vector<std::size_t>(all.begin(), all.begin() + std::ptrdiff_t(i)), i, at));
        }
    }
    return states;
}

void SimulatedDisk::writeTo(const Image& image, const std::string& folder)
{
    std::filesystem::create_directories(folder);
    for (const auto& [path, bytes] : image.files) {
        std::ofstream out(folder + "/" + std::filesystem::path(path).filename().string(), std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
}

SimulatedDisk::Image SimulatedDisk::readFrom(const std::string& folder, const std::string& root)
{
    Image image;
    image.folders.insert(root);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        image.files[root + "/" + entry.path().filename().string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return image;
}

// ---------------------------------------------------------------- the calls

int SimulatedDisk::open(const std::string& path, int flags, mode_t)
{
    if (!enter())
        return -1;
    const bool writable = (flags & O_ACCMODE) != O_RDONLY;
    auto it = names_.find(path);
    if (flags & O_DIRECTORY) {
        if (it == names_.end() || !inodes_[std::size_t(it->second)].folder) return fail(it == names_.end() ? ENOENT : ENOTDIR);
        fds_[nextFd_] = {it->second, false};
        return nextFd_++;
    }
    int inode = -1;
    if (it != names_.end()) {
        inode = it->second;
        if (inodes_[std::size_t(inode)].folder) return fail(EISDIR);
        if ((flags & O_TRUNC) && writable && !inodes_[std::size_t(inode)].data.empty()) {
            inodes_[std::size_t(inode)].data.clear();
            pending_.push_back({Change::Truncate, inode, 0, {}, {}, {}, {}});
            changed();
        }
    } else {
        if (!(flags & O_CREAT)) return fail(ENOENT);
        const auto parent = names_.find(folderOf(path));
        if (parent == names_.end() || !inodes_[std::size_t(parent->second)].folder) return fail(ENOENT);
        inode = newInode(false);
        names_[path] = inode;
        pending_.push_back({Change::Link, inode, 0, {}, folderOf(path), {}, path});
        changed();
    }
    fds_[nextFd_] = {inode, writable};
    return nextFd_++;
}

int SimulatedDisk::close(int fd)
{
    locks_.erase(std::remove_if(locks_.begin(), locks_.end(), [fd](const Held& h) { return h.fd == fd; }),
                 locks_.end());
    if (fds_.erase(fd) == 0) return fail(EBADF);
    return 0;
}

ssize_t SimulatedDisk::pread(int fd, void* data, size_t length, off_t offset)
{
    if (!enter())
        return -1;
    const auto it = fds_.find(fd);
    if (it == fds_.end() || inodes_[std::size_t(it->second.inode)].folder) return fail(EBADF);
    const std::string& bytes = inodes_[std::size_t(it->second.inode)].data;
    if (uint64_t(offset) >= bytes.size())
        return 0;
    const std::size_t n = std::min<std::size_t>(length, bytes.size() - std::size_t(offset));
    std::memcpy(data, bytes.data() + offset, n);
    return ssize_t(n);
}

ssize_t SimulatedDisk::pwrite(int fd, const void* data, size_t length, off_t offset)
{
    if (!enter())
        return -1;
    const auto it = fds_.find(fd);
    if (it == fds_.end() || !it->second.writable) return fail(EBADF);
    const std::string bytes(static_cast<const char*>(data), length);
    writeInto(inodes_[std::size_t(it->second.inode)].data, uint64_t(offset), bytes);
    pending_.push_back({Change::Write, it->second.inode, uint64_t(offset), bytes, {}, {}, {}});
    changed();
    return ssize_t(length);
}

int SimulatedDisk::fsync(int fd)
{
    if (!enter())
        return -1;
    const auto it = fds_.find(fd);
    if (it == fds_.end()) return fail(EBADF);
    ++fsyncs_;
    const int inode = it->second.inode;
    Inode& node = inodes_[std::size_t(inode)];
    if (!node.folder) {
        node.durable = node.data;
        pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                      [&](const Change& c) {
                                          return (c.kind == Change::Write || c.kind == Change::Truncate)
                                                 && c.inode == inode;
                                      }),
                       pending_.end());
    } else {
        std::string folder;
        for (const auto& [path, i] : names_)
            if (i == inode)
                folder = path;
        std::vector<Change> rest;
        for (const Change& c : pending_) {
            const bool ofFolder = c.kind != Change::Write && c.kind != Change::Truncate && c.folder == folder;
            if (!ofFolder) {
                rest.push_back(c);
            } else if (c.kind == Change::Link) {
                durableNames_[c.to] = c.inode;
            } else if (c.kind == Change::Unlink) {
                durableNames_.erase(c.from);
            } else if (durableNames_.count(c.from)) {
                durableNames_.erase(c.from);
                durableNames_[c.to] = c.inode;
            }
        }
        pending_ = std::move(rest);
    }
    changed();
    return 0;
}

int SimulatedDisk::ftruncate(int fd, off_t length)
{
    if (!enter())
        return -1;
    const auto it = fds_.find(fd);
    if (it == fds_.end() || !it->second.writable) return fail(EBADF);
    inodes_[std::size_t(it->second.inode)].data.resize(std::size_t(length), '\0');
    pending_.push_back({Change::Truncate, it->second.inode, uint64_t(length), {}, {}, {}, {}});
    changed();
    return 0;
}

namespace {

void describe(struct stat* info, int inode, bool folder, std::size_t size)
{
    std::memset(info, 0, sizeof *info);
    info->st_dev = 1;
    info->st_ino = ino_t(inode + 1);
    info->st_mode = folder ? S_IFDIR | 0777 : S_IFREG | 0666;
    info->st_size = off_t(size);
    info->st_nlink = 1;
}

} // namespace

int SimulatedDisk::fstat(int fd, struct stat* info)
{
    if (!enter())
        return -1;
    const auto it = fds_.find(fd);
    if (it == fds_.end()) return fail(EBADF);
    const Inode& node = inodes_[std::size_t(it->second.inode)];
    describe(info, it->second.inode, node.folder, node.data.size());
    return 0;
}

int SimulatedDisk::stat(const std::string& path, struct stat* info)
{
    if (!enter())
        return -1;
    const auto it = names_.find(path);
    if (it == names_.end()) return fail(ENOENT);
    const Inode& node = inodes_[std::size_t(it->second)];
    describe(info, it->second, node.folder, node.data.size());
    return 0;
}

int SimulatedDisk::rename(const std::string& from, const std::string& to)
{
    if (!enter())
        return -1;
    const auto it = names_.find(from);
    if (it == names_.end()) return fail(ENOENT);
    if (folderOf(from) != folderOf(to)) return fail(EXDEV);
    const int inode = it->second;
    names_.erase(it);
    names_[to] = inode;
    pending_.push_back({Change::Rename, inode, 0, {}, folderOf(from), from, to});
    changed();
    return 0;
}

int SimulatedDisk::unlink(const std::string& path)
{
    if (!enter())
        return -1;
    const auto it = names_.find(path);
    if (it == names_.end()) return fail(ENOENT);
    names_.erase(it);
    pending_.push_back({Change::Unlink, -1, 0, {}, folderOf(path), path, {}});
    changed();
    return 0;
}

int SimulatedDisk::mkdir(const std::string& path, mode_t)
{
    if (!enter())
        return -1;
    if (names_.count(path)) return fail(EEXIST);
    const int inode = newInode(true);
    names_[path] = inode;
    pending_.push_back({Change::Link, inode, 0, {}, folderOf(path), {}, path});
    changed();
    return 0;
}

int SimulatedDisk::rmdir(const std::string& path)
{
    if (!enter())
        return -1;
    const auto it = names_.find(path);
    if (it == names_.end() || !inodes_[std::size_t(it->second)].folder) return fail(it == names_.end() ? ENOENT : ENOTDIR);
    for (const auto& [name, inode] : names_)
        if (name.size() > path.size() && name.compare(0, path.size() + 1, path + "/") == 0) return fail(ENOTEMPTY);
    names_.erase(it);
    pending_.push_back({Change::Unlink, -1, 0, {}, folderOf(path), path, {}});
    changed();
    return 0;
}

int SimulatedDisk::link(const std::string& from, const std::string& to)
{
    if (!enter())
        return -1;
    const auto it = names_.find(from);
    if (it == names_.end()) return fail(ENOENT);
    if (names_.count(to)) return fail(EEXIST);
    names_[to] = it->second;
    pending_.push_back({Change::Link, it->second, 0, {}, folderOf(to), {}, to});
    changed();
    return 0;
}

// Open-file-description locks: two descriptors conflict, even in one process.
int SimulatedDisk::lock(int fd, int, struct flock* range)
{
    if (!enter())
        return -1;
    const auto it = fds_.find(fd);
    if (it == fds_.end()) return fail(EBADF);
    const int inode = it->second.inode;
    const int64_t start = range->l_start;
    const int64_t length = range->l_len;
    const auto overlaps = [&](const Held& h) {
        return h.inode == inode && h.start < start + length && start < h.start + h.length;
    };
    if (range->l_type != F_UNLCK) {
        const bool write = range->l_type == F_WRLCK;
        for (const Held& h : locks_)
            if (h.fd != fd && overlaps(h) && (write || h.write)) return fail(EAGAIN);
    }
    locks_.erase(std::remove_if(locks_.begin(), locks_.end(),
                                [&](const Held& h) { return h.fd == fd && h.start == start && h.length == length; }),
                 locks_.end());
    if (range->l_type != F_UNLCK)
        locks_.push_back({fd, inode, start, length, range->l_type == F_WRLCK});
    return 0;
}
