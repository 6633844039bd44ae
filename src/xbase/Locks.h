#pragma once
#include <cstdint>
#include <string>

// Byte-range locks on the table files, at the positions the FoxPro family takes them, so that
// every program on a shared folder (ours on other computers, or another FoxPro-family program)
// locks the same bytes. The positions are those of the FoxPro-compatible lock scheme that the
// public xBase engines interoperating with FoxPro use (Harbour's DBFCDX "VFP" scheme):
//   - a table with a structural .cdx counts down from 0x7FFFFFFE: the append (header) lock at
//     0x7FFFFFFE, record N one byte at 0x7FFFFFFE - N, the file lock the 0x07FFFFFF bytes below;
//   - a table without tags counts up from 0x40000000: the append lock at 0x40000000, record N
//     one byte at 0x40000000 + the record's file offset, the file lock the 0x3FFFFFFD bytes
//     from 0x40000001;
//   - an index is locked at 0x7FFFFFFE of the .cdx.
// Besides these, a table is held open with a lock of one byte at 0x7FFFFFFF of the .dbf, the
// way Harbour emulates the DOS share modes on POSIX: a read lock for every open, a write lock
// for the one that needs the table to itself (a pack). The byte lies above every position
// above (a record of a table without tags reaches it only at a file offset of 0x3FFFFFFF, in
// a table of a gigabyte, far beyond any this program keeps). The locks belong to the open
// file, not to the process: two Tables on one file in this program hold it as two computers.
namespace xbase::locks {

struct Range {
    uint64_t offset;
    uint64_t length;
};

Range appendLock(bool hasCdx);
Range recordLock(bool hasCdx, uint32_t recno, uint64_t recordFileOffset);
Range fileLock(bool hasCdx);
Range indexLock();
Range openLock();

// An exclusive lock on one range of an open file, held until destruction. Taken with fcntl
// (open-file-description locks where the system has them, so that closing another descriptor
// of the same file, as a re-read of the tags does, never lets it go), which network file
// systems carry to the server. A lock that stays taken for environment().lockWaitMilliseconds throws
// Error
// "<table> está em uso por outro computador; tente de novo".
class Lock {
public:
    Lock() = default;
    // shared: a read lock (a read-only file can take no other).
    Lock(int fd, Range range, const std::string& tableName, bool shared = false);
    ~Lock();
    Lock(Lock&& other) noexcept;
    Lock& operator=(Lock&& other) noexcept;
    void release();
    bool held() const { return fd_ >= 0; }
    // One attempt to turn a held lock into a write lock (false: another holds the range too)
    // or back into a read lock (always done). A lock the file system could not take (held()
    // false) counts as changed.
    bool change(bool shared);

private:
    int fd_ = -1;
    Range range_{0, 0};
    std::string tableName_;  // for the messages
};

// The longest time this process has waited for a lock, in microseconds (for the figures of
// the multi-process test).
uint64_t longestWaitMicroseconds();

} // namespace xbase::locks
