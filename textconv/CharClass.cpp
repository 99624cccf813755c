#include "textconv/TextFunctions.h"

#include <algorithm>

namespace sheetlift {

namespace {

bool IsNumericChar(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == ',' || c == '-';
}

bool IsAlphaChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' || c == ',' || c == '-';
}

} // namespace

// Only ASCII counts, so looking at UTF-8 bytes is enough: every byte of a non-ASCII character
// is outside both sets.
bool IsNumericText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsNumericChar);
}
bool IsAlphaText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsAlphaChar);
}

} // namespace sheetlift
