#pragma once
#include <string>

namespace xbase {

// Text in the files is Windows-1252; the engine's interface speaks UTF-8.

// Converts Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same number.
std::string toUtf8(const std::string& cp1252);

// Converts UTF-8 to Windows-1252. Throws Error when a character has no Windows-1252 byte or
// the input is not valid UTF-8; never changes a character silently.
std::string fromUtf8(const std::string& utf8);

// True when fromUtf8 would succeed.
bool isRepresentable(const std::string& utf8);

// UTF-8 to code points and back. The reading is lenient: a malformed sequence yields what its
// bits give instead of an error (use fromUtf8 to check a text).
std::u32string utf8ToCodepoints(const std::string& utf8);
std::string codepointsToUtf8(const std::u32string& codepoints);

// Number of characters (code points) of a UTF-8 text.
std::size_t utf8Length(const std::string& utf8);

} // namespace xbase
