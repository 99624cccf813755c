// Code page 932 (Shift-JIS) exactly as Windows maps it, best fit included.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheetlift {

// The code of one character (0x00..0xFF single byte, else lead << 8 | trail), or nothing when
// the code page has no mapping for it.
std::optional<unsigned> Cp932Code(char32_t cp);
// The character of a code; two-byte codes without a mapping give U+30FB as on Windows.
char32_t Cp932Char(unsigned code);
inline bool IsCp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// UTF-8 to code page 932; every character without a mapping becomes one "?". Works in place
// (no character takes more bytes in code page 932 than in UTF-8), so pass large texts by move.
// `lost`, when given, is set when a character became "?" or, by best fit, another character.
std::string EncodeCp932(std::string utf8, bool* lost = nullptr);
// Code page 932 to UTF-8.
std::string DecodeCp932(std::string_view bytes);

} // namespace sheetlift
