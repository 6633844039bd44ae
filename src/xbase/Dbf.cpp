#include "Dbf.h"
#include "Error.h"
#include "File.h"

#include <cctype>
#include <ctime>

namespace xbase {
namespace {

constexpr std::size_t kFixedHeader = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kHeaderBacklink = 263;
constexpr uint8_t kHeaderEnd = 0x0D;

uint32_t readLittle32(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint16_t readLittle16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void putLittle32(std::string& s, std::size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putLittle16(std::string& s, std::size_t at, uint16_t v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

std::string damaged(const std::string& path, const std::string& what)
{
    return "Arquivo de tabela '" + path + "' danificado: " + what;
}

bool isKnownType(char type)
{
    return type == 'C' || type == 'N' || type == 'F' || type == 'L' || type == 'D' || type == 'M';
}

// Empty when the field is acceptable, else what is wrong with it.
std::string fieldProblem(const FieldDef& f)
{
    if (f.name.empty() || f.name.size() > 10)
        return "nome de campo '" + f.name + "' inválido";
    for (char c : f.name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return "nome de campo '" + f.name + "' inválido";
    const char type = static_cast<char>(f.type);
    if (!isKnownType(type))
        return "campo '" + f.name + "' com tipo '" + std::string(1, type) + "' não suportado";
    bool lengthOk = true;
    switch (f.type) {
    case FieldType::Character: lengthOk = f.length >= 1 && f.length <= 254 && f.decimals == 0; break;
    case FieldType::Numeric:
    case FieldType::Float:
        lengthOk = f.length >= 1 && f.length <= 20 && f.decimals >= 0
                   && (f.decimals == 0 || f.decimals <= f.length - 2);
        break;
    case FieldType::Logical: lengthOk = f.length == 1; break;
    case FieldType::Date: lengthOk = f.length == 8; break;
    case FieldType::Memo: lengthOk = f.length == 10; break;
    }
    if (!lengthOk)
        return "campo '" + f.name + "' com tamanho " + std::to_string(f.length) + "/"
               + std::to_string(f.decimals) + " inválido para o tipo " + std::string(1, type);
    return {};
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

FieldDef readDescriptor(const unsigned char* d)
{
    FieldDef f;
    std::size_t n = 0;
    while (n < 11 && d[n] != 0)
        ++n;
    f.name.assign(reinterpret_cast<const char*>(d), n);
    f.type = static_cast<FieldType>(static_cast<char>(std::toupper(d[11])));
    f.length = d[16];
    f.decimals = d[17];
    return f;
}

} // namespace

bool DbfHeader::hasMemo() const
{
    for (const FieldDef& f : fields)
        if (f.type == FieldType::Memo)
            return true;
    return false;
}

DbfHeader layoutHeader(const std::string& tableName, std::vector<FieldDef> fields, bool withCdx)
{
    if (fields.empty())
        throw Error(ErrorKind::Invalid, tableName + ": uma tabela precisa de ao menos um campo");
    DbfHeader h;
    int offset = 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        FieldDef& f = fields[i];
        f.name = upper(f.name);
        if (f.type != FieldType::Numeric && f.type != FieldType::Float)
            f.decimals = 0;
        const std::string problem = fieldProblem(f);
        if (!problem.empty())
            throw Error(ErrorKind::Invalid, tableName + ": " + problem);
        for (std::size_t j = 0; j < i; ++j)
            if (fields[j].name == f.name)
                throw Error(ErrorKind::Invalid, tableName + ": campo '" + f.name + "' repetido");
        f.offset = offset;
        offset += f.length;
    }
    const std::size_t headerLength = kFixedHeader + kDescriptorSize * fields.size() + 1;
    if (offset > 0xFFFF || headerLength > 0xFFFF)
        throw Error(ErrorKind::Invalid, tableName + ": registro grande demais");
    h.fields = std::move(fields);
    h.recordLength = static_cast<uint16_t>(offset);
    h.headerLength = static_cast<uint16_t>(headerLength);
    h.version = h.hasMemo() ? kDbfWithMemo : kDbfPlain;
    h.flags = withCdx ? kFlagStructuralCdx : 0;
    return h;
}

DbfHeader readHeader(const File& file)
{
    DbfHeader h = readHeaderLayout(file);
    const uint64_t size = file.size();
    const uint64_t expected = uint64_t(h.headerLength) + uint64_t(h.count) * h.recordLength;
    if (size < expected)
        throw Error(ErrorKind::Damaged, damaged(file.path(), "arquivo truncado: o cabeçalho indica " + std::to_string(h.count)
                                             + " registros, mas o arquivo tem " + std::to_string(size)
                                             + " bytes (esperado " + std::to_string(expected) + ")"));
    // Bytes past the counted records are what an append cut short left (the count is written
    // last): not damage. They are ignored, and the next append writes over them.
    return h;
}

DbfHeader readHeaderLayout(const File& file)
{
    const std::string& path = file.path();
    const uint64_t size = file.size();
    if (size < kFixedHeader + 1)
        throw Error(ErrorKind::Damaged, damaged(path, "arquivo truncado (" + std::to_string(size) + " bytes)"));
    unsigned char fixed[kFixedHeader];
    file.readAt(0, fixed, sizeof fixed);

    DbfHeader h;
    h.version = fixed[0];
    if (h.version != kDbfPlain && h.version != kDbfWithMemo)
        throw Error(ErrorKind::Damaged, "Arquivo de tabela '" + path + "': formato não suportado (versão 0x"
                    + std::string(1, "0123456789ABCDEF"[h.version >> 4])
                    + std::string(1, "0123456789ABCDEF"[h.version & 15]) + ")");
    h.count = readLittle32(fixed + 4);
    h.headerLength = readLittle16(fixed + 8);
    h.recordLength = readLittle16(fixed + 10);
    h.flags = fixed[28];
    h.codePage = fixed[29];
    h.changes = readLittle32(fixed + kChangesOffset);

    // Some writers put the 263-byte database backlink after the field list of FoxPro tables too.
    const std::size_t backlink = kHeaderBacklink;
    const auto fitsFields = [&](std::size_t extra) {
        return h.headerLength >= kFixedHeader + kDescriptorSize + 1 + extra
               && (h.headerLength - kFixedHeader - 1 - extra) % kDescriptorSize == 0;
    };
    std::size_t extra = 0;
    if (!fitsFields(0)) {
        if (!fitsFields(backlink))
            throw Error(ErrorKind::Damaged, damaged(path, "tamanho do cabeçalho inválido (" + std::to_string(h.headerLength) + ")"));
        extra = backlink;
    }
    if (h.headerLength > size)
        throw Error(ErrorKind::Damaged, damaged(path, "arquivo truncado no cabeçalho"));

    const std::string descriptors = file.readAt(kFixedHeader, h.headerLength - kFixedHeader);
    const auto* bytes = reinterpret_cast<const unsigned char*>(descriptors.data());
    const std::size_t fieldCount = (h.headerLength - kFixedHeader - 1 - extra) / kDescriptorSize;
    if (bytes[fieldCount * kDescriptorSize] != kHeaderEnd)
        throw Error(ErrorKind::Damaged, damaged(path, "fim do cabeçalho não encontrado"));
    int offset = 1;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        FieldDef f = readDescriptor(bytes + i * kDescriptorSize);
        const std::string problem = fieldProblem(f);
        if (!problem.empty())
            throw Error(ErrorKind::Damaged, damaged(path, problem));
        f.offset = offset;
        offset += f.length;
        h.fields.push_back(f);
    }
    if (offset != h.recordLength)
        throw Error(ErrorKind::Damaged, damaged(path, "tamanho do registro (" + std::to_string(h.recordLength)
                                      + ") não confere com os campos (" + std::to_string(offset) + ")"));
    if (h.hasMemo() != (h.version == kDbfWithMemo))
        throw Error(ErrorKind::Damaged, damaged(path, "versão do arquivo não confere com os campos de memo"));

    return h;
}

DbfHeader readHeaderAs(const File& file, const std::vector<FieldDef>& fields)
{
    const std::string& path = file.path();
    DbfHeader h = layoutHeader(path, fields, false);
    if (file.size() < h.headerLength)
        throw Error(ErrorKind::Damaged, damaged(path, "arquivo truncado no cabeçalho"));
    const std::string bytes = file.readAt(0, h.headerLength);
    const auto* u = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < h.fields.size(); ++i) {
        const FieldDef f = readDescriptor(u + kFixedHeader + i * kDescriptorSize);
        const FieldDef& e = h.fields[i];
        if (upper(f.name) != e.name || f.type != e.type || f.length != e.length || f.decimals != e.decimals)
            throw Error(ErrorKind::Damaged, damaged(path, "os campos não conferem com os da tabela original"));
    }
    if (u[h.headerLength - 1] != kHeaderEnd)
        throw Error(ErrorKind::Damaged, damaged(path, "fim do cabeçalho não encontrado"));
    h.flags = u[28] & kFlagStructuralCdx;
    h.codePage = u[29];
    return h;
}

uint32_t readCount(const File& file)
{
    unsigned char bytes[4];
    file.readAt(4, bytes, sizeof bytes);
    return readLittle32(bytes);
}

// Bytes 4 to 19: the count, the lengths, the reserved bytes up to the counter, the counter.
void readCountAndChanges(const File& file, uint32_t& count, uint32_t& changes)
{
    constexpr uint64_t kCountOffset = 4;
    unsigned char bytes[kChangesOffset + 4 - kCountOffset];
    file.readAt(kCountOffset, bytes, sizeof bytes);
    count = readLittle32(bytes);
    changes = readLittle32(bytes + (kChangesOffset - kCountOffset));
}

std::string changesBytes(uint32_t changes)
{
    std::string bytes(4, '\0');
    putLittle32(bytes, 0, changes);
    return bytes;
}

std::string dateAndCount(uint32_t count)
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    std::string bytes(7, '\0');
    bytes[0] = static_cast<char>(local.tm_year % 100);
    bytes[1] = static_cast<char>(local.tm_mon + 1);
    bytes[2] = static_cast<char>(local.tm_mday);
    putLittle32(bytes, 3, count);
    return bytes;
}

std::string headerBytes(const DbfHeader& h)
{
    std::string bytes(h.headerLength, '\0');
    bytes[0] = static_cast<char>(h.version);
    bytes.replace(1, 7, dateAndCount(h.count));
    putLittle16(bytes, 8, h.headerLength);
    putLittle16(bytes, 10, h.recordLength);
    putLittle32(bytes, kChangesOffset, h.changes);
    bytes[28] = static_cast<char>(h.flags);
    bytes[29] = static_cast<char>(h.codePage);
    std::size_t at = kFixedHeader;
    for (const FieldDef& f : h.fields) {
        bytes.replace(at, f.name.size(), f.name);
        bytes[at + 11] = static_cast<char>(f.type);
        putLittle32(bytes, at + 12, static_cast<uint32_t>(f.offset));
        bytes[at + 16] = static_cast<char>(f.length);
        bytes[at + 17] = static_cast<char>(f.decimals);
        at += kDescriptorSize;
    }
    bytes[at] = static_cast<char>(kHeaderEnd);
    return bytes;
}

} // namespace xbase
