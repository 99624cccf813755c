#include "excel/CellFormat.h"

#include "excel/FormatSection.h"
#include "model/NumberText.h"
#include "textconv/Utf8.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace sheetlift {

using format::Kind;
using format::Section;
using format::Token;

namespace {

// A non-negative number as decimal digits, rounded as Excel rounds: first to 15 significant
// digits, then half up at the last shown place (so 2.675 shows as 2.68).
struct Decimal {
    std::string integer;  // without leading zeros; "" for zero
    std::string fraction; // exactly the requested number of digits
};

// The 15 digits of a non-negative value; none for zero (or what no cell can show).
Digits15 DigitsOf(double value) {
    if (value > 0 && std::isfinite(value))
        return SignificantDigits15(value);
    Digits15 none{};
    none.count = 0;
    none.exponent = 1;
    return none;
}

Decimal ToDecimal(const Digits15& d, int decimals) {
    std::string digits(d.digits, std::size_t(d.count));
    long intLength = d.exponent;
    if (intLength < 0) {
        digits.insert(0, std::size_t(-intLength), '0');
        intLength = 0;
    }
    if (std::size_t(intLength) > digits.size())
        digits.append(std::size_t(intLength) - digits.size(), '0');
    const std::size_t keep = std::size_t(intLength + decimals);
    if (digits.size() > keep) {
        const bool up = digits[keep] >= '5';
        digits.resize(keep);
        for (std::size_t i = keep; up; --i) {
            if (i == 0) {
                digits.insert(0, 1, '1');
                ++intLength;
                break;
            }
            if (digits[i - 1] == '9') {
                digits[i - 1] = '0';
            } else {
                ++digits[i - 1];
                break;
            }
        }
    }
    digits.append(keep > digits.size() ? keep - digits.size() : 0, '0');
    Decimal result{digits.substr(0, std::size_t(intLength)), digits.substr(std::size_t(intLength))};
    result.integer.erase(0, std::min(result.integer.find_first_not_of('0'), result.integer.size()));
    return result;
}

Decimal ToDecimal(double value, int decimals) {
    return ToDecimal(DigitsOf(value), decimals);
}

// How many integer digits the value has once rounded to a whole number (9.6 has two), at
// least one.
int IntegerDigits(const Digits15& d) {
    if (d.count == 0 || d.exponent <= 0)
        return 1;
    const int e = d.exponent;
    const bool carries = d.count > e && d.digits[e] >= '5' &&
                         std::all_of(d.digits, d.digits + e, [](char c) { return c == '9'; });
    return e + (carries ? 1 : 0);
}

void StripTrailingZeros(std::string& fraction) {
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
}

// "E+05", "E-123".
std::string TwoDigitExponent(int exponent) {
    std::string text = exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10)
        text += '0';
    return text + std::to_string(magnitude);
}

// The mantissa and exponent of `value` in scientific notation with `decimals` decimals,
// rounded as printf's "%.*e" rounds.
std::pair<std::string, int> Scientific(double value, int decimals) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value,
                                   std::chars_format::scientific, decimals)
                         .ptr;
    const char* e = std::find(buffer, end, 'e');
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
    return {std::string(buffer, std::size_t(e - buffer)), exponent};
}

int SignificantDigits(const std::string& text) {
    int count = 0;
    bool leading = true;
    for (char c : text) {
        if (c < '0' || c > '9' || (leading && c == '0'))
            continue;
        leading = false;
        ++count;
    }
    return count;
}

std::vector<std::string_view> SplitSections(std::string_view format) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\\' || c == '_' || c == '*')
            ++i;
        else if (c == '[')
            i = std::min(format.find(']', i), format.size());
        else if (c == ';') {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

std::size_t Utf8Length(std::string_view text, std::size_t at) {
    return std::min(Utf8SequenceLength(static_cast<unsigned char>(text[at])), text.size() - at);
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i])
            return false;
    return true;
}

