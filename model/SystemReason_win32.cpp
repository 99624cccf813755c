#include "model/Error.h"

#include "model/WinText_win32.h"

#include <windows.h>

namespace sheetlift {

std::string SystemReason(long systemError, Language language) {
    return SystemMessage(systemError, language == Language::Japanese
                                          ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)
                                          : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

} // namespace sheetlift
