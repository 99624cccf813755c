#include "textconv/Codepage.h"
#include "textconv/Utf8.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

namespace sheetlift {
namespace {

// Microsoft's published tables: "hex<TAB>hex" lines, '#' comments.
std::map<unsigned, unsigned> ReadTable(const char* name) {
    const std::string path = std::string(SHEETLIFT_TEST_DATA) + "/" + name;
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    std::map<unsigned, unsigned> table;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t tab = line.find('\t');
        table.emplace(std::stoul(line.substr(0, tab), nullptr, 16),
                      std::stoul(line.substr(tab + 1), nullptr, 16));
    }
    return table;
}

std::string Utf8(char32_t cp) {
    std::string s;
    AppendUtf8(s, cp);
    return s;
}

std::string Bytes(unsigned code) {
    std::string s;
    if (code > 0xFF)
        s += char(code >> 8);
    s += char(code & 0xFF);
    return s;
}

bool IsSurrogate(char32_t cp) {
    return cp >= 0xD800 && cp <= 0xDFFF;
}

class Cp932Tables : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        encodeTable = ReadTable("cp932-encode.tsv");
        decodeTable = ReadTable("cp932-decode.tsv");
    }
    static std::map<unsigned, unsigned> encodeTable;
    static std::map<unsigned, unsigned> decodeTable;
};
std::map<unsigned, unsigned> Cp932Tables::encodeTable;
std::map<unsigned, unsigned> Cp932Tables::decodeTable;

TEST_F(Cp932Tables, EncodesEveryListedCodeUnit) {
    ASSERT_GT(encodeTable.size(), 9000u);
    for (const auto& [unit, code] : encodeTable) {
        EXPECT_EQ(EncodeCp932(Utf8(unit)), Bytes(code)) << std::hex << "U+" << unit;
        EXPECT_EQ(Cp932Code(unit), code) << std::hex << "U+" << unit;
    }
}

TEST_F(Cp932Tables, UnlistedCodeUnitsBecomeOneQuestionMark) {
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        if (encodeTable.count(unit) || IsSurrogate(unit))
            continue;
        EXPECT_EQ(EncodeCp932(Utf8(unit)), "?") << std::hex << "U+" << unsigned(unit);
        EXPECT_FALSE(Cp932Code(unit)) << std::hex << "U+" << unsigned(unit);
    }
}

TEST_F(Cp932Tables, DecodesEveryListedCode) {
    ASSERT_GT(decodeTable.size(), 9000u);
    for (const auto& [code, unit] : decodeTable) {
        EXPECT_EQ(DecodeCp932(Bytes(code)), Utf8(unit)) << std::hex << code;
        EXPECT_EQ(Cp932Char(code), unit) << std::hex << code;
    }
}

TEST_F(Cp932Tables, EveryByteOutsideTheLeadRangesIsListed) {
    for (unsigned b = 0; b <= 0xFF; ++b)
        EXPECT_EQ(decodeTable.count(b), IsCp932LeadByte(b) ? 0u : 1u) << std::hex << b;
}

TEST_F(Cp932Tables, UnlistedTwoByteCodesDecodeToMiddleDot) {
    for (unsigned lead = 0; lead <= 0xFF; ++lead) {
        if (!IsCp932LeadByte(lead))
            continue;
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            const unsigned code = lead << 8 | trail;
            if (decodeTable.count(code))
                continue;
            EXPECT_EQ(DecodeCp932(Bytes(code)), "\u30FB") << std::hex << code;
            EXPECT_EQ(Cp932Char(code), U'\u30FB') << std::hex << code;
        }
    }
}

TEST(EncodeCp932, CharactersBeyondTheBasicPlaneBecomeOneQuestionMark) {
    EXPECT_EQ(EncodeCp932("a\U0001F600b"), "a?b");
    EXPECT_EQ(EncodeCp932("\U00020B9F"), "?"); // a kanji outside the code page
    EXPECT_FALSE(Cp932Code(U'\U0001F600'));
}

TEST(EncodeCp932, AsciiRunsAndOtherCharactersMixAtEveryOffset) {
    // Byte by byte through the tables: what the run-skipping encoder must give.
    const auto slow = [](const std::string& text) {
        std::string out;
        for (std::size_t pos = 0; pos < text.size();) {
            const auto code = Cp932Code(NextCodePoint(text, pos));
            if (!code)
                out += '?';
            else if (*code > 0xFF)
                out += char(*code >> 8), out += char(*code & 0xFF);
            else
                out += char(*code);
        }
        return out;
    };
    const std::string mixed = "ab\xC2\xA9\xC2\xA5 ｶﾅ全角～\xE2\x88\x92\xFF\xC3 \xF0\x9F\x98\x80 "
                              "\xED\xA0\x80 z0123456789abcdef";
    for (std::size_t cut = 0; cut <= mixed.size(); ++cut)
        EXPECT_EQ(EncodeCp932(mixed.substr(cut)), slow(mixed.substr(cut))) << cut;
}

TEST(EncodeCp932, MixedText) {
    EXPECT_EQ(EncodeCp932("A\xEF\xBD\xB1漢字\n"), "A\xB1\x8A\xBF\x8E\x9A\n");
    EXPECT_EQ(EncodeCp932(""), "");
    EXPECT_EQ(EncodeCp932(std::string("\0x", 2)), std::string("\0x", 2));
}

TEST(DecodeCp932, LeadByteCutOffAtTheEnd) {
    EXPECT_EQ(DecodeCp932("A\x82"), "A\u30FB");
    EXPECT_EQ(DecodeCp932("\x82\xA0"
                          "B"),
              "\u3042B");
}

} // namespace
} // namespace sheetlift
