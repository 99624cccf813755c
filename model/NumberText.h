// Locale-free number texts: the general notation of the DXF file and the settings file, and
// the 15-digit rounding the workbook's display formats (excel/CellFormat.h) build on.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheetlift {

// How the user writes numbers; the core never reads a global locale.
struct NumberLocale {
    char decimalSeparator = '.';
};

// A positive finite value rounded to 15 significant digits, as 0.d1d2...dn x 10^exponent with
// d1 and dn not 0 (trailing zeros dropped). The rounding every number text of the program
// shares: the DXF file's, the settings file's and the workbook's display formats'.
struct Digits15 {
    char digits[17];
    int count;
    int exponent;
};
Digits15 SignificantDigits15(double magnitude);

// At most 15 significant digits, no trailing zeros; fixed notation from 1E-4 up to below 1E16,
// otherwise "2.5E-5" / "1.23456789012346E15" style. Zero is "0". Non-finite values, which no
// file can hold, are written as "0".
std::string FormatGeneral(double value, char decimalSeparator = '.');

// FormatGeneral where that reads back as `value`; otherwise the same notation with the fewest
// digits (up to 17) that do, so that a file keeps the value it was given.
std::string FormatGeneralExact(double value, char decimalSeparator = '.');

// Appends FormatGeneral(value) with a full stop, without allocating.
void AppendGeneral(std::string& out, double value);
// The most characters FormatGeneral writes ("-1.23456789012346E-308").
inline constexpr std::size_t kMaxGeneralLength = 24;
// Writes FormatGeneral(value) with a full stop at `out`, which has room for
// kMaxGeneralLength characters; returns the end.
char* WriteGeneral(char* out, double value);

// "%.3f" with the given separator.
std::string FormatFixed3(double value, char decimalSeparator = '.');

// A whole text (blanks around it allowed) as a number written with the given decimal
// separator: optional sign, digits, separator, digits, optional exponent. Nothing if it is not
// such a number.
std::optional<double> ParseNumber(std::string_view text, char decimalSeparator = '.');

// A whole text as a decimal integer (blanks around it allowed, optional sign, 32-bit range).
std::optional<int> ParseInteger(std::string_view text);

} // namespace sheetlift
