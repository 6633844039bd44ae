#include "RawDbf.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>

namespace xbtool {
namespace {

constexpr uint32_t kDescriptorSize = 32;
constexpr uint32_t kBacklinkSize = 263;  // Visual FoxPro's link to its database container

uint32_t le16(const std::string& b, size_t at) { return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8); }
uint32_t le32(const std::string& b, size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }

bool knownVersion(uint8_t v) { return v == 0x03 || v == 0xF5 || (v >= 0x30 && v <= 0x32); }

std::string hex(unsigned value)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", value);
    return buf;
}

// Checks one descriptor's type, length and decimals.
void checkFieldShape(const RawDbf& dbf, const xbase::FieldDef& f, std::vector<std::string>& problems)
{
    const std::string where = "campo " + f.name + ": ";
    switch (f.type) {
    case xbase::FieldType::Character:
        if (f.decimals != 0)
            problems.push_back(where + "campo caractere com decimais diferentes de 0");
        break;
    case xbase::FieldType::Numeric:
    case xbase::FieldType::Float:
        if (f.length > 20 || (f.decimals > 0 && f.decimals + 2 > f.length))
            problems.push_back(where + "tamanho ou decimais inválidos");
        break;
    case xbase::FieldType::Logical:
        if (f.length != 1)
            problems.push_back(where + "campo lógico deve ter 1 byte");
        break;
    case xbase::FieldType::Date:
        if (f.length != 8)
            problems.push_back(where + "campo data deve ter 8 bytes");
        break;
    case xbase::FieldType::Memo:
        if (f.length != (dbf.isVisualFoxPro() ? 4 : 10))
            problems.push_back(where + "ponteiro de memo com tamanho " + std::to_string(f.length));
        break;
    }
}

bool readDescriptors(RawDbf& dbf, std::vector<std::string>& problems)
{
    const std::string& b = dbf.bytes;
    std::set<std::string> names;
    uint32_t at = 32;
    int offset = 1;
    for (; at < b.size() && uint8_t(b[at]) != 0x0D; at += kDescriptorSize) {
        if (at + kDescriptorSize > b.size()) {
            problems.push_back("cabeçalho truncado nas descrições de campos");
            return false;
        }
        xbase::FieldDef f;
        f.name = b.substr(at, 11);
        f.name.erase(std::min(f.name.find('\0'), f.name.size()));
        const char type = b[at + 11];
        f.length = uint8_t(b[at + 16]);
        f.decimals = uint8_t(b[at + 17]);
        f.offset = int(le32(b, at + 12));
        if (std::string("CNFLDM").find(type) == std::string::npos || type == '\0') {
            problems.push_back("campo " + f.name + ": tipo '" + std::string(1, type) + "' não suportado");
            return false;
        }
        f.type = xbase::FieldType(type);
        if (f.name.empty() || f.name.size() > 10 || b[at + 10] != '\0')
            problems.push_back("nome de campo inválido na descrição " + std::to_string((at - 32) / 32 + 1));
        if (!names.insert(f.name).second)
            problems.push_back("campo " + f.name + " repetido");
        if (f.length == 0)
            problems.push_back("campo " + f.name + ": tamanho 0");
        if (f.offset != offset)
            problems.push_back("campo " + f.name + ": deslocamento " + std::to_string(f.offset)
                               + " no cabeçalho, esperado " + std::to_string(offset));
        f.offset = offset;  // the records are read by the computed position
        offset += f.length;
        checkFieldShape(dbf, f, problems);
        dbf.fields.push_back(f);
    }
    if (at >= b.size()) {
        problems.push_back("cabeçalho sem o terminador 0x0D");
        return false;
    }
    if (dbf.fields.empty()) {
        problems.push_back("tabela sem campos");
        return false;
    }
    // Visual FoxPro keeps a 263-byte backlink after the terminator; some FoxPro 2.x writers
    // (python-dbf among them) add it too, and the readers accept it.
    const uint32_t expectedHeader = at + 1 + (dbf.isVisualFoxPro() ? kBacklinkSize : 0);
    const bool backlinkToo = !dbf.isVisualFoxPro() && dbf.headerLength == expectedHeader + kBacklinkSize;
    if (dbf.headerLength != expectedHeader && !backlinkToo) {
        problems.push_back("tamanho do cabeçalho " + std::to_string(dbf.headerLength) + ", esperado "
                           + std::to_string(expectedHeader));
        return false;
    }
    if (dbf.recordLength != uint32_t(offset)) {
        problems.push_back("tamanho do registro " + std::to_string(dbf.recordLength)
                           + ", mas os campos somam " + std::to_string(offset));
        return false;
    }
    return true;
}

