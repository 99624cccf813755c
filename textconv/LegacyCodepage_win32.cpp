#include "textconv/LegacyCodepage.h"

#include "model/WinText_win32.h"

#include <windows.h>

namespace sheetlift {

namespace {

std::wstring WideFromLegacy(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring wide(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), wide.data(), n);
    return wide;
}

} // namespace

std::string EncodeLegacy(std::string utf8, bool* lost) {
    const std::wstring wide = Widen(utf8);
    if (wide.empty())
        return {};
    // Flags 0: best fit on and the code page's default character, as the system's own
    // programs convert.
    const int n =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    // Best fit changes characters without using the default one: only the way back shows it.
    if (lost && WideFromLegacy(out) != wide)
        *lost = true;
    return out;
}

std::string DecodeLegacy(std::string_view bytes) {
    return Narrow(WideFromLegacy(bytes));
}

} // namespace sheetlift
