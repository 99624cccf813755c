#include "model/FileIO.h"

#include "model/Error.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace sheetlift {

namespace {

[[noreturn]] void Fail(ErrorCode code, const std::filesystem::path& path, int err) {
    throw Error(code, {DisplayPath(path)}, err);
}

} // namespace

std::string DisplayPath(const std::filesystem::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

std::filesystem::path ExecutablePath() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail(ErrorCode::FileOpen, path, errno);
    std::string data;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            Fail(ErrorCode::FileRead, path, err);
        }
        if (n == 0)
            break;
        data.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return data;
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temp = path;
    temp += ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        Fail(ErrorCode::FileWrite, path, errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            Fail(ErrorCode::FileWrite, path, err);
        }
        done += std::size_t(n);
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        Fail(ErrorCode::FileWrite, path, err);
    }
}

} // namespace sheetlift
