#include "model/UserLocale.h"

#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace sheetlift {

NumberLocale UserNumberLocale() {
    // The environment's locale, read without changing the process-wide one.
    const locale_t user = newlocale(LC_NUMERIC_MASK, "", locale_t(0));
    if (user == locale_t(0))
        return {};
    const char* radix = nl_langinfo_l(RADIXCHAR, user);
    NumberLocale result;
    if (radix && std::strlen(radix) == 1)
        result.decimalSeparator = radix[0];
    freelocale(user);
    return result;
}

} // namespace sheetlift
