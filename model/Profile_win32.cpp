#include "model/Profile.h"

#include "model/Error.h"
#include "model/FileIO.h"
#include "model/WinText_win32.h"

#include <windows.h>

namespace sheetlift {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return CompareStringOrdinal(Widen(a).c_str(), -1, Widen(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

// The profile functions look for a name without a folder in the Windows folder: give them the
// whole path.
ProfileFile::ProfileFile(std::filesystem::path file) : file_(std::filesystem::absolute(file)) {
    std::error_code ec;
    if (std::filesystem::status(file_, ec).type() != std::filesystem::file_type::not_found)
        ReadWholeFile(file_); // the profile functions would take an unreadable file for empty
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
    for (auto it = pending_.rbegin(); it != pending_.rend(); ++it)
        if (SameName(std::get<0>(*it), section) && SameName(std::get<1>(*it), key))
            return std::get<2>(*it);
    // A default that no file holds tells a missing key from an empty one.
    static const wchar_t kMissing[] = L"\x1\xFFFF\x1";
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD n =
            GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), kMissing,
                                     buffer.data(), DWORD(buffer.size()), file_.c_str());
        if (n + 2 < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    if (buffer == kMissing)
        return std::nullopt;
    return Narrow(buffer);
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (Get(section, key) == value)
        return;
    pending_.emplace_back(section, key, value);
}

void ProfileFile::Save() {
    for (const auto& [section, key, value] : pending_)
        if (!WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(),
                                        Widen(value).c_str(), file_.c_str()))
            throw Error(ErrorCode::FileWrite, {DisplayPath(file_)}, long(GetLastError()));
    if (!pending_.empty())
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, file_.c_str()); // flush the cache
    pending_.clear();
}

} // namespace sheetlift
