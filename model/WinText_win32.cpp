#include "model/WinText_win32.h"

#include <cstdio>
#include <windows.h>

namespace sheetlift {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::string SystemMessage(long code, unsigned short languageId) {
    constexpr DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(flags, nullptr, DWORD(code), languageId,
                             reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (n == 0 && languageId != 0)
        n = FormatMessageW(flags, nullptr, DWORD(code), 0, reinterpret_cast<wchar_t*>(&text), 0,
                           nullptr);
    std::wstring message(text ? text : L"", n);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
    return (message.empty() ? std::string("error") : Narrow(message)) + " (" + hex + ")";
}

} // namespace sheetlift
