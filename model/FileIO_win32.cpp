#include "model/FileIO.h"

#include "model/Error.h"
#include "model/WinText_win32.h"

#include <algorithm>
#include <windows.h>

namespace sheetlift {

namespace {

[[noreturn]] void Fail(ErrorCode code, const std::filesystem::path& path, DWORD err) {
    throw Error(code, {DisplayPath(path)}, long(err));
}

// Closes the handle when it leaves scope.
struct FileHandle {
    HANDLE h;
    ~FileHandle() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};

constexpr DWORD kChunk = 1u << 30; // ReadFile/WriteFile take 32-bit counts

} // namespace

std::string DisplayPath(const std::filesystem::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

std::filesystem::path ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0)
            throw Error(ErrorCode::ExecutablePath, {}, long(GetLastError()));
        if (n < buffer.size()) { // otherwise cut off: try a larger buffer
            buffer.resize(n);
            return std::filesystem::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    FileHandle file{CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE)
        Fail(ErrorCode::FileOpen, path, GetLastError());
    std::string data;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.h, &size))
        data.reserve(std::size_t(size.QuadPart));
    char buffer[1 << 16];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.h, buffer, sizeof buffer, &n, nullptr))
            Fail(ErrorCode::FileRead, path, GetLastError());
        if (n == 0)
            break;
        data.append(buffer, n);
    }
    return data;
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temp = path;
    temp += L".tmp" + std::to_wstring(GetCurrentProcessId());
    {
        FileHandle file{CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)};
        if (file.h == INVALID_HANDLE_VALUE)
            Fail(ErrorCode::FileWrite, path, GetLastError());
        for (std::size_t done = 0; done < bytes.size();) {
            const DWORD want = DWORD(std::min<std::size_t>(bytes.size() - done, kChunk));
            DWORD n = 0;
            if (!WriteFile(file.h, bytes.data() + done, want, &n, nullptr)) {
                const DWORD err = GetLastError();
                CloseHandle(file.h);
                file.h = INVALID_HANDLE_VALUE;
                DeleteFileW(temp.c_str());
                Fail(ErrorCode::FileWrite, path, err);
            }
            done += n;
        }
        if (!CloseHandle(file.h)) {
            const DWORD err = GetLastError();
            file.h = INVALID_HANDLE_VALUE;
            DeleteFileW(temp.c_str());
            Fail(ErrorCode::FileWrite, path, err);
        }
        file.h = INVALID_HANDLE_VALUE;
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD err = GetLastError();
        DeleteFileW(temp.c_str());
        Fail(ErrorCode::FileWrite, path, err);
    }
}

} // namespace sheetlift
