// The table-driven conversions that work on the code page 932 (Shift-JIS) form of a text.
#include "textconv/Codepage.h"
#include "textconv/TextFunctions.h"
#include "textconv/Utf8.h"

#include <string_view>

namespace sheetlift {

namespace {

// Entry k is the full-width form of the single byte 0xA0 + k. 0xA0 has no half-width character
// and becomes the ideographic space; ﾞ and ﾟ become the spacing marks, which code page 932 holds.
constexpr std::u16string_view halfKanaTable =
    u"\u3000。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテト"
    u"ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(halfKanaTable.size() == 64);

struct KanaPair {
    unsigned char base; // the half-width base as its code page 932 byte
    char16_t kana;
};

// A base followed by ﾞ (0xDE). ﾜ and ｦ are deliberately absent.
constexpr KanaPair voicedKanaPairs[] = {
    {0xB6, u'ガ'}, {0xB7, u'ギ'}, {0xB8, u'グ'}, {0xB9, u'ゲ'}, {0xBA, u'ゴ'}, // ｶｷｸｹｺ
    {0xBB, u'ザ'}, {0xBC, u'ジ'}, {0xBD, u'ズ'}, {0xBE, u'ゼ'}, {0xBF, u'ゾ'}, // ｻｼｽｾｿ
    {0xC0, u'ダ'}, {0xC1, u'ヂ'}, {0xC2, u'ヅ'}, {0xC3, u'デ'}, {0xC4, u'ド'}, // ﾀﾁﾂﾃﾄ
    {0xCA, u'バ'}, {0xCB, u'ビ'}, {0xCC, u'ブ'}, {0xCD, u'ベ'}, {0xCE, u'ボ'}, // ﾊﾋﾌﾍﾎ
    {0xB3, u'ヴ'},                                                             // ｳ
};

// A base followed by ﾟ (0xDF).
constexpr KanaPair semiVoicedKanaPairs[] = {
    {0xCA, u'パ'}, {0xCB, u'ピ'}, {0xCC, u'プ'}, {0xCD, u'ペ'}, {0xCE, u'ポ'}, // ﾊﾋﾌﾍﾎ
};

// The full-width symbols that have a plain ASCII stand-in. ｜ becomes the letter l and ￥ the
// byte 0x5C, the yen sign of Japanese fonts.
struct SymbolPair {
    unsigned code;
    char ascii;
};
constexpr SymbolPair kSymbolTable[] = {
    {0x8143, ','}, {0x8144, '.'}, {0x8146, ':'}, {0x8147, ';'}, {0x8148, '?'},  {0x8149, '!'},
    {0x814D, '`'}, {0x814F, '^'}, {0x8151, '_'}, {0x815E, '/'}, {0x8162, 'l'},  {0x8169, '('},
    {0x816A, ')'}, {0x816D, '['}, {0x816E, ']'}, {0x816F, '{'}, {0x8170, '}'},  {0x817B, '+'},
    {0x817C, '-'}, {0x8181, '='}, {0x8183, '<'}, {0x8184, '>'}, {0x818F, '\\'}, {0x8190, '$'},
    {0x8193, '%'}, {0x8194, '#'}, {0x8195, '&'}, {0x8196, '*'}, {0x8197, '@'},
};

void AppendCode(std::string& out, unsigned code) {
    if (code > 0xFF)
        out += char(code >> 8);
    out += char(code & 0xFF);
}

void AppendKana(std::string& out, char16_t kana) {
    AppendCode(out, *Cp932Code(kana));
}

// Runs `scan` over the code page 932 bytes of each stretch of characters that the code page
// holds exactly. Everything else - characters it lacks, and best-fit ones such as é that would
// come back as e - passes through untouched instead of turning into "?" or another letter.
template <class Scan> std::string ConvertInCp932(std::string_view text, Scan scan) {
    std::string out;
    std::string run;
    out.reserve(text.size());
    const auto flush = [&] {
        if (!run.empty())
            out += DecodeCp932(scan(std::string_view(run)));
        run.clear();
    };
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            run += text[pos++]; // ASCII is its own code
            continue;
        }
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(text, pos);
        const auto code = Cp932Code(cp);
        if (code && Cp932Char(*code) == cp) {
            AppendCode(run, *code);
        } else {
            flush();
            out.append(text, start, pos - start);
        }
    }
    flush();
    return out;
}

// Replaces the double-byte characters for which `half` gives a byte by that byte.
template <class Half> std::string ReplaceDoubleBytes(std::string_view bytes, Half half) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (!IsCp932LeadByte(b) || i + 1 == bytes.size()) {
            out += char(b);
            continue;
        }
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (const char c = half(b << 8 | trail))
            out += c;
        else
            out += char(b), out += char(trail);
    }
    return out;
}

template <std::size_t N> const KanaPair* FindPair(const KanaPair (&pairs)[N], unsigned char base) {
    for (const KanaPair& pair : pairs) {
        if (pair.base == base)
            return &pair;
    }
    return nullptr;
}

std::string HalfKanaBytesToFull(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (IsCp932LeadByte(b) && i + 1 < bytes.size()) {
            out += bytes[i];
            out += bytes[++i];
        } else if (b < 0xA0 || b > 0xDF) {
            out += char(b);
        } else {
            const auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
            const KanaPair* pair = next == 0xDE   ? FindPair(voicedKanaPairs, b)
                                   : next == 0xDF ? FindPair(semiVoicedKanaPairs, b)
                                                  : nullptr;
            if (pair) {
                AppendKana(out, pair->kana);
                ++i;
            } else {
                AppendKana(out, halfKanaTable[b - 0xA0]);
            }
        }
    }
    return out;
}

} // namespace

std::string FullDigitsToHalf(std::string_view text) {
    return ConvertInCp932(text, [](std::string_view bytes) {
        return ReplaceDoubleBytes(bytes, [](unsigned code) -> char {
            return code >= 0x824F && code <= 0x8258 ? char(code - 0x824F + '0') : 0; // ０-９
        });
    });
}

std::string FullAlphaToHalf(std::string_view text) {
    return ConvertInCp932(text, [](std::string_view bytes) {
        return ReplaceDoubleBytes(bytes, [](unsigned code) -> char {
            if (code >= 0x8260 && code <= 0x8279) // Ａ-Ｚ
                return char(code - 0x8260 + 'A');
            if (code >= 0x8281 && code <= 0x829A) // ａ-ｚ
                return char(code - 0x8281 + 'a');
            return 0;
        });
    });
}

std::string FullSymbolsToHalf(std::string_view text) {
    return ConvertInCp932(text, [](std::string_view bytes) {
        return ReplaceDoubleBytes(bytes, [](unsigned code) -> char {
            for (const SymbolPair& pair : kSymbolTable) {
                if (pair.code == code)
                    return pair.ascii;
            }
            return 0;
        });
    });
}

std::string HalfKanaToFull(std::string_view text) {
    return ConvertInCp932(text, HalfKanaBytesToFull);
}

} // namespace sheetlift
