// UTF-8 <-> UTF-16 for the Win32 API, and the system's description of an error code.
#pragma once

#include <string>
#include <string_view>

namespace sheetlift {

std::wstring Widen(std::string_view utf8);   // invalid sequences become U+FFFD
std::string Narrow(std::wstring_view utf16); // unpaired surrogates become U+FFFD

// The system's text for a Win32 error or an HRESULT followed by its number in hex:
// "Access is denied (0x00000005)", "error (0x800401F3)" when the system has no text for it.
// The text is in `languageId` where the system has it, else in the user's language.
std::string SystemMessage(long code, unsigned short languageId = 0);

} // namespace sheetlift
