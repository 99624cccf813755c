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

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

// Asks the system to delete the file when its last handle closes, or not; a kill then takes the
// unfinished temporary file with it.
bool DeleteOnClose(HANDLE h, bool on) {
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = on;
    return SetFileInformationByHandle(h, FileDispositionInfo, &info, sizeof info) != 0;
}

// The file a path names, links and junctions followed; `path` itself when it names none.
std::filesystem::path FinalPath(const std::filesystem::path& path, HANDLE h) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetFinalPathNameByHandleW(h, buffer.data(), DWORD(buffer.size()), VOLUME_NAME_DOS);
        if (n == 0)
            return path;
        if (n < buffer.size()) {
            buffer.resize(n);
            return std::filesystem::path(buffer);
        }
        buffer.resize(n);
    }
}

} // namespace

SafeFileWriter::SafeFileWriter(const std::filesystem::path& target)
    : target_(target), resolved_(target), handle_(INVALID_HANDLE_VALUE) {
    // Opened for its attributes only, so a file that another program holds is no obstacle here.
    FileHandle existing{CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (existing.h != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (GetFileType(existing.h) != FILE_TYPE_DISK ||
            !GetFileInformationByHandle(existing.h, &info) ||
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            throw Error(ErrorCode::NotRegularFile, {DisplayPath(target_)});
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            resolved_ = FinalPath(target, existing.h);
        attributes_ =
            info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    } else if (const DWORD err = GetLastError(); err != ERROR_FILE_NOT_FOUND) {
        Fail(ErrorCode::FileWrite, target_, err);
    }
    for (int attempt = 0; handle_ == INVALID_HANDLE_VALUE; ++attempt) {
        temp_ = resolved_;
        temp_ += L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(GetTickCount64() + DWORD(attempt) * 7919u);
        handle_ = CreateFileW(temp_.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) {
            const DWORD err = GetLastError();
            if (err != ERROR_FILE_EXISTS || attempt == 100) {
                temp_.clear();
                Fail(ErrorCode::FileWrite, target_, err);
            }
        }
    }
    DeleteOnClose(handle_, true);
    buffer_.reserve(kBufferSize);
}

SafeFileWriter::~SafeFileWriter() {
    if (!done_)
        Discard();
}

void SafeFileWriter::Discard() noexcept {
    done_ = true;
    if (handle_ != INVALID_HANDLE_VALUE) {
        DeleteOnClose(handle_, true);
        CloseHandle(handle_);
    }
    handle_ = INVALID_HANDLE_VALUE;
    if (!temp_.empty())
        DeleteFileW(temp_.c_str()); // in case the system could not delete it on closing
    temp_.clear();
}

void SafeFileWriter::WriteOut(std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD want = DWORD(std::min<std::size_t>(bytes.size() - done, kChunk));
        DWORD n = 0;
        if (!WriteFile(handle_, bytes.data() + done, want, &n, nullptr)) {
            const DWORD err = GetLastError();
            Discard();
            Fail(ErrorCode::FileWrite, target_, err);
        }
        done += n;
    }
}

void SafeFileWriter::Write(std::string_view bytes) {
    if (done_)
        Fail(ErrorCode::FileWrite, target_, ERROR_INVALID_HANDLE);
    if (buffer_.size() + bytes.size() > kBufferSize) {
        WriteOut(buffer_);
        buffer_.clear();
    }
    if (bytes.size() >= kBufferSize)
        WriteOut(bytes); // one large piece: straight through
    else
        buffer_ += bytes;
}

void SafeFileWriter::Commit() {
    if (done_)
        Fail(ErrorCode::FileWrite, target_, ERROR_INVALID_HANDLE);
    WriteOut(buffer_);
    buffer_.clear();
    auto fail = [&](DWORD err) {
        Discard();
        Fail(ErrorCode::FileWrite, target_, err);
    };
    // The data reaches the disk before the name points at it.
    if (!FlushFileBuffers(handle_) || !DeleteOnClose(handle_, false))
        fail(GetLastError());
    const BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    if (!closed)
        fail(GetLastError());
    // MoveFileExW rather than ReplaceFileW, which (under Wine) leaves a file of its own behind
    // when it fails and drops the attributes.
    if ((attributes_ && !SetFileAttributesW(temp_.c_str(), DWORD(attributes_))) ||
        !MoveFileExW(temp_.c_str(), resolved_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(GetLastError());
    temp_.clear();
    done_ = true;
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
    SafeFileWriter writer(path);
    writer.Write(bytes);
    writer.Commit();
}

} // namespace sheetlift
