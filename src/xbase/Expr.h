#pragma once
#include "Schema.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace xbase {

enum class ValueType { Character, Numeric, Logical, Date };

// A compiled xBase expression, evaluated straight on the raw bytes of a record.
//
// Key expressions: field names, +, UPPER(), STR(n[,len[,dec]]), DTOS().
// Filter expressions: field names, text literals in "..", '..' or [..], integers,
// = == <> # < > <= >=, .AND. .OR. .NOT., parentheses, logical fields, .T. .F.
// Names are matched without regard to case. Text literals are UTF-8 in the expression and
// compared as Windows-1252 bytes.
//
// Text comparison: '=' and '<>'/'#' compare whole values, ignoring trailing blanks only
// ("ANAMARIA" = "ANA" is false); '==' compares the bytes exactly; < > <= >= compare bytewise
// with the shorter value padded with blanks.
class Expression {
public:
    Expression();
    ~Expression();
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    // Compiles an expression against the fields of a table. Throws Error with a message that
    // says what is wrong and where (1-based column), e.g.
    // "Expressão inválida na coluna 7: campo 'XYZ' não existe".
    static Expression compile(const std::string& text, const std::vector<FieldDef>& fields);
    // As compile, and the result must be logical.
    static Expression compileFilter(const std::string& text, const std::vector<FieldDef>& fields);
    // As compile, and the result must be character, numeric or date (an index key).
    static Expression compileKey(const std::string& text, const std::vector<FieldDef>& fields);

    bool isValid() const;
    ValueType type() const;
    // Key length: the width of a character result; 8 for numeric and date; 1 for logical.
    int width() const;
    const std::string& text() const;

    // Value of a logical expression for a record (record[0] is the deletion flag).
    bool test(const uint8_t* record) const;
    // Index key bytes for a record: character results as raw Windows-1252 bytes padded with
    // blanks to width(); numeric and date results encoded as 8 sortable bytes
    // (encodeNumericKey); logical as "T" or "F".
    std::string key(const uint8_t* record) const;

private:
    struct Node;
    std::unique_ptr<Node> root_;
    ValueType type_ = ValueType::Logical;
    int width_ = 0;
    std::string text_;
};

// The 8-byte index key of a number: big-endian IEEE double, top bit flipped for values >= 0,
// all bytes inverted for negative values, so the keys sort with memcmp.
std::string encodeNumericKey(double value);
double decodeNumericKey(const std::string& key);
// Julian day number of a date (0001-01-01 is day 1721426); dates are keyed as that number.
long julianDay(int year, int month, int day);

} // namespace xbase
