#include "textconv/TextFunctions.h"
#include "textconv/Utf8.h"
#include "textconv/WidthCases.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

std::string Utf8(char32_t cp) {
    std::string s;
    AppendUtf8(s, cp);
    return s;
}

TEST(WidthMap, RequiredCases) {
    for (const test::WidthCase& c : test::kWidthCases) {
        EXPECT_EQ(ToFullWidth(c.input), c.full) << c.input;
        EXPECT_EQ(ToHalfWidth(c.input), c.half) << c.input;
    }
}

TEST(WidthMap, HalfWidthFormsComeBackAfterWidening) {
    for (char32_t cp = 0x20; cp <= 0x7E; ++cp)
        EXPECT_EQ(ToHalfWidth(ToFullWidth(Utf8(cp))), Utf8(cp)) << Utf8(cp);
    for (char32_t cp = 0xFF61; cp <= 0xFF9F; ++cp)
        EXPECT_EQ(ToHalfWidth(ToFullWidth(Utf8(cp))), Utf8(cp)) << Utf8(cp);
}

// ToFullWidth and HalfKanaToFull come from separate tables; they must agree on half-width
// katakana except where HalfKanaToFull deliberately does not compose (ﾜﾞ, ｦﾞ).
TEST(WidthMap, AgreesWithHalfKanaToFull) {
    for (char32_t base = 0xFF61; base <= 0xFF9F; ++base) {
        const std::string alone = Utf8(base);
        EXPECT_EQ(ToFullWidth(alone), HalfKanaToFull(alone)) << alone;
        for (const char* mark : {"ﾞ", "ﾟ"}) {
            const std::string pair = alone + mark;
            if (pair == "ﾜﾞ" || pair == "ｦﾞ")
                EXPECT_NE(ToFullWidth(pair), HalfKanaToFull(pair)) << pair;
            else
                EXPECT_EQ(ToFullWidth(pair), HalfKanaToFull(pair)) << pair;
        }
    }
}

TEST(WidthMap, InvalidUtf8PassesThrough) {
    EXPECT_EQ(ToFullWidth("a\xFF"
                          "b"),
              "ａ\xFF"
              "ｂ");
    EXPECT_EQ(ToHalfWidth("Ａ\xE3\x82"
                          "Ｂ"),
              "A\xE3\x82"
              "B");
}

} // namespace
} // namespace sheetlift
