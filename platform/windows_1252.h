// Text conversion for the 8-bit text the item reports hold: bytes in the
// Windows-1252 code page, appended to a UTF-8 string.
#pragma once

#include <string>

namespace quarry {

// Appends the code point as UTF-8. Values above U+10FFFF and surrogate halves
// become U+FFFD, so the result is always valid UTF-8.
void appendUtf8(std::string& out, char32_t codePoint);

// The code point a Windows-1252 byte stands for. The five bytes the code page
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control with
// the same value, as the system's own conversion does, so no byte is lost.
char32_t windows1252ToCodePoint(unsigned char byte);

// Appends one Windows-1252 byte as UTF-8.
void appendWindows1252(std::string& out, unsigned char byte);

} // namespace quarry
