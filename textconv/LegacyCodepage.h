// The system's legacy ("ANSI") code page, in which the DXF file is written: code page 932 on a
// Japanese Windows. Elsewhere code page 932 itself, so that every platform writes the same file.
#pragma once

#include <string>
#include <string_view>

namespace sheetlift {

// UTF-8 to the legacy code page; a character it cannot represent becomes "?" (or, where the
// system maps it so, a look-alike). `lost`, when given, tells whether that happened.
std::string EncodeLegacy(std::string utf8, bool* lost = nullptr);
// The legacy code page to UTF-8.
std::string DecodeLegacy(std::string_view bytes);

} // namespace sheetlift
