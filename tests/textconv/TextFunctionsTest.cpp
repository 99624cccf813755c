#include "textconv/TextFunctions.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

TEST(CharClass, NumericAndAlphaTexts) {
    struct Case {
        const char* text;
        bool numeric;
        bool alpha;
    };
    const Case cases[] = {
        {"", true, true},         {"12,345.6", true, false}, {"-1.5", true, false},
        {"1.2.3", true, false},   {",", true, true},         {"1a", false, false},
        {"12 ", false, false},    {"１２", false, false},    {"ABC-def.x", false, true},
        {"AB1", false, false},    {"ＡＢ", false, false},    {"é", false, false},
        {"2023年", false, false}, {"-", true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsNumericText(c.text), c.numeric) << c.text;
        EXPECT_EQ(IsAlphaText(c.text), c.alpha) << c.text;
    }
}

TEST(ToFullWidthUnlessNumeric, KeepsWhollyNumericOrAlphabeticTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"123", "123"},         {"12.50", "12.50"}, {"-5", "-5"},      {"Abc", "Abc"},
        {"1,234.5", "1,234.5"}, {"A1", "Ａ１"},     {"ｱｲｳ", "アイウ"}, {"2023年", "２０２３年"},
        {"A B", "Ａ　Ｂ"},      {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ToFullWidthUnlessNumeric(text), expected) << text;
}

using Routine = std::string (*)(std::string_view);

struct ConversionCase {
    Routine routine;
    const char* input;
    const char* expected;
};

// clang-format off
const ConversionCase kConversionCases[] = {
    {FullDigitsToHalf, "２０２３年", "2023年"},
    {FullDigitsToHalf, "０１２３４５６７８９", "0123456789"},
    {FullDigitsToHalf, "ＡＢ１ｶﾅabc", "ＡＢ1ｶﾅabc"},
    {FullAlphaToHalf, "ＡＢｃ", "ABc"},
    {FullAlphaToHalf, "ＡＺａｚ＠［｀｛", "AZaz＠［｀｛"},
    {FullAlphaToHalf, "Ｆ１２", "F１２"},
    {FullSymbolsToHalf, "（１）", "(１)"},
    {FullSymbolsToHalf, "，．：；？！｀＾＿／｜（）［］｛｝＋－＝＜＞￥＄％＃＆＊＠",
                        ",.:;?!`^_/l()[]{}+-=<>\\$%#&*@"},
    {FullSymbolsToHalf, "＼～’”＂＇、。", "＼～’”＂＇、。"},
    {FullSymbolsToHalf, "（Ａ｜Ｂ）", "(ＡlＢ)"},
    {HalfKanaToFull, "ｶﾞ", "ガ"},
    {HalfKanaToFull, "ﾊﾟ", "パ"},
    {HalfKanaToFull, "ｳﾞ", "ヴ"},
    {HalfKanaToFull, "ｽﾍﾟｰｽ", "スペース"},
    {HalfKanaToFull, "ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ",
                     "ガギグゲゴザジズゼゾダヂヅデドバビブベボ"},
    {HalfKanaToFull, "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "パピプペポ"},
    {HalfKanaToFull, "ｱﾞ", "ア゛"},
    {HalfKanaToFull, "ﾜﾞ", "ワ゛"},
    {HalfKanaToFull, "ｦﾞ", "ヲ゛"},
    {HalfKanaToFull, "ｶﾟ", "カ゜"},
    {HalfKanaToFull, "ﾞ", "゛"},
    {HalfKanaToFull, "ﾞｱ", "゛ア"},
    {HalfKanaToFull, "ﾞﾞﾟ", "゛゛゜"},
    {HalfKanaToFull, "ｱｶ", "アカ"},
    {HalfKanaToFull, "｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰﾝ", "。「」、・ヲァィゥェォャュョッーン"},
    {HalfKanaToFull, "漢字ＡＢabc123", "漢字ＡＢabc123"},
    {HalfKanaToFull, "\uF8F0", "\u3000"}, // the byte 0xA0
    // A trail byte is never read as a character of its own: あ is 82 A0, モ 83 82, ソ 83 5C.
    {HalfKanaToFull, "あいソ", "あいソ"},
    {FullDigitsToHalf, "モO", "モO"},
    {FullAlphaToHalf, "モ`", "モ`"},
    {FullSymbolsToHalf, "ソ", "ソ"},
    // Characters the code page lacks or holds only approximately (é as e, ¥ as \) survive.
    {FullDigitsToHalf, "１€２é¥😀−〜３", "1€2é¥😀−〜3"},
    {FullSymbolsToHalf, "（¢）", "(¢)"},
    {HalfKanaToFull, "ｶﾞ€ｷ😀ﾞ", "ガ€キ😀゛"},
    {HalfKanaToFull, "ｶ\xFFﾞ", "カ\xFF゛"},
};
// clang-format on

TEST(StrConvUnit, Conversions) {
    for (const ConversionCase& c : kConversionCases)
        EXPECT_EQ(c.routine(c.input), c.expected) << c.input;
}

TEST(StrConvUnit, EmptyAndPlainTextsComeBackUnchanged) {
    for (Routine routine : {FullDigitsToHalf, FullAlphaToHalf, FullSymbolsToHalf, HalfKanaToFull,
                            ToFullWidth, ToHalfWidth}) {
        EXPECT_EQ(routine(""), "");
        EXPECT_EQ(routine("漢字\nかな"), "漢字\nかな");
    }
}

} // namespace
} // namespace sheetlift
