#pragma once
// Reading values straight from record bytes, inline because filters run them for every
// record. Internal to the engine.
#include <cstdint>
#include <cstring>

namespace xbase::expr {

// Byte equality, word by word: the fields compared are short and this stays inline.
inline bool equalBytes(const uint8_t* a, const uint8_t* b, int length)
{
    int i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y)
            return false;
    }
    for (; i < length; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// Whole numbers the way N fields hold them: leading blanks, an optional '-', digits up to
// the last byte (a blank field is 0). The loop has no data-dependent branch: the same field is
// read in every record, and mispredicted branches would cost more than the parsing. The shape
// is checked afterwards from bit masks of the byte classes.
// Returns false when the text has another shape (decimals, trailing blanks, junk).
inline bool parseWholeNumber(const uint8_t* bytes, int length, double& value)
{
    if (length > 18)
        return false;
    int64_t whole = 0;
    uint32_t digits = 0, minus = 0, other = 0;
    for (int i = 0; i < length; ++i) {
        const uint32_t c = bytes[i];
        const uint32_t digit = c - '0';
        const uint32_t isDigit = digit < 10;
        const uint32_t isMinus = c == '-';
        const uint32_t isBlank = c == ' ';
        digits |= isDigit << i;
        minus |= isMinus << i;
        other |= ((isDigit | isMinus | isBlank) ^ 1u) << i;
        whole = whole * 10 + (digit & (0u - isDigit));
    }
    // Digits must run up to the last byte: adding the lowest digit bit to the mask then
    // carries exactly to bit 'length'. A '-' may only stand right before the first digit.
    const uint32_t lowestDigit = digits & (0u - digits);
    const bool digitsLast = digits == 0 || digits + lowestDigit == (1u << length);
    const bool signPlaced = minus == 0 || (digits != 0 && minus == lowestDigit >> 1);
    const bool shaped = other == 0 && digitsLast && signPlaced;
    value = minus != 0 ? -static_cast<double>(whole) : static_cast<double>(whole);
    return shaped;
}

// Any other N/F text: decimals, long numbers, signs. Blank or unreadable: 0.
double parseNumberText(const uint8_t* bytes, int length);

// Number of an N/F field (ASCII, right-aligned). Blank or unreadable: 0. No allocation.
inline double parseNumber(const uint8_t* bytes, int length)
{
    double value;
    if (parseWholeNumber(bytes, length, value))
        return value;
    return parseNumberText(bytes, length);
}

} // namespace xbase::expr
