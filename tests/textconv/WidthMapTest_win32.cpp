// The shared width cases against LCMapStringW of the Japanese locale. They are the results of
// a Japanese Windows; where Wine's tables answer otherwise, Wine's answer is checked instead.
#include "textconv/TextFunctions.h"
#include "textconv/WidthCases.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace sheetlift {
namespace {

struct WineAnswer {
    const char* input;
    bool widening;
    const char* result;
};

// Measured with Wine 8.0: it narrows the opening quotes too, splits the voiced wi, we and
// iteration mark into a kana and ﾞ, and maps the half-width forms of the box-drawing arrows
// and shapes (U+FFE8..U+FFEE) both ways.
const WineAnswer kWineDiffers[] = {
    {"‘“", false, "'\""},
    {"ヵヶヮヰヱヸヹヽヾ", false, "ヵヶヮヰヱヰﾞヱﾞヽヽﾞ"},
    {"￨￩￪￫￬￭￮", true, "│←↑→↓■○"},
    {"│←↑→↓■○", false, "￨￩￪￫￬￭￮"},
};

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string Expected(const char* input, bool widening, const char* windows) {
    if (UnderWine())
        for (const WineAnswer& w : kWineDiffers)
            if (std::string_view(w.input) == input && w.widening == widening)
                return w.result;
    return windows;
}

TEST(WidthMap, SharedCasesUnderTheJapaneseLocale) {
    ASSERT_EQ(GetUserDefaultLCID(), 0x411u) << "run under a Japanese locale (scripts/wine-run)";
    for (const test::WidthCase& c : test::kWidthCases) {
        EXPECT_EQ(ToFullWidth(c.input), Expected(c.input, true, c.full)) << c.input;
        EXPECT_EQ(ToHalfWidth(c.input), Expected(c.input, false, c.half)) << c.input;
    }
}

} // namespace
} // namespace sheetlift
