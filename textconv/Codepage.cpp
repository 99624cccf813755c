#include "textconv/Codepage.h"

#include "textconv/Utf8.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace sheetlift {

namespace {

#include "textconv/Cp932Table.inc"

constexpr std::uint16_t kNone = 0xFFFF; // no valid code or character has this value

struct Tables {
    std::array<std::uint16_t, 0x10000> encode; // UTF-16 unit -> code
    std::array<std::uint16_t, 0x10000> decode; // code -> UTF-16 unit
    Tables() {
        encode.fill(kNone);
        decode.fill(kNone);
        for (std::uint32_t pair : kCp932Encode)
            encode[pair >> 16] = std::uint16_t(pair);
        for (std::uint32_t pair : kCp932Decode)
            decode[pair >> 16] = std::uint16_t(pair);
    }
};

const Tables& GetTables() {
    static const auto tables = std::make_unique<Tables>();
    return *tables;
}

} // namespace

std::optional<unsigned> Cp932Code(char32_t cp) {
    if (cp > 0xFFFF)
        return std::nullopt;
    const std::uint16_t code = GetTables().encode[cp];
    if (code == kNone)
        return std::nullopt;
    return code;
}

char32_t Cp932Char(unsigned code) {
    const std::uint16_t ch = code <= 0xFFFF ? GetTables().decode[code] : kNone;
    return ch == kNone ? U'\u30FB' : ch;
}

std::string EncodeCp932(std::string text, bool* lost) {
    // Texts here are mostly ASCII, which stays as it is and moves in runs, eight bytes a test.
    const std::size_t size = text.size();
    std::size_t in = 0;
    std::size_t out = 0;
    while (in < size) {
        std::size_t run = in;
        for (std::uint64_t word; run + 8 <= size; run += 8) {
            std::memcpy(&word, text.data() + run, 8);
            if (word & 0x8080808080808080u)
                break;
        }
        while (run < size && static_cast<unsigned char>(text[run]) < 0x80)
            ++run;
        if (out != in)
            std::memmove(text.data() + out, text.data() + in, run - in);
        out += run - in;
        in = run;
        if (in == size)
            break;
        const char32_t cp = NextCodePoint(text, in);
        const auto code = Cp932Code(cp);
        if (lost && (!code || Cp932Char(*code) != cp))
            *lost = true;
        if (!code) {
            text[out++] = '?';
        } else if (*code > 0xFF) {
            text[out++] = char(*code >> 8);
            text[out++] = char(*code & 0xFF);
        } else {
            text[out++] = char(*code);
        }
    }
    text.resize(out);
    return text;
}

std::string DecodeCp932(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (!IsCp932LeadByte(b)) {
            AppendUtf8(out, Cp932Char(b));
        } else if (i + 1 < bytes.size()) {
            AppendUtf8(out, Cp932Char(b << 8 | static_cast<unsigned char>(bytes[++i])));
        } else {
            AppendUtf8(out, U'\u30FB'); // a lead byte cut off at the end
        }
    }
    return out;
}

} // namespace sheetlift
