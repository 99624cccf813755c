// UTF-8 text walking. Core texts are UTF-8; invalid sequences read as U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace sheetlift {

// Decodes the code point at `pos` and advances `pos` past it.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);
// Appends the UTF-8 bytes of one code point.
void AppendUtf8(std::string& out, char32_t cp);
// Whether the whole text is well-formed UTF-8 (checked before texts from outside are taken in).
bool IsValidUtf8(std::string_view text);

} // namespace sheetlift
