#include "textconv/LegacyCodepage.h"

#include "textconv/Codepage.h"

namespace sheetlift {

std::string EncodeLegacy(std::string_view utf8) {
    return EncodeCp932(utf8);
}

} // namespace sheetlift
