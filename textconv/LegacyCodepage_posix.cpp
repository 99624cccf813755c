#include "textconv/LegacyCodepage.h"

#include "textconv/Codepage.h"

namespace sheetlift {

std::string EncodeLegacy(std::string utf8, bool* lost) {
    return EncodeCp932(std::move(utf8), lost);
}

std::string DecodeLegacy(std::string_view bytes) {
    return DecodeCp932(bytes);
}

} // namespace sheetlift
