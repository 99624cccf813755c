// The system's code page conversions under a Japanese Windows, line by line against
// Microsoft's code page 932 tables, and against the platform-free cp932 module.
#include "model/FileIO.h"
#include "textconv/Codepage.h"
#include "textconv/LegacyCodepage.h"
#include "textconv/Utf8.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <windows.h>

namespace sheetlift {
namespace {

// "hex<TAB>hex" lines of a table, comments skipped.
std::map<unsigned, unsigned> ReadTable(const char* name) {
    std::istringstream in(ReadWholeFile(std::string(SHEETLIFT_TEST_DATA) + "/" + name));
    std::map<unsigned, unsigned> table;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto tab = line.find('\t');
        table[std::stoul(line.substr(0, tab), nullptr, 16)] =
            unsigned(std::stoul(line.substr(tab + 1), nullptr, 16));
    }
    return table;
}

std::string Bytes(unsigned code) {
    return code > 0xFF ? std::string{char(code >> 8), char(code & 0xFF)}
                       : std::string(1, char(code));
}

class LegacyCodepage : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Wine falls back to code page 1252 without the ja_JP locale; nothing below would mean
        // anything then.
        ASSERT_EQ(GetACP(), 932u) << "run under a Japanese locale (scripts/wine-run)";
    }
};

TEST_F(LegacyCodepage, EncodesEveryUnitAsMicrosoftsTable) {
    const auto table = ReadTable("cp932-encode.tsv");
    int wrong = 0;
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF)
            continue; // no UTF-8 form
        std::string utf8;
        AppendUtf8(utf8, unit);
        const auto found = table.find(unit);
        const std::string expected = found == table.end() ? "?" : Bytes(found->second);
        const std::string actual = EncodeLegacy(utf8);
        if (actual != expected && ++wrong <= 10)
            ADD_FAILURE() << std::hex << "U+" << unsigned(unit);
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(LegacyCodepage, SystemDecodesEveryCodeAsMicrosoftsTable) {
    const auto table = ReadTable("cp932-decode.tsv");
    int wrong = 0;
    for (unsigned code = 0; code <= 0xFCFC; ++code) {
        const unsigned lead = code > 0xFF ? code >> 8 : code, trail = code & 0xFF;
        if ((code > 0xFF) != IsCp932LeadByte(static_cast<unsigned char>(lead)))
            continue; // a lone lead byte, or a pair without one
        if (code > 0xFF && (trail < 0x40 || trail == 0x7F || trail > 0xFC))
            continue; // not a trail byte: the pair is not one character

        const std::string bytes = Bytes(code);
        wchar_t out[4] = {};
        const int n = MultiByteToWideChar(932, 0, bytes.data(), int(bytes.size()), out, 4);
        const auto found = table.find(code);
        const unsigned expected = found == table.end() ? 0x30FB : found->second;
        if ((n != 1 || unsigned(out[0]) != expected) && ++wrong <= 10)
            ADD_FAILURE() << std::hex << code << " gives " << unsigned(out[0]) << ", not "
                          << expected;
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(LegacyCodepage, DxfBytesAreTheSameOnEveryPlatform) {
    for (const char* text : {"", "ABC 123", "品番 ｶﾀｶﾅ ～＼￥－", "é¥¬ €", "\x7F\x1A\x1C"})
        EXPECT_EQ(EncodeLegacy(text), EncodeCp932(text)) << text;
}

TEST_F(LegacyCodepage, CharacterBeyondUtf16sFirstPlaneBecomesOneMarkPerUnit) {
    // The system replaces each half of the surrogate pair; the platform-free module writes one
    // "?" per character.
    EXPECT_EQ(EncodeLegacy("a😀b"), "a??b");
}

} // namespace
} // namespace sheetlift
