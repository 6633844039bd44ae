#pragma once
#include <cstdint>
#include <string>

namespace xbase {

// A FoxPro .fpt memo file: 512-byte header (next free block and block size, big-endian),
// memos as type-1 blocks holding raw Windows-1252 bytes.
class MemoFile {
public:
    MemoFile();
    ~MemoFile();
    MemoFile(const MemoFile&) = delete;
    MemoFile& operator=(const MemoFile&) = delete;

    static void create(const std::string& path, uint16_t blockSize = 64);

    void open(const std::string& path, bool readOnly);
    void close();
    bool isOpen() const;

    // Raw bytes of the memo at a block; "" for block 0. Throws Error for a pointer into the
    // header or past the end, or a length that runs past the end of the file.
    std::string read(uint32_t block) const;
    // Stores a memo and returns its block (0 for an empty text). A changed text always goes to
    // new blocks past the end (data first, then the header's next free block), so the record
    // keeps pointing at its old, whole memo until the record itself is written; the same text
    // keeps its block. Written to the file before it returns.
    uint32_t write(uint32_t oldBlock, const std::string& data);

    // Where the file stood before a post, to give back what a failed post appended.
    struct Mark {
        uint64_t fileSize = 0;
        uint32_t nextFree = 0;
    };
    Mark mark() const;
    void rollback(const Mark& mark);  // best effort: never throws
    void sync();

    uint32_t blockSize() const;
    uint32_t nextFree() const;
    const std::string& path() const;

private:
    struct Impl;
    Impl* d_;
};

} // namespace xbase
