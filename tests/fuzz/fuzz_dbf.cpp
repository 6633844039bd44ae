// .dbf reader through the table: open read-only, walk every record and field in file order
// and in each tag's order, count, filter and seek. The input may carry a memo file and an
// index after the markers "|FPT|" and "|CDX|", so damaged companions are reached too.
#include "FuzzFiles.h"
#include "xbase/Error.h"
#include "xbase/Table.h"

#include <string>

namespace {

// Splits the input at a marker; the part before it stays in 'rest'.
bool cutAt(std::string& rest, const std::string& marker, std::string& after)
{
    const std::size_t at = rest.find(marker);
    if (at == std::string::npos)
        return false;
    after = rest.substr(at + marker.size());
    rest.resize(at);
    return true;
}

void place(const std::string& name, bool present, const std::string& bytes)
{
    if (present)
        fuzz::writeScratch(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    else
        fuzz::removeScratch(name);
}

void readFields(xbase::Table& table)
{
    for (int i = 0; i < table.fieldCount(); ++i) {
        try {
            table.asString(i);
            table.asInteger(i);
            table.asFloat(i);
            table.asBoolean(i);
            table.isBlank(i);
        } catch (const xbase::Error&) {
        }
    }
}

void walk(xbase::Table& table)
{
    table.first();
    for (int steps = 0; !table.eof() && steps < 1000; ++steps) {
        readFields(table);
        table.recNo();
        table.isDeleted();
        table.next();
    }
    table.last();
    table.prior();
    table.count();
}

// A condition on the first field, whatever its type.
std::string filterOn(const xbase::FieldDef& field)
{
    switch (field.type) {
    case xbase::FieldType::Character: return field.name + " = \"A\"";
    case xbase::FieldType::Numeric:
    case xbase::FieldType::Float: return field.name + " >= 1";
    case xbase::FieldType::Logical: return ".NOT. " + field.name;
    default: return ".T.";
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string dbf(reinterpret_cast<const char*>(data), size);
    std::string fpt, cdx;
    const bool hasCdx = cutAt(dbf, "|CDX|", cdx);
    const bool hasFpt = cutAt(dbf, "|FPT|", fpt);
    place("F.dbf", true, dbf);
    place("F.fpt", hasFpt, fpt);
    place("F.cdx", hasCdx, cdx);

    xbase::Table table;
    try {
        table.open(fuzz::scratchDir(), "F.dbf", true);
    } catch (const xbase::Error&) {
        return 0;
    }
    try {
        walk(table);
        if (table.fieldCount() > 0) {
            table.setFilter(filterOn(table.fieldDef(0)));
            walk(table);
            table.setFilter("");
        }
        for (const std::string& tag : table.tagNames()) {
            table.setIndexName(tag);
            walk(table);
            table.findKey("A");
            table.setRange("A", "Z");
            table.count();
            table.clearRange();
        }
    } catch (const xbase::Error&) {
    }
    return 0;
}
