#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veldro {

// Windows-1252, the 8-bit text of .vlf comment blocks and of written text files.
std::string cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 form become '?'.
std::string utf8ToCp1252(std::string_view text);

// The code point of one Windows-1252 byte.
char32_t cp1252CodePoint(unsigned char byte);
// The Windows-1252 byte of a code point, or -1 where the code page has none.
int cp1252Byte(char32_t codePoint);

inline constexpr char32_t kInvalidUtf8 = 0xFFFFFFFF;
// The code point that starts at text[at], moving `at` past it; kInvalidUtf8
// (and one byte on) for a stray or cut byte.
char32_t nextCodePoint(std::string_view text, std::size_t& at);
void appendUtf8(std::string& out, char32_t codePoint);

} // namespace veldro
