#include "textconv/LegacyCodepage.h"

#include "model/WinText_win32.h"

#include <windows.h>

namespace sheetlift {

std::string EncodeLegacy(std::string utf8) {
    const std::wstring wide = Widen(utf8);
    if (wide.empty())
        return {};
    // Flags 0: best fit on and the code page's default character, as the system's own
    // programs convert.
    const int n =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace sheetlift
