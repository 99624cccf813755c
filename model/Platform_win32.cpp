#include "model/Platform.h"

#include "model/Error.h"
#include "model/WinText_win32.h"

#include <windows.h>

namespace sheetlift {

std::filesystem::path ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0)
            throw Error("Cannot find the program's own file: " +
                        SystemMessage(long(GetLastError())));
        if (n < buffer.size()) { // otherwise cut off: try a larger buffer
            buffer.resize(n);
            return std::filesystem::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

NumberLocale UserNumberLocale() {
    wchar_t separator[8] = {};
    NumberLocale result;
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 2 &&
        separator[0] < 0x80)
        result.decimalSeparator = char(separator[0]);
    return result;
}

} // namespace sheetlift
