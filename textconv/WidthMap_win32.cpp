// ToFullWidth / ToHalfWidth through the user locale's own width mapping.
#include "textconv/TextFunctions.h"

#include "model/WinText_win32.h"

#include <windows.h>

namespace sheetlift {

namespace {

std::string MapWidth(std::string_view text, DWORD flag) {
    const std::wstring wide = Widen(text);
    if (wide.empty())
        return {};
    const LCID locale = GetUserDefaultLCID();
    // The mapped text may be longer or shorter (ｶﾞ <-> ガ): learn its length first.
    const int n = LCMapStringW(locale, flag, wide.data(), int(wide.size()), nullptr, 0);
    std::wstring out(std::size_t(n > 0 ? n : 0), L'\0');
    const int written =
        n > 0 ? LCMapStringW(locale, flag, wide.data(), int(wide.size()), out.data(), n) : 0;
    // A failed mapping keeps the text rather than blanking the cell.
    if (written <= 0)
        return std::string(text);
    out.resize(std::size_t(written));
    return Narrow(out);
}

} // namespace

std::string ToFullWidth(std::string_view text) {
    return MapWidth(text, LCMAP_FULLWIDTH);
}

std::string ToHalfWidth(std::string_view text) {
    return MapWidth(text, LCMAP_HALFWIDTH);
}

} // namespace sheetlift
