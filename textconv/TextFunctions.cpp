#include "textconv/TextFunctions.h"

namespace sheetlift {

// Codes, amounts and plain Latin words are kept as they are typed; only the whole text counts.
std::string ToFullWidthUnlessNumeric(std::string_view text) {
    if (IsNumericText(text) || IsAlphaText(text))
        return std::string(text);
    return ToFullWidth(text);
}

} // namespace sheetlift
