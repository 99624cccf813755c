#include "textconv/LegacyCodepage.h"

#include "textconv/Codepage.h"

namespace sheetlift {

std::string EncodeLegacy(std::string utf8) {
    return EncodeCp932(std::move(utf8));
}

} // namespace sheetlift
