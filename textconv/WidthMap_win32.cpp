// ToFullWidth / ToHalfWidth through the user locale's own width mapping (LCMapStringW).
#include "textconv/TextFunctions.h"

#include "model/WinText_win32.h"
#include "textconv/Utf8.h"

#include <windows.h>

namespace sheetlift {

namespace {

// One run of valid text through LCMapStringW: the length first, then the mapping.
std::wstring MapRun(const std::wstring& run, DWORD flag) {
    if (run.empty())
        return {};
    const LCID locale = GetUserDefaultLCID();
    const int n = LCMapStringW(locale, flag, run.data(), int(run.size()), nullptr, 0);
    std::wstring out(std::size_t(n > 0 ? n : 0), L'\0');
    const int written =
        n > 0 ? LCMapStringW(locale, flag, run.data(), int(run.size()), out.data(), n) : 0;
    // A failed mapping keeps the text rather than blanking the cell.
    if (written <= 0)
        return run;
    out.resize(std::size_t(written));
    if (flag == LCMAP_FULLWIDTH) {
        // A sound mark that did not join a kana comes out combining (U+3099/U+309A), which
        // code page 932 cannot hold: give the spacing marks ゛゜ that the DXF can.
        for (wchar_t& c : out)
            if (c == 0x3099 || c == 0x309A)
                c = wchar_t(c + 2);
    }
    return out;
}

std::string MapWidth(std::string_view text, DWORD flag) {
    // Bytes that are not UTF-8 pass through as they are, and so do combining sound marks when
    // widening (only the ones the mapping makes become spacing marks).
    std::string out;
    std::size_t runStart = 0;
    const auto flush = [&](std::size_t end) {
        out += Narrow(MapRun(Widen(text.substr(runStart, end - runStart)), flag));
    };
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(text, pos);
        const std::string_view bytes = text.substr(start, pos - start);
        const bool invalid = cp == U'\uFFFD' && bytes != "\uFFFD";
        const bool keep = invalid || (flag == LCMAP_FULLWIDTH && (cp == 0x3099 || cp == 0x309A));
        if (keep) {
            flush(start);
            out += bytes;
            runStart = pos;
        }
    }
    flush(text.size());
    return out;
}

} // namespace

std::string ToFullWidth(std::string_view text) {
    return MapWidth(text, LCMAP_FULLWIDTH);
}

std::string ToHalfWidth(std::string_view text) {
    return MapWidth(text, LCMAP_HALFWIDTH);
}

} // namespace sheetlift
