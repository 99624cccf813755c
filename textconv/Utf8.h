// UTF-8 text walking. Core texts are UTF-8; invalid sequences read as U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace sheetlift {

// Decodes the code point at `pos` and advances `pos` past it.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);
// Appends the UTF-8 bytes of one code point.
void AppendUtf8(std::string& out, char32_t cp);
// How many bytes the sequence that `lead` starts takes (1 for a byte that starts none).
inline std::size_t Utf8SequenceLength(unsigned char lead) {
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}
// Whether the n bytes at p (2 to 4, their lead saying n) are one well-formed sequence: not
// overlong, no surrogate, nothing beyond U+10FFFF. Inline: the snapshot reader asks it of
// every character beyond ASCII.
inline bool IsUtf8Sequence(const unsigned char* p, int n) {
    const unsigned char lead = p[0];
    const unsigned char second = p[1];
    for (int i = 1; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return false;
    switch (lead) {
    case 0xE0:
        return second >= 0xA0;
    case 0xED:
        return second < 0xA0;
    case 0xF0:
        return second >= 0x90;
    case 0xF4:
        return second < 0x90;
    default:
        return lead >= 0xC2 && lead < 0xF5;
    }
}

// Whether the whole text is well-formed UTF-8 (checked before texts from outside are taken in).
bool IsValidUtf8(std::string_view text);

} // namespace sheetlift