// Nothing when the section uses what this formatter does not handle (conditions, fractions,
// other numeral systems).
std::optional<Section> ParseSection(std::string_view text) {
    Section section;
    auto& tokens = section.tokens;
    auto literal = [&](std::string_view piece) {
        if (!tokens.empty() && tokens.back().kind == Kind::Literal)
            tokens.back().text += piece;
        else
            tokens.push_back({Kind::Literal, std::string(piece)});
    };
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const char lower = char(std::tolower(static_cast<unsigned char>(c)));
        if (c == '"') {
            const std::size_t end = std::min(text.find('"', i + 1), text.size());
            literal(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '\\' && i + 1 < text.size()) {
            literal(text.substr(i + 1, Utf8Length(text, i + 1)));
            i += 1 + Utf8Length(text, i + 1);
        } else if (c == '_' && i + 1 < text.size()) {
            literal(" ");
            i += 1 + Utf8Length(text, i + 1);
        } else if (c == '*' && i + 1 < text.size()) {
            i += 1 + Utf8Length(text, i + 1); // fill: a cell of standard width shows none
        } else if (c == '[') {
            const std::size_t end = text.find(']', i);
            if (end == std::string_view::npos)
                return std::nullopt;
            const std::string_view inner = text.substr(i + 1, end - i - 1);
            i = end + 1;
            if (!inner.empty() && inner[0] == '$') {
                const std::size_t dash = inner.find('-');
                literal(inner.substr(1, std::min(dash, inner.size()) - 1));
                if (dash != std::string_view::npos && inner.size() - dash >= 4 &&
                    inner.substr(inner.size() - 3) == "411")
                    section.japanese = true;
            } else if (!inner.empty() &&
                       inner.find_first_not_of(inner[0]) == std::string_view::npos &&
                       std::string_view("hHmMsS").find(inner[0]) != std::string_view::npos) {
                tokens.push_back(
                    {Kind::Elapsed, {}, char(std::tolower(inner[0])), int(inner.size())});
                section.isDate = true;
            } else if (inner.empty() || inner[0] == '<' || inner[0] == '>' || inner[0] == '=' ||
                       StartsWithNoCase(inner, 0, "dbnum")) {
                return std::nullopt;
            } // anything else is a colour: no effect on the text
        } else if (c == '0' || c == '#' || c == '?') {
            tokens.push_back({Kind::Digit, std::string(1, c)});
            ++i;
        } else if (c == '.') {
            tokens.push_back({Kind::Point, "."});
            ++i;
        } else if (c == ',') {
            tokens.push_back({Kind::Comma, ","});
            ++i;
        } else if (c == '%') {
            tokens.push_back({Kind::Percent, "%"});
            ++i;
        } else if (c == '/' && !tokens.empty() && tokens.back().kind == Kind::Digit) {
            return std::nullopt; // fractions
        } else if (lower == 'e' && i + 1 < text.size() &&
                   (text[i + 1] == '+' || text[i + 1] == '-')) {
            tokens.push_back({Kind::Exponent, std::string(1, text[i + 1])});
            i += 2;
        } else if (c == '@') {
            tokens.push_back({Kind::At, "@"});
            ++i;
        } else if (StartsWithNoCase(text, i, "am/pm")) {
            tokens.push_back({Kind::AmPm, "AM/PM"});
            section.isDate = true;
            i += 5;
        } else if (StartsWithNoCase(text, i, "a/p")) {
            tokens.push_back({Kind::AmPm, "A/P"});
            section.isDate = true;
            i += 3;
        } else if (std::string_view("ymdhsega").find(lower) != std::string_view::npos) {
            std::size_t n = 1;
            while (i + n < text.size() &&
                   std::tolower(static_cast<unsigned char>(text[i + n])) == lower)
                ++n;
            if (lower == 'a' && n < 3) {
                literal(text.substr(i, n));
            } else {
                tokens.push_back({Kind::Date, {}, lower, int(n)});
                section.isDate = true;
            }
            i += n;
        } else {
            literal(text.substr(i, Utf8Length(text, i)));
            i += Utf8Length(text, i);
        }
    }
    return section;
}

