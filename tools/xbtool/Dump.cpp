// xbtool dump, tags and keys: show what a table and its index hold.
#include "Commands.h"
#include "RawDbf.h"
#include "xbase/Codepage.h"
#include "xbase/Environment.h"
#include "xbase/Error.h"
#include "xbase/Expr.h"
#include "xbase/File.h"
#include "xbase/Table.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

namespace xbtool {
namespace {

std::string upper(std::string s)
{
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// One record per line: line breaks of memos are shown as \n.
std::string oneLine(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\n')
            out += "\\n";
        else if (text[i] == '\r')
            out += "\\r";
        else
            out += text[i];
    }
    return out;
}

void printStructure(const std::string& path, const RawDbf& dbf, const std::vector<std::string>& tags)
{
    std::printf("Tabela: %s\n", path.c_str());
    std::printf("Versão: %s\n", versionName(dbf.version).c_str());
    std::printf("Registros: %u   Cabeçalho: %u bytes   Registro: %u bytes   Página de código: 0x%02X\n",
                dbf.count, dbf.headerLength, dbf.recordLength, dbf.codePage);
    std::string tagList;
    for (const std::string& t : tags)
        tagList += (tagList.empty() ? "" : ", ") + t;
    std::printf("Índice estrutural: %s\n",
                (dbf.flags & 0x01) ? ("sim (" + tagList + ")").c_str() : "não");
    std::printf("Campos:\n");
    for (const xbase::FieldDef& f : dbf.fields) {
        std::printf("  %-10s %c %3d", f.name.c_str(), char(f.type), f.length);
        if (f.type == xbase::FieldType::Numeric || f.type == xbase::FieldType::Float)
            std::printf(" %d", f.decimals);
        std::printf("\n");
    }
}

} // namespace

int dumpTable(const std::string& dbfPath)
{
    std::vector<std::string> problems;
    const RawDbf dbf = readRawDbf(dbfPath, problems);
    if (!dbf.usable) {
        for (const std::string& p : problems)
            std::fprintf(stderr, "xbtool: %s: %s\n", dbfPath.c_str(), p.c_str());
        return 1;
    }

    xbase::environment().deleted = false;  // the dump shows deleted records too, marked
    xbase::Table table;
    const std::filesystem::path path(dbfPath);
    const std::string dir = path.has_parent_path() ? path.parent_path().string() : ".";
    table.open(dir, path.filename().string(), true);
    printStructure(dbfPath, dbf, table.tagNames());

    std::printf("Registros:\n");
    for (uint32_t recno = 1; recno <= table.physicalCount(); ++recno) {
        table.goTo(recno);
        std::string line;
        for (int i = 0; i < table.fieldCount(); ++i)
            line += (i ? " | " : "") + oneLine(table.asString(i));
        std::printf("%6u %c %s\n", recno, table.isDeleted() ? '*' : ' ', line.c_str());
    }
    return 0;
}

xbase::cdx::KeyTypeOf keyTypesBeside(const std::string& cdxPath)
{
    const std::filesystem::path base = std::filesystem::path(cdxPath).replace_extension();
    std::string dbfPath;
    for (const char* ext : {".dbf", ".DBF", ".Dbf"})
        if (xbase::fileExists(base.string() + ext))
            dbfPath = base.string() + ext;
    if (dbfPath.empty())
        return {};
    std::vector<std::string> ignored;
    const RawDbf dbf = readRawDbf(dbfPath, ignored);
    if (!dbf.usable)
        return {};
    const std::vector<xbase::FieldDef> fields = dbf.fields;
    return [fields](const std::string& expression) {
        try {
            const xbase::ValueType type = xbase::Expression::compileKey(expression, fields).type();
            if (type == xbase::ValueType::Numeric || type == xbase::ValueType::Date)
                return xbase::cdx::KeyType::Numeric;
        } catch (const xbase::Error&) {
        }
        return xbase::cdx::KeyType::Character;
    };
}

std::string keyText(const std::string& key, xbase::cdx::KeyType type)
{
    if (type == xbase::cdx::KeyType::Numeric && key.size() == 8) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.15g", xbase::decodeNumericKey(key));
        return buf;
    }
    const size_t end = key.find_last_not_of(' ');
    return xbase::toUtf8(key.substr(0, end == std::string::npos ? 0 : end + 1));
}

int listTags(const std::string& cdxPath)
{
    for (const xbase::cdx::Tag& tag : xbase::cdx::read(cdxPath, keyTypesBeside(cdxPath))) {
        std::printf("%-10s %s", tag.name.c_str(), xbase::toUtf8(tag.expression).c_str());
        if (!tag.forExpression.empty())
            std::printf(" FOR %s", xbase::toUtf8(tag.forExpression).c_str());
        std::printf("   (chave de %d bytes%s, %zu entradas)\n", tag.keyLength,
                    (tag.options & 0x01) ? ", única" : "", tag.entries.size());
    }
    return 0;
}

int listKeys(const std::string& cdxPath, const std::string& tagName)
{
    for (const xbase::cdx::Tag& tag : xbase::cdx::read(cdxPath, keyTypesBeside(cdxPath))) {
        if (tag.name != upper(tagName))
            continue;
        for (const xbase::cdx::Entry& e : tag.entries)
            std::printf("%u\t%s\n", e.recno, keyText(e.key, tag.keyType).c_str());
        return 0;
    }
    std::fprintf(stderr, "xbtool: a tag '%s' não existe em '%s'\n", tagName.c_str(), cdxPath.c_str());
    return 1;
}

} // namespace xbtool
