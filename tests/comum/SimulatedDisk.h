#pragma once
// A disk held in memory, put under the engine through its file-system seam, that can lose
// power the way a real one does: what was written since a file's last fsync (and what was
// renamed, made or removed since its folder's last fsync) may reach the disk or not, in any
// order, and a write may be torn at a 512-byte sector. It can also fail a chosen call with a
// chosen error. Modelled on LevelDB's fault-injection environment.
#include "xbase/FileSystem.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class SimulatedDisk : public xbase::FileSystem {
public:
    // What a disk holds: every file by its path, and the folders.
    struct Image {
        std::map<std::string, std::string> files;
        std::set<std::string> folders;
        bool operator==(const Image& other) const { return files == other.files && folders == other.folders; }
    };

    // Starts with the image on disk, all of it durable.
    explicit SimulatedDisk(const Image& start);
    ~SimulatedDisk() override;
    // Puts this disk under the engine until destruction.
    void install();

    Image current() const;  // what the files read now
    Image durable() const;  // what a cut now keeps when every pending change is lost
    // The states a cut now could leave: every pending change lost, all of them kept, the
    // first k kept, any one kept alone or lost alone, and a write torn at each sector it
    // crosses (alone, or after the changes before it). everySubset: every subset of the
    // pending changes as well (up to 2^14 of them), for the long run.
    std::vector<Image> statesAfterCut(bool everySubset = false) const;
    std::size_t pendingChanges() const { return pending_.size(); }

    // The power fails right after the n-th call that changes the disk (writes, truncations,
    // fsyncs, new names, renames and removals, counted from 1): that call happens, and every
    // later one fails with EIO. 0: never.
    void cutAfter(int n) { cutAfter_ = n; }
    int changesMade() const { return changes_; }
    bool isCut() const { return cutAfter_ > 0 && changes_ >= cutAfter_; }

    // The n-th call of any kind from now on (counted from 1, reads and locks included) fails
    // once with the error; 0: none. callsMade() counts the calls.
    void failCall(int n, int error);
    int callsMade() const { return calls_; }
    int fsyncs() const { return fsyncs_; }

    // Writes the files of an image into a real folder, by their names (for other programs).
    static void writeTo(const Image& image, const std::string& folder);
    // Reads every file of a real folder into an image rooted at root.
    static Image readFrom(const std::string& folder, const std::string& root);

    int open(const std::string& path, int flags, mode_t mode) override;
    int close(int fd) override;
    ssize_t pread(int fd, void* data, size_t length, off_t offset) override;
    ssize_t pwrite(int fd, const void* data, size_t length, off_t offset) override;
    int fsync(int fd) override;
    int ftruncate(int fd, off_t length) override;
    int fstat(int fd, struct stat* info) override;
    int stat(const std::string& path, struct stat* info) override;
    int rename(const std::string& from, const std::string& to) override;
    int unlink(const std::string& path) override;
    int mkdir(const std::string& path, mode_t mode) override;
    int rmdir(const std::string& path) override;
    int link(const std::string& from, const std::string& to) override;
    int lock(int fd, int command, struct flock* range) override;

private:
    struct Inode {
        std::string data;     // what reads see
        std::string durable;  // what is on the platter
        bool folder = false;
    };
    struct Change {
        enum Kind { Write, Truncate, Link, Unlink, Rename } kind;
        int inode = -1;
        uint64_t offset = 0;  // Write: where; Truncate: the new size
        std::string bytes;
        std::string folder;  // Link, Unlink, Rename: whose fsync makes it durable
        std::string from, to;
    };
    struct Descriptor {
        int inode;
        bool writable;
    };
    struct Held {
        int fd;
        int inode;
        int64_t start, length;
        bool write;
    };

    bool enter();         // false (errno set) when the disk is dead or the call is to fail
    bool changed();       // counts a change; false when it is the last before the cut
    int newInode(bool folder);
    Image build(const std::vector<std::size_t>& kept, std::size_t torn, uint64_t tornAt) const;

    std::vector<Inode> inodes_;
    std::map<std::string, int> names_, durableNames_;
    std::vector<Change> pending_;
    std::map<int, Descriptor> fds_;
    std::vector<Held> locks_;
    int nextFd_ = 1000;
    int cutAfter_ = 0, changes_ = 0;
    int failAt_ = 0, failError_ = 0, calls_ = 0, fsyncs_ = 0;
    xbase::FileSystem* previous_ = nullptr;
    bool installed_ = false;
};
