// The required results of ToFullWidth and ToHalfWidth for the Japanese locale, shared by every
// platform's implementation (UTF-8 texts).
#pragma once

namespace sheetlift::test {

struct WidthCase {
    const char* input;
    const char* full; // ToFullWidth(input)
    const char* half; // ToHalfWidth(input)
};

// clang-format off
inline constexpr WidthCase kWidthCases[] = {
    {"", "", ""},
    {"ABC xyz 019", "ＡＢＣ　ｘｙｚ　０１９", "ABC xyz 019"},
    {"!#$%&()*+,-./:;<=>?@[]^_`{|}~", "！＃＄％＆（）＊＋，－．／：；＜＝＞？＠［］＾＿｀｛｜｝～",
     "!#$%&()*+,-./:;<=>?@[]^_`{|}~"},
    {"ＡＢＣ　ｘｙｚ　０１９～", "ＡＢＣ　ｘｙｚ　０１９～", "ABC xyz 019~"},
    // The backslash (the yen sign of Japanese fonts) keeps its width both ways.
    {"\\", "\\", "\\"},
    {"＼", "＼", "＼"},
    {"'\"", "＇＂", "'\""},
    {"＇＂", "＇＂", "'\""},
    {"’”", "’”", "'\""},
    {"‘“", "‘“", "‘“"},
    // Control characters, line breaks included, stay.
    {"a\nb\tc\r", "ａ\nｂ\tｃ\r", "a\nb\tc\r"},
    // Half-width katakana, composing a base and ﾞ or ﾟ into one kana.
    {"ｱｲｳｴｵﾝｦ", "アイウエオンヲ", "ｱｲｳｴｵﾝｦ"},
    {"アイウエオンヲ", "アイウエオンヲ", "ｱｲｳｴｵﾝｦ"},
    {"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ", "ガギグゲゴザジズゼゾダヂヅデドバビブベボ",
     "ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ"},
    {"ガギグゲゴザジズゼゾダヂヅデドバビブベボ", "ガギグゲゴザジズゼゾダヂヅデドバビブベボ",
     "ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ"},
    {"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "パピプペポ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
    {"パピプペポ", "パピプペポ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
    {"ｳﾞﾜﾞｦﾞ", "ヴヷヺ", "ｳﾞﾜﾞｦﾞ"},
    {"ヴヷヺ", "ヴヷヺ", "ｳﾞﾜﾞｦﾞ"},
    {"ｽﾍﾟｰｽ", "スペース", "ｽﾍﾟｰｽ"},
    {"ｱﾞｶﾟﾏﾟ", "ア゛カ゜マ゜", "ｱﾞｶﾟﾏﾟ"},
    {"ｶ", "カ", "ｶ"},
    // A full-width base does not compose with a half-width mark.
    {"カﾞ", "カ゛", "ｶﾞ"},
    // A lone mark widens to the spacing mark, not to the combining one (the Windows mapping
    // gives U+3099 / U+309A here, which code page 932 cannot hold).
    {"ﾞ", "゛", "ﾞ"},
    {"ﾟｱ", "゜ア", "ﾟｱ"},
    {"゛゜", "゛゜", "ﾞﾟ"},
    {"\u3099\u309A", "\u3099\u309A", "ﾞﾟ"},
    {"ｧｨｩｪｫｬｭｮｯ", "ァィゥェォャュョッ", "ｧｨｩｪｫｬｭｮｯ"},
    {"ァィゥェォャュョッ", "ァィゥェォャュョッ", "ｧｨｩｪｫｬｭｮｯ"},
    // No half-width forms: small ka, ke and wa, wi, we and their voiced forms, iteration marks.
    {"ヵヶヮヰヱヸヹヽヾ", "ヵヶヮヰヱヸヹヽヾ", "ヵヶヮヰヱヸヹヽヾ"},
    {"｡｢｣､･ｰ", "。「」、・ー", "｡｢｣､･ｰ"},
    {"。「」、・ー", "。「」、・ー", "｡｢｣､･ｰ"},
    {"¥¢£¬¯¦₩", "￥￠￡￢￣￤￦", "¥¢£¬¯¦₩"},
    {"￥￠￡￢￣￤￦", "￥￠￡￢￣￤￦", "¥¢£¬¯¦₩"},
    // Unchanged both ways.
    {"ひらがなゔがぱ漢字", "ひらがなゔがぱ漢字", "ひらがなゔがぱ漢字"},
    {"①㈱−〜", "①㈱−〜", "①㈱−〜"},
    {"￨￩￪￫￬￭￮", "￨￩￪￫￬￭￮", "￨￩￪￫￬￭￮"},
    {"│←↑→↓■○", "│←↑→↓■○", "│←↑→↓■○"},
    {"é€😀", "é€😀", "é€😀"},
    {"ｶﾞ1-A", "ガ１－Ａ", "ｶﾞ1-A"},
};
// clang-format on

} // namespace sheetlift::test
