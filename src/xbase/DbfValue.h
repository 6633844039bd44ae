#pragma once
#include "Schema.h"

#include <cstdint>
#include <string>

namespace xbase {

// Conversions between the bytes of one field and the values of the interface.
// Text here is Windows-1252; the table converts from and to UTF-8.

// The field's bytes with trailing blanks removed (leading ones too for numbers).
std::string fieldText(const uint8_t* record, const FieldDef& field);

// Number held by an N/F field (or any field read as a number); false when blank or not a
// number.
bool fieldNumber(const uint8_t* record, const FieldDef& field, double& value);
bool parseNumber(const std::string& text, double& value);

// Right-aligned bytes for an N/F field; throws Error when the value does not fit.
std::string formatInteger(long long value, const FieldDef& field, const std::string& table);
std::string formatFloat(double value, const FieldDef& field, const std::string& table);

// 'T', 'F' or ' ' for the byte of a logical field; true for T t Y y.
bool isTrueMark(uint8_t byte);
bool isFalseMark(uint8_t byte);

// YYYYMMDD bytes to the date format ("" for a blank date), and back. parseDate throws Error
// for a text that does not follow the format or is no real date; "" gives 8 blanks.
std::string formatDate(const uint8_t* bytes, const std::string& format);
std::string parseDate(const std::string& text, const std::string& format, const std::string& table);
// Year, month and day of YYYYMMDD bytes; false when blank or not a date.
bool splitDate(const uint8_t* bytes, int& year, int& month, int& day);

// 10-byte memo pointer: right-aligned decimal block number, blanks for none.
uint32_t memoBlock(const uint8_t* bytes, const std::string& table);
std::string memoPointer(uint32_t block);

} // namespace xbase
