#include "Redo.h"

#include "Error.h"
#include "File.h"

namespace xbase::redo {
namespace {

constexpr char kMagic[8] = {'X', 'B', 'R', 'E', 'D', 'O', '0', '1'};
constexpr std::size_t kHeaderSize = 8 + 8 + 4 + 8;  // magic, offset, length, checksum

uint64_t checksum(const std::string& bytes)
{
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

void putLittle(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i));
}

uint64_t little(const std::string& in, std::size_t at, int bytes)
{
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(in[at + std::size_t(i)]);
    return value;
}

} // namespace

std::string pathFor(const std::string& dbfPath)
{
    return dbfPath + ".redo";
}

void write(const std::string& dbfPath, uint64_t offset, const std::string& bytes)
{
    std::string body;
    putLittle(body, offset, 8);
    putLittle(body, bytes.size(), 4);
    body += bytes;
    std::string note(kMagic, sizeof kMagic);
    note += body.substr(0, 12);
    putLittle(note, checksum(body), 8);
    note += bytes;

    const std::string path = pathFor(dbfPath);
    const bool isNew = !fileExists(path);
    File file;
    if (isNew)
        file.create(path);
    else
        file.open(path, false);
    file.writeAt(0, note);
    file.sync();
    if (isNew)
        syncDirectoryOf(path);
}

void clear(const std::string& dbfPath)
{
    const std::string path = pathFor(dbfPath);
    if (!fileExists(path))
        return;
    File file;
    file.open(path, false);
    file.writeAt(0, std::string(sizeof kMagic, '\0'));
    file.sync();
}

bool read(const std::string& dbfPath, uint64_t& offset, std::string& bytes)
{
    const std::string path = pathFor(dbfPath);
    if (!fileExists(path))
        return false;
    File file;
    file.open(path, true);
    const uint64_t size = file.size();
    if (size < kHeaderSize)
        return false;
    const std::string head = file.readAt(0, kHeaderSize);
    if (head.compare(0, sizeof kMagic, kMagic, sizeof kMagic) != 0)
        return false;
    const uint64_t length = little(head, 16, 4);
    if (size < kHeaderSize + length)
        return false;
    const std::string data = file.readAt(kHeaderSize, static_cast<std::size_t>(length));
    if (checksum(head.substr(8, 12) + data) != little(head, 20, 8))
        return false;
    offset = little(head, 8, 8);
    bytes = data;
    return true;
}

} // namespace xbase::redo
