// Character-class tests and half-width / full-width conversions of cell texts (UTF-8).
#pragma once

#include <string>
#include <string_view>

namespace sheetlift {

bool IsNumericText(std::string_view text); // only 0-9 . , -
bool IsAlphaText(std::string_view text);   // only A-Z a-z . , -

std::string ToFullWidth(std::string_view text); // the Japanese locale's full-width mapping
std::string ToHalfWidth(std::string_view text); // and its half-width mapping
// ToFullWidth, except texts that are wholly numeric or wholly alphabetic stay as they are.
std::string ToFullWidthUnlessNumeric(std::string_view text);

std::string FullDigitsToHalf(std::string_view text);
std::string FullAlphaToHalf(std::string_view text);
std::string FullSymbolsToHalf(std::string_view text);
std::string HalfKanaToFull(std::string_view text);

} // namespace sheetlift