// A file shorter than its count is damaged. A missing end mark (some writers put none) or
// bytes past the counted records (an append cut short before its count) are only noted: the
// engine ignores them and the next append writes over them.
void checkFileSize(RawDbf& dbf, std::vector<std::string>& problems)
{
    const uint64_t data = uint64_t(dbf.headerLength) + uint64_t(dbf.count) * dbf.recordLength;
    const uint64_t size = dbf.bytes.size();
    if (size < data) {
        problems.push_back("o cabeçalho indica " + std::to_string(dbf.count) + " registros, o arquivo tem "
                           + std::to_string(dbf.recordsPresent()));
    } else if (size == data) {
        dbf.notes.push_back("falta o byte de fim de arquivo 0x1A");
    } else if (uint8_t(dbf.bytes[data]) != 0x1A || size > data + 1) {
        dbf.notes.push_back(std::to_string(size - data) + " bytes depois do último registro contado"
                            " (gravação interrompida), ignorados");
    }
}

} // namespace

bool RawDbf::hasMemoFields() const
{
    for (const xbase::FieldDef& f : fields)
        if (f.type == xbase::FieldType::Memo)
            return true;
    return false;
}

uint32_t RawDbf::recordsPresent() const
{
    if (!usable || recordLength == 0 || bytes.size() < headerLength)
        return 0;
    const uint64_t fit = (bytes.size() - headerLength) / recordLength;
    return uint32_t(std::min<uint64_t>(fit, count));
}

const uint8_t* RawDbf::record(uint32_t recno) const
{
    return reinterpret_cast<const uint8_t*>(bytes.data()) + headerLength + size_t(recno - 1) * recordLength;
}

std::string RawDbf::fieldBytes(uint32_t recno, const xbase::FieldDef& field) const
{
    return std::string(reinterpret_cast<const char*>(record(recno)) + field.offset, size_t(field.length));
}

RawDbf readRawDbf(const std::string& path, std::vector<std::string>& problems)
{
    RawDbf dbf;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problems.push_back("não foi possível abrir '" + path + "'");
        return dbf;
    }
    dbf.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const std::string& b = dbf.bytes;
    if (b.size() < 32) {
        problems.push_back("arquivo curto demais para um cabeçalho (" + std::to_string(b.size()) + " bytes)");
        return dbf;
    }
    dbf.version = uint8_t(b[0]);
    dbf.count = le32(b, 4);
    dbf.headerLength = le16(b, 8);
    dbf.recordLength = le16(b, 10);
    dbf.flags = uint8_t(b[28]);
    dbf.codePage = uint8_t(b[29]);
    if (!knownVersion(dbf.version)) {
        problems.push_back("versão " + hex(dbf.version) + " não suportada");
        return dbf;
    }
    if (!readDescriptors(dbf, problems))
        return dbf;
    if (dbf.version == 0x03 && dbf.hasMemoFields())
        problems.push_back("tabela com campo memo marcada como sem memo (versão 0x03)");
    if (dbf.version == 0xF5 && !dbf.hasMemoFields())
        problems.push_back("tabela sem campo memo marcada como com memo (versão 0xF5)");
    dbf.usable = true;
    checkFileSize(dbf, problems);
    return dbf;
}

std::string versionName(uint8_t version)
{
    switch (version) {
    case 0x03: return "0x03 (FoxPro 2.x, sem memo)";
    case 0xF5: return "0xF5 (FoxPro 2.x, com memo)";
    case 0x30: case 0x31: case 0x32: return hex(version) + " (Visual FoxPro)";
    default: return hex(version);
    }
}

} // namespace xbtool
