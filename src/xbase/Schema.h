#pragma once
#include <string>
#include <vector>

namespace xbase {

enum class FieldType : char {
    Character = 'C',
    Numeric = 'N',
    Float = 'F',
    Logical = 'L',
    Date = 'D',
    Memo = 'M',
};

// One field of a table, as the field descriptor in the header gives it.
struct FieldDef {
    std::string name;   // upper case ASCII, at most 10 characters
    FieldType type = FieldType::Character;
    int length = 1;     // bytes in the record (M: 10, L: 1, D: 8)
    int decimals = 0;   // N and F only
    int offset = 0;     // position in the record; byte 0 is the deletion flag, so fields start at 1
};

// One tag of a structural .cdx, for making a table.
struct TagDef {
    std::string name;        // upper case, at most 10 characters
    std::string expression;  // key expression, e.g. "TIPO+STR(LICAO,3)"
};

} // namespace xbase
