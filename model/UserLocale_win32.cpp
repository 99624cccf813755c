#include "model/UserLocale.h"

#include <windows.h>

namespace sheetlift {

NumberLocale UserNumberLocale() {
    wchar_t separator[8] = {};
    NumberLocale result;
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 2 &&
        separator[0] < 0x80)
        result.decimalSeparator = char(separator[0]);
    return result;
}

} // namespace sheetlift