// --- numbers ---

std::optional<std::string> RenderNumber(double value, const Section& section) {
    const auto& tokens = section.tokens;
    const std::size_t n = tokens.size();
    std::size_t point = n, exponent = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (tokens[i].kind == Kind::Point && point == n && exponent == n)
            point = i;
        if (tokens[i].kind == Kind::Exponent && exponent == n)
            exponent = i;
    }
    const std::size_t integerEnd = std::min(point, exponent);
    std::vector<std::size_t> integerDigits, fractionDigits, exponentDigits;
    bool grouping = false;
    int percents = 0, scaling = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Kind kind = tokens[i].kind;
        if (kind == Kind::Percent)
            ++percents;
        if (kind == Kind::Digit)
            (i < integerEnd ? integerDigits
             : i < exponent ? fractionDigits
                            : exponentDigits)
                .push_back(i);
    }
    // A comma between integer placeholders groups thousands; commas right after the last one
    // divide by 1000 each.
    std::vector<bool> silentComma(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        if (tokens[i].kind != Kind::Comma || integerDigits.empty() || i < integerDigits.front())
            continue;
        if (i < integerDigits.back()) {
            grouping = true;
            silentComma[i] = true;
        } else if (i < integerEnd || i == integerDigits.back() + 1 ||
                   (i > 0 && silentComma[i - 1] && tokens[i - 1].kind == Kind::Comma)) {
            ++scaling;
            silentComma[i] = true;
        }
    }
    double scaled = value * std::pow(100.0, percents) / std::pow(1000.0, scaling);
    if (!std::isfinite(scaled)) // a percentage past the largest double: shown as General
        return std::nullopt;
    int exponentValue = 0;
    if (exponent != n) {
        const int integerCount = std::max<int>(1, int(integerDigits.size()));
        const bool engineering =
            integerDigits.size() > 1 && tokens[integerDigits.front()].text == "#";
        auto place = [&](double magnitude) {
            if (magnitude == 0)
                return 0;
            const int e = int(std::floor(std::log10(magnitude)));
            return engineering ? int(std::floor(double(e) / integerCount)) * integerCount
                               : e - (integerCount - 1);
        };
        exponentValue = place(scaled);
        const Decimal rounded =
            ToDecimal(scaled / std::pow(10.0, exponentValue), int(fractionDigits.size()));
        if (int(rounded.integer.size()) > integerCount) // 9.99 rounding up to 10.0
            exponentValue += engineering ? integerCount : 1;
        scaled /= std::pow(10.0, exponentValue);
    }
    const Decimal decimal = ToDecimal(scaled, int(fractionDigits.size()));

    std::vector<std::string> pieces(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Kind kind = tokens[i].kind;
        if (kind == Kind::Literal || kind == Kind::Point || kind == Kind::Percent ||
            (kind == Kind::Comma && !silentComma[i]))
            pieces[i] = tokens[i].text;
    }
    // Integer digits, right to left; the leftmost placeholder takes what is left over.
    std::size_t remaining = decimal.integer.size();
    int written = 0;
    auto prepend = [&](std::string& piece, char digit) {
        if (grouping && written > 0 && written % 3 == 0)
            piece.insert(0, 1, ',');
        piece.insert(0, 1, digit);
        ++written;
    };
    for (std::size_t k = integerDigits.size(); k-- > 0;) {
        std::string& piece = pieces[integerDigits[k]];
        const char placeholder = tokens[integerDigits[k]].text[0];
        if (remaining > 0)
            prepend(piece, decimal.integer[--remaining]);
        else if (placeholder == '0')
            prepend(piece, '0');
        else if (placeholder == '?')
            piece.assign(1, ' '); // assign(): GCC 12 -O3 warns falsely on `= " "`
        if (k == 0)
            while (remaining > 0)
                prepend(piece, decimal.integer[--remaining]);
    }
    if (integerDigits.empty() && point != n) // ".00" still shows the integer digits
        pieces[point].insert(0, decimal.integer);
    bool trailing = true;
    for (std::size_t k = fractionDigits.size(); k-- > 0;) {
        const char placeholder = tokens[fractionDigits[k]].text[0];
        const char digit = decimal.fraction[k];
        if (trailing && digit == '0' && placeholder != '0') {
            pieces[fractionDigits[k]].assign(placeholder == '?' ? 1 : 0, ' ');
            continue;
        }
        trailing = false;
        pieces[fractionDigits[k]] = std::string(1, digit);
    }
    if (exponent != n) {
        pieces[exponent].assign(1, 'E');
        if (exponentValue < 0 || tokens[exponent].text == "+")
            pieces[exponent] += exponentValue < 0 ? '-' : '+';
        std::string digits = std::to_string(std::abs(exponentValue));
        const auto zeros = std::count_if(exponentDigits.begin(), exponentDigits.end(),
                                         [&](std::size_t i) { return tokens[i].text == "0"; });
        if (std::ptrdiff_t(digits.size()) < zeros)
            digits.insert(0, std::size_t(zeros) - digits.size(), '0');
        if (!exponentDigits.empty())
            pieces[exponentDigits.front()] = digits;
    }
    std::string out;
    for (const auto& piece : pieces)
        out += piece;
    return out;
}

