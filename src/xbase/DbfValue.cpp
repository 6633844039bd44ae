#include "DbfValue.h"
#include "Error.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace xbase {
namespace {

bool isBlankByte(uint8_t c)
{
    return c == ' ' || c == 0;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool validDate(int y, int m, int d)
{
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

std::string padLeft(const std::string& s, int width)
{
    return std::string(static_cast<std::size_t>(width) - s.size(), ' ') + s;
}

std::string tooWide(const std::string& value, const FieldDef& field, const std::string& table)
{
    return table + ": o valor " + value + " não cabe no campo '" + field.name + "'";
}

// Length of a format token starting at i (runs of the same letter), e.g. "yyyy" -> 4.
std::size_t tokenLength(const std::string& format, std::size_t i)
{
    std::size_t n = 1;
    while (i + n < format.size() && format[i + n] == format[i])
        ++n;
    return n;
}

// Reads up to maxDigits digits at text[pos]; false when there is none.
bool readDigits(const std::string& text, std::size_t& pos, std::size_t maxDigits, int& value)
{
    std::size_t n = 0;
    value = 0;
    while (pos < text.size() && n < maxDigits && isDigit(text[pos])) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++n;
    }
    return n > 0;
}

} // namespace

std::string fieldText(const uint8_t* record, const FieldDef& field)
{
    const auto* p = reinterpret_cast<const char*>(record + field.offset);
    std::size_t begin = 0;
    std::size_t end = static_cast<std::size_t>(field.length);
    while (end > 0 && isBlankByte(static_cast<uint8_t>(p[end - 1])))
        --end;
    if (field.type == FieldType::Numeric || field.type == FieldType::Float)
        while (begin < end && p[begin] == ' ')
            ++begin;
    return std::string(p + begin, end - begin);
}

bool parseNumber(const std::string& text, double& value)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '+'))
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    if (begin == end)
        return false;
    std::string s = text.substr(begin, end - begin);
    for (char& c : s)
        if (c == ',')
            c = '.';  // a decimal comma as typed in Brazil
    const auto result = std::from_chars(s.data(), s.data() + s.size(), value);
    return result.ec == std::errc() && result.ptr == s.data() + s.size() && std::isfinite(value);
}

bool fieldNumber(const uint8_t* record, const FieldDef& field, double& value)
{
    return parseNumber(fieldText(record, field), value);
}

std::string formatInteger(long long value, const FieldDef& field, const std::string& table)
{
    if (field.decimals > 0)
        return formatFloat(static_cast<double>(value), field, table);
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    const std::string digits(buf, result.ptr);
    if (static_cast<int>(digits.size()) > field.length)
        throw Error(ErrorKind::Invalid, tooWide(digits, field, table));
    return padLeft(digits, field.length);
}

std::string formatFloat(double value, const FieldDef& field, const std::string& table)
{
    if (!std::isfinite(value))
        throw Error(ErrorKind::Invalid, table + ": valor numérico inválido para o campo '" + field.name + "'");
    if (value == 0)
        value = 0;  // no "-0"
    char buf[400];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, field.decimals);
    std::string digits = result.ec == std::errc() ? std::string(buf, result.ptr) : std::string("*");
    // A value that rounds to zero prints as "-0.00"; FoxPro has no negative zero.
    if (digits[0] == '-' && digits.find_first_not_of("-0.") == std::string::npos)
        digits.erase(0, 1);
    if (static_cast<int>(digits.size()) > field.length)
        throw Error(ErrorKind::Invalid, tooWide(digits, field, table));
    return padLeft(digits, field.length);
}

bool isTrueMark(uint8_t byte)
{
    return byte == 'T' || byte == 't' || byte == 'Y' || byte == 'y';
}

bool isFalseMark(uint8_t byte)
{
    return byte == 'F' || byte == 'f' || byte == 'N' || byte == 'n';
}

bool splitDate(const uint8_t* bytes, int& year, int& month, int& day)
{
    for (int i = 0; i < 8; ++i)
        if (!isDigit(static_cast<char>(bytes[i])))
            return false;
    const auto number = [&](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i)
            v = v * 10 + (bytes[i] - '0');
        return v;
    };
    year = number(0, 4);
    month = number(4, 2);
    day = number(6, 2);
    return true;
}

std::string formatDate(const uint8_t* bytes, const std::string& format)
{
    int year = 0, month = 0, day = 0;
    if (!splitDate(bytes, year, month, day)) {
        // Blank, or shown as stored when it is no date at all.
        std::string stored(reinterpret_cast<const char*>(bytes), 8);
        const std::size_t end = stored.find_last_not_of(std::string(" \0", 2));
        return end == std::string::npos ? std::string() : stored.substr(0, end + 1);
    }
    std::string out;
    char buf[8];
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        const std::size_t n = tokenLength(format, i);
        if (c == 'd' && n <= 2) {
            std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%d", day);
            out += buf;
        } else if (c == 'M' && n <= 2) {
            std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%d", month);
            out += buf;
        } else if (c == 'y' && (n == 2 || n == 4)) {
            std::snprintf(buf, sizeof buf, n == 4 ? "%04d" : "%02d", n == 4 ? year : year % 100);
            out += buf;
        } else {
            out.append(format, i, n);
        }
        i += n;
    }
    return out;
}

std::string parseDate(const std::string& text, const std::string& format, const std::string& table)
{
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos)
        return std::string(8, ' ');
    const std::string value = text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
    const std::string invalid = table + ": data inválida '" + value + "' (formato " + format + ")";
    int year = -1, month = -1, day = -1;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        const std::size_t n = tokenLength(format, i);
        bool ok = true;
        if (c == 'd' && n <= 2) {
            ok = readDigits(value, pos, 2, day);
        } else if (c == 'M' && n <= 2) {
            ok = readDigits(value, pos, 2, month);
        } else if (c == 'y' && (n == 2 || n == 4)) {
            const std::size_t start = pos;
            ok = readDigits(value, pos, 4, year);
            if (ok && pos - start <= 2)
                year += 2000;  // a two-digit year is taken in this century
        } else {
            ok = value.compare(pos, n, format, i, n) == 0;
            pos += n;
        }
        if (!ok)
            throw Error(ErrorKind::Invalid, invalid);
        i += n;
    }
    if (pos != value.size() || !validDate(year, month, day))
        throw Error(ErrorKind::Invalid, invalid);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", year, month, day);
    return buf;
}

uint32_t memoBlock(const uint8_t* bytes, const std::string& table)
{
    uint64_t block = 0;
    for (int i = 0; i < 10; ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (isDigit(c))
            block = block * 10 + static_cast<uint64_t>(c - '0');
        else if (c != ' ' && c != 0)
            throw Error(ErrorKind::Damaged, table + ": ponteiro de memo inválido no registro");
    }
    if (block > UINT32_MAX)
        throw Error(ErrorKind::Damaged, table + ": ponteiro de memo inválido no registro");
    return static_cast<uint32_t>(block);
}

std::string memoPointer(uint32_t block)
{
    if (block == 0)
        return std::string(10, ' ');
    return padLeft(std::to_string(block), 10);
}

} // namespace xbase
