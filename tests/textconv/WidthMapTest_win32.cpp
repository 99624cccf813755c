// ToFullWidth / ToHalfWidth through LCMapStringW of the Japanese locale. The cases are the
// results of a Japanese Windows; the ones Wine answers otherwise are marked.
#include "textconv/TextFunctions.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace sheetlift {
namespace {

struct WidthCase {
    const char* half;
    const char* full;
    const char* wineFull = nullptr; // what Wine answers where it differs from Windows
};

const WidthCase kCases[] = {
    {"", ""},
    {"AZaz09", "ＡＺａｚ０９"},
    {"!#$%&()*+,-./:;<=>?@[]^_`{|}~", "！＃＄％＆（）＊＋，－．／：；＜＝＞？＠［］＾＿｀｛｜｝～"},
    {"a b", "ａ\u3000ｂ"},
    {"'\"", "＇＂"},
    {"\\", "\\"}, // the backslash stays in both directions
    {"ｱｲｳ ｶﾞﾊﾟｳﾞﾜﾞ", "アイウ\u3000ガパヴヷ"},
    {"｡｢｣､･ｰ", "。「」、・ー"},
    {"¥¢£¬¯¦", "￥￠￡￢￣￤"},
    {"ひらがな漢字①㈱−〜", "ひらがな漢字①㈱−〜"},
    // Wine widens the lone sound marks to the combining U+3099/U+309A (and turns the spacing
    // ones into those too); Windows gives the spacing ゛゜.
    {"ﾞﾟ", "゛゜", "\u3099\u309A"},
};

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(WidthMap, JapaneseLocaleMapsBothWays) {
    ASSERT_EQ(GetUserDefaultLCID(), 0x411u) << "run under a Japanese locale (scripts/wine-run)";
    const bool wine = UnderWine();
    for (const auto& c : kCases) {
        const char* full = wine && c.wineFull ? c.wineFull : c.full;
        EXPECT_EQ(ToFullWidth(c.half), full) << c.half;
        EXPECT_EQ(ToHalfWidth(c.full), c.half) << c.full;
        EXPECT_EQ(ToFullWidth(c.full), full) << c.full;
        EXPECT_EQ(ToHalfWidth(c.half), c.half) << c.half;
    }
}

TEST(WidthMap, NarrowingUnfoldsQuotesAndVoicedKana) {
    EXPECT_EQ(ToHalfWidth("\u2019\u201D"), "'\"");
    EXPECT_EQ(ToHalfWidth("ガパ"), "ｶﾞﾊﾟ");
}

} // namespace
} // namespace sheetlift