std::optional<std::string> RenderSection(double value, const Section& section, bool date1904) {
    for (const Token& token : section.tokens)
        if (token.kind == Kind::At)
            return std::nullopt; // a number in a text format shows as General
    return section.isDate ? format::RenderDate(value, section, date1904)
                          : RenderNumber(value, section);
}

} // namespace

std::string BuiltinNumberFormat(int id) {
    switch (id) {
    case 1:
        return "0";
    case 2:
        return "0.00";
    case 3:
        return "#,##0";
    case 4:
        return "#,##0.00";
    case 5:
        return "\"¥\"#,##0;\"¥\"\\-#,##0";
    case 6:
        return "\"¥\"#,##0;[Red]\"¥\"\\-#,##0";
    case 7:
        return "\"¥\"#,##0.00;\"¥\"\\-#,##0.00";
    case 8:
        return "\"¥\"#,##0.00;[Red]\"¥\"\\-#,##0.00";
    case 9:
        return "0%";
    case 10:
        return "0.00%";
    case 11:
        return "0.00E+00";
    case 12:
        return "# ?/?";
    case 13:
        return "# ?\?/??";
    case 14:
        return "yyyy/m/d";
    case 15:
        return "d-mmm-yy";
    case 16:
        return "d-mmm";
    case 17:
        return "mmm-yy";
    case 18:
        return "h:mm AM/PM";
    case 19:
        return "h:mm:ss AM/PM";
    case 20:
        return "h:mm";
    case 21:
        return "h:mm:ss";
    case 22:
        return "yyyy/m/d h:mm";
    case 27:
    case 36:
    case 50:
    case 57:
        return "[$-411]ge.m.d";
    case 28:
    case 29:
    case 51:
    case 54:
    case 58:
        return "[$-411]ggge\"年\"m\"月\"d\"日\"";
    case 30:
        return "m/d/yy";
    case 31:
        return "yyyy\"年\"m\"月\"d\"日\"";
    case 32:
        return "h\"時\"mm\"分\"";
    case 33:
        return "h\"時\"mm\"分\"ss\"秒\"";
    case 34:
    case 52:
    case 55:
        return "yyyy\"年\"m\"月\"";
    case 35:
    case 53:
    case 56:
        return "m\"月\"d\"日\"";
    case 37:
        return "#,##0 ;(#,##0)";
    case 38:
        return "#,##0 ;[Red](#,##0)";
    case 39:
        return "#,##0.00;(#,##0.00)";
    case 40:
        return "#,##0.00;[Red](#,##0.00)";
    case 45:
        return "mm:ss";
    case 46:
        return "[h]:mm:ss";
    case 47:
        return "mm:ss.0";
    case 48:
        return "##0.0E+0";
    case 49:
        return "@";
    default:
        return {};
    }
}

