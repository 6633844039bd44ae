#include "Memo.h"
#include "Error.h"
#include "File.h"

#include <algorithm>

namespace xbase {
namespace {

constexpr uint32_t kHeaderSize = 512;
constexpr uint32_t kBlockHeaderSize = 8;  // type and length, big-endian

uint32_t readBigEndian32(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void putBigEndian32(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

uint64_t blocksFor(uint64_t bytes, uint32_t blockSize)
{
    return (bytes + blockSize - 1) / blockSize;
}

std::string damaged(const std::string& path, const std::string& what)
{
    return "Arquivo de memo '" + path + "' danificado: " + what;
}

} // namespace

struct MemoFile::Impl {
    File file;
    bool readOnly = false;
    uint32_t blockSize = 64;
    uint32_t nextFree = 0;
    uint64_t fileSize = 0;

    uint32_t firstBlock() const { return static_cast<uint32_t>(blocksFor(kHeaderSize, blockSize)); }

    // Byte length of the memo stored at a block, with every bound checked.
    uint32_t memoLength(uint32_t block) const
    {
        const std::string& path = file.path();
        if (block < firstBlock())
            throw Error(ErrorKind::Damaged, damaged(path, "ponteiro de memo " + std::to_string(block)
                                          + " aponta para o cabeçalho"));
        const uint64_t offset = uint64_t(block) * blockSize;
        if (offset + kBlockHeaderSize > fileSize)
            throw Error(ErrorKind::Damaged, damaged(path, "ponteiro de memo " + std::to_string(block)
                                          + " além do fim do arquivo"));
        unsigned char head[kBlockHeaderSize];
        file.readAt(offset, head, sizeof head);
        const uint32_t length = readBigEndian32(head + 4);
        if (offset + kBlockHeaderSize + length > fileSize)
            throw Error(ErrorKind::Damaged, damaged(path, "o memo do bloco " + std::to_string(block)
                                          + " passa do fim do arquivo"));
        return length;
    }

    // Blocks the memo at a block occupies; 0 when the pointer is damaged (then the new text
    // is appended instead of trusting it).
    uint64_t blocksOf(uint32_t block) const
    {
        try {
            return blocksFor(kBlockHeaderSize + memoLength(block), blockSize);
        } catch (const Error&) {
            return 0;
        }
    }

    void writeHeaderNextFree()
    {
        unsigned char bytes[4];
        putBigEndian32(bytes, nextFree);
        file.writeAt(0, bytes, sizeof bytes);
    }

    // The 8-byte block header, the data and zeros up to the end of the last block.
    std::string blockImage(const std::string& data) const
    {
        const uint64_t total = blocksFor(kBlockHeaderSize + data.size(), blockSize) * blockSize;
        std::string image(total, '\0');
        auto* p = reinterpret_cast<unsigned char*>(image.data());
        putBigEndian32(p, 1);  // text memo
        putBigEndian32(p + 4, static_cast<uint32_t>(data.size()));
        std::copy(data.begin(), data.end(), image.begin() + kBlockHeaderSize);
        return image;
    }
};

MemoFile::MemoFile() : d_(new Impl) {}

MemoFile::~MemoFile()
{
    delete d_;
}

void MemoFile::create(const std::string& path, uint16_t blockSize)
{
    if (blockSize == 0)
        throw Error(ErrorKind::Invalid, "Tamanho de bloco de memo inválido para '" + path + "'");
    Impl impl;
    impl.blockSize = blockSize;
    std::string header(kHeaderSize, '\0');
    auto* p = reinterpret_cast<unsigned char*>(header.data());
    putBigEndian32(p, impl.firstBlock());
    p[6] = static_cast<unsigned char>(blockSize >> 8);
    p[7] = static_cast<unsigned char>(blockSize);
    // The file always ends on a block boundary.
    header.resize(uint64_t(impl.firstBlock()) * blockSize, '\0');
    replaceFileDurably(path, header);
}

void MemoFile::open(const std::string& path, bool readOnly)
{
    close();
    d_->file.open(path, readOnly);
    d_->readOnly = readOnly;
    d_->fileSize = d_->file.size();
    if (d_->fileSize < kHeaderSize) {
        d_->file.close();
        throw Error(ErrorKind::Damaged, damaged(path, "arquivo truncado (menor que o cabeçalho de 512 bytes)"));
    }
    unsigned char head[8];
    d_->file.readAt(0, head, sizeof head);
    d_->blockSize = (uint32_t(head[6]) << 8) | head[7];
    if (d_->blockSize == 0) {
        d_->file.close();
        throw Error(ErrorKind::Damaged, damaged(path, "tamanho de bloco igual a zero"));
    }
    // New memos go past everything the file holds, even when the header's next free block
    // lags behind, so that a damaged header never makes us overwrite a live memo.
    const uint64_t pastEnd = blocksFor(d_->fileSize, d_->blockSize);
    const uint64_t nextFree = std::max<uint64_t>({readBigEndian32(head), d_->firstBlock(), pastEnd});
    if (nextFree > UINT32_MAX) {
        d_->file.close();
        throw Error(ErrorKind::Damaged, damaged(path, "arquivo grande demais"));
    }
    d_->nextFree = static_cast<uint32_t>(nextFree);
}

void MemoFile::close()
{
    d_->file.close();
}

bool MemoFile::isOpen() const
{
    return d_->file.isOpen();
}

// The block header and the text in one read when the text is short (most are): on a file
// server every read is a round trip.
std::string MemoFile::read(uint32_t block) const
{
    constexpr uint64_t kFirstRead = 2048;
    if (block == 0)
        return {};
    const uint64_t offset = uint64_t(block) * d_->blockSize;
    if (block >= d_->firstBlock() && offset + kBlockHeaderSize <= d_->fileSize) {
        const std::string first = d_->file.readAt(offset, std::min(kFirstRead, d_->fileSize - offset));
        const uint32_t length = readBigEndian32(reinterpret_cast<const unsigned char*>(first.data()) + 4);
        if (kBlockHeaderSize + uint64_t(length) <= first.size())
            return first.substr(kBlockHeaderSize, length);
    }
    const uint32_t length = d_->memoLength(block);
    return d_->file.readAt(offset + kBlockHeaderSize, length);
}

uint32_t MemoFile::write(uint32_t oldBlock, const std::string& data)
{
    if (d_->readOnly)
        throw Error(ErrorKind::Invalid, "Arquivo de memo '" + d_->file.path() + "' aberto somente para leitura");
    if (data.empty())
        return 0;
    if (data.size() > UINT32_MAX - kBlockHeaderSize)
        throw Error(ErrorKind::System, "Memo grande demais para '" + d_->file.path() + "'");
    if (oldBlock != 0 && d_->blocksOf(oldBlock) > 0 && read(oldBlock) == data)
        return oldBlock;
    const std::string image = d_->blockImage(data);
    const uint64_t newBlocks = image.size() / d_->blockSize;
    // Another program may have appended memos since this one read the header.
    d_->fileSize = std::max<uint64_t>(d_->fileSize, d_->file.size());
    const uint32_t block = static_cast<uint32_t>(
        std::max<uint64_t>(d_->nextFree, blocksFor(d_->fileSize, d_->blockSize)));
    if (uint64_t(block) + newBlocks > UINT32_MAX)
        throw Error(ErrorKind::System, "Arquivo de memo '" + d_->file.path() + "' cheio");
    // Data first, then the header: a crash in between leaves only unused blocks behind.
    d_->file.writeAt(uint64_t(block) * d_->blockSize, image);
    d_->nextFree = static_cast<uint32_t>(block + newBlocks);
    d_->fileSize = std::max<uint64_t>(d_->fileSize, uint64_t(d_->nextFree) * d_->blockSize);
    d_->writeHeaderNextFree();
    return block;
}

MemoFile::Mark MemoFile::mark() const
{
    return {d_->fileSize, d_->nextFree};
}

void MemoFile::rollback(const Mark& mark)
{
    if (!d_->file.isOpen() || d_->readOnly)
        return;
    d_->nextFree = mark.nextFree;
    d_->fileSize = mark.fileSize;
    try {
        d_->writeHeaderNextFree();
        d_->file.truncate(mark.fileSize);
    } catch (const Error&) {
        // Blocks past the header's next free block are unused; the next open skips them.
    }
}

void MemoFile::sync()
{
    if (d_->file.isOpen() && !d_->readOnly)
        d_->file.sync();
}

uint32_t MemoFile::blockSize() const
{
    return d_->blockSize;
}

uint32_t MemoFile::nextFree() const
{
    return d_->nextFree;
}

const std::string& MemoFile::path() const
{
    return d_->file.path();
}

} // namespace xbase
