// The parsed form of one section of a number format, shared by the number and the date
// renderers (CellFormat.cpp and CellDate.cpp).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sheetlift::format {

enum class Kind { Literal, Digit, Point, Comma, Percent, Exponent, At, Date, Elapsed, AmPm };

struct Token {
    Kind kind;
    std::string text; // literal text; placeholder or exponent sign; AM/PM form
    char letter = 0;  // date and elapsed: y m d h s e g a
    int count = 0;    // date and elapsed: how many letters
};

struct Section {
    std::vector<Token> tokens;
    bool japanese = false; // [$-411]
    bool isDate = false;
};

// `value` (a date serial) through a date or time section; nothing when the section mixes in
// what a date cannot show, or the date lies outside what Excel shows.
std::optional<std::string> RenderDate(double value, const Section& section, bool date1904);

} // namespace sheetlift::format
