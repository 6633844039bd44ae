#include "Codepage.h"
#include "Error.h"

#include <cstdint>
#include <cstdio>

namespace xbase {
namespace {

// Unicode code points of Windows-1252 bytes 0x80..0x9F; the rest of the page equals Latin-1.
const char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one code point at text[i]; advances i. Returns false on invalid UTF-8.
bool decodeUtf8(const std::string& text, std::size_t& i, char32_t& cp)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    int extra = 0;
    if (b0 < 0x80) { cp = b0; extra = 0; }
    else if ((b0 & 0xE0) == 0xC0) { cp = b0 & 0x1F; extra = 1; }
    else if ((b0 & 0xF0) == 0xE0) { cp = b0 & 0x0F; extra = 2; }
    else if ((b0 & 0xF8) == 0xF0) { cp = b0 & 0x07; extra = 3; }
    else return false;
    if (extra > 0 && i + extra >= text.size())
        return false;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms and surrogates are not UTF-8.
    if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000)
        || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return false;
    i += extra + 1;
    return true;
}

// Windows-1252 byte for a code point, or -1.
int toByte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kHigh[k] == cp) return 0x80 + k;
    return -1;
}

std::string describe(char32_t cp)
{
    std::string s;
    appendUtf8(s, cp);
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
    return "'" + s + "' (" + hex + ")";
}

} // namespace

std::string toUtf8(const std::string& cp1252)
{
    std::string out;
    out.reserve(cp1252.size() + cp1252.size() / 8);
    for (unsigned char b : cp1252) {
        if (b < 0x80) out += static_cast<char>(b);
        else if (b < 0xA0) appendUtf8(out, kHigh[b - 0x80]);
        else appendUtf8(out, b);
    }
    return out;
}

std::string fromUtf8(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!decodeUtf8(utf8, i, cp))
            throw Error(ErrorKind::Invalid, "Texto com codificação UTF-8 inválida");
        const int b = toByte(cp);
        if (b < 0)
            throw Error(ErrorKind::Invalid, "O caractere " + describe(cp)
                        + " não pode ser gravado (fora da página de código Windows-1252)");
        out += static_cast<char>(b);
    }
    return out;
}

bool isRepresentable(const std::string& utf8)
{
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!decodeUtf8(utf8, i, cp) || toByte(cp) < 0) return false;
    }
    return true;
}

std::u32string utf8ToCodepoints(const std::string& utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : 3;
        char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += cp;
        i += extra + 1;
    }
    return out;
}

std::string codepointsToUtf8(const std::u32string& codepoints)
{
    std::string out;
    out.reserve(codepoints.size());
    for (char32_t cp : codepoints) appendUtf8(out, cp);
    return out;
}

std::size_t utf8Length(const std::string& utf8)
{
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

} // namespace xbase