std::string FormatGeneralNumber(double value) {
    if (value == 0 || !std::isfinite(value))
        return "0";
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    const int width = 11; // a minus sign comes on top
    std::string fixed;
    if (magnitude < 1e11) {
        const Digits15 digits = SignificantDigits15(magnitude);
        Decimal d = ToDecimal(digits, std::max(0, width - IntegerDigits(digits) - 1));
        StripTrailingZeros(d.fraction);
        fixed = d.integer.empty() ? "0" : d.integer;
        if (!d.fraction.empty())
            fixed += "." + d.fraction;
        if (int(fixed.size()) > width)
            fixed.clear();
    }
    const std::string sign = negative ? "-" : "";
    if (!fixed.empty() && fixed != "0" && magnitude >= 1)
        return sign + fixed;
    // The exponent form: as many mantissa digits as fit beside "E+dd".
    const int exponent = Scientific(magnitude, 5).second;
    auto [mantissa, shown] = Scientific(magnitude, width - 2 - (std::abs(exponent) >= 100 ? 5 : 4));
    if (mantissa.find('.') != std::string::npos) {
        StripTrailingZeros(mantissa);
        if (mantissa.back() == '.')
            mantissa.pop_back();
    }
    const bool useFixed =
        !fixed.empty() && fixed != "0" && SignificantDigits(fixed) >= SignificantDigits(mantissa);
    return sign + (useFixed ? fixed : mantissa + TwoDigitExponent(shown));
}

struct DisplayFormat::Parsed {
    bool general = false;
    std::vector<std::optional<Section>> sections; // nothing: one this formatter does not handle
    // The section a text value shows through; nothing: the text as it stands.
    std::optional<Section> textSection;
};

DisplayFormat::DisplayFormat(std::string_view format) {
    auto parsed = std::make_shared<Parsed>();
    Parsed& p = *parsed;
    p.general = format.empty() || StartsWithNoCase(format, 0, "general");
    const auto texts = SplitSections(format);
    if (!p.general)
        for (const std::string_view text : texts)
            p.sections.push_back(ParseSection(text));
    if (texts.size() >= 4)
        p.textSection = ParseSection(texts[3]);
    else if (texts.size() == 1 && texts[0].find('@') != std::string_view::npos)
        p.textSection = ParseSection(texts[0]);
    parsed_ = std::move(parsed);
}

std::string DisplayFormat::Number(double value, bool date1904) const {
    const Parsed& p = *parsed_;
    if (p.general)
        return FormatGeneralNumber(value);
    std::size_t index = 0;
    if (value < 0 && p.sections.size() >= 2)
        index = 1;
    else if (value == 0 && p.sections.size() >= 3)
        index = 2;
    const auto& section = p.sections[index];
    if (!section)
        return FormatGeneralNumber(value);
    const bool ownSign = index == 1; // the negative section writes its own sign, if any
    const bool isDate = section->isDate;
    auto text = RenderSection(ownSign  ? -value
                              : isDate ? value
                                       : std::fabs(value),
                              *section, date1904);
    if (!text)
        return FormatGeneralNumber(value);
    if (value < 0 && !ownSign && !isDate)
        text->insert(0, 1, '-');
    return *text;
}

std::string DisplayFormat::Text(std::string_view text) const {
    const auto& section = parsed_->textSection;
    if (!section)
        return std::string(text);
    std::string out;
    for (const Token& token : section->tokens) {
        if (token.kind == Kind::At)
            out += text;
        else if (token.kind == Kind::Literal)
            out += token.text;
    }
    return out;
}

std::string FormatNumber(double value, std::string_view format, bool date1904) {
    return DisplayFormat(format).Number(value, date1904);
}

std::string FormatText(std::string_view text, std::string_view format) {
    return DisplayFormat(format).Text(text);
}

} // namespace sheetlift
