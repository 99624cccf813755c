#include "model/FileIO.h"

#include "model/Error.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetlift {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(ErrorCode code, const fs::path& path, int err) {
    throw Error(code, {DisplayPath(path)}, err);
}

// Symbolic links followed, the last one possibly dangling (its file is then created).
fs::path FollowLinks(const fs::path& target) {
    fs::path path = target;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        if (hops == 40) // as the kernel counts a loop
            Fail(ErrorCode::FileWrite, target, ELOOP);
        std::error_code ec;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec)
            Fail(ErrorCode::FileWrite, target, ec.value());
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
}

constexpr std::size_t kBufferSize = 1 << 16;

} // namespace

std::string DisplayPath(const fs::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

fs::path ExecutablePath() {
    return fs::read_symlink("/proc/self/exe");
}

std::string ReadWholeFile(const fs::path& path) {
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

SafeFileWriter::SafeFileWriter(const fs::path& target)
    : target_(target), resolved_(FollowLinks(target)) {
    struct stat st {};
    const bool exists = ::stat(resolved_.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        Fail(ErrorCode::FileWrite, target_, errno);
    if (exists && !S_ISREG(st.st_mode))
        throw Error(ErrorCode::NotRegularFile, {DisplayPath(target_)});
    fs::path dir = resolved_.parent_path();
    if (dir.empty())
        dir = ".";
    // Unnamed where the file system allows: nothing to clean up after a kill.
    fd_ = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    unnamed_ = fd_ >= 0;
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        std::random_device random;
        for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
            temp_ = resolved_;
            temp_ += ".tmp" + std::to_string(random() % 1000000000u);
            fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno != EEXIST)
                break;
        }
    }
    if (fd_ < 0) {
        temp_.clear();
        Fail(ErrorCode::FileWrite, target_, errno);
    }
    if (exists) {
        // Root replaces files of other users: give the file back to its owner.
        if ((::geteuid() == 0 && ::fchown(fd_, st.st_uid, st.st_gid) != 0) ||
            ::fchmod(fd_, st.st_mode & 07777) != 0) {
            const int err = errno;
            Discard();
            Fail(ErrorCode::FileWrite, target_, err);
        }
    }
    buffer_.reserve(kBufferSize);
}

SafeFileWriter::~SafeFileWriter() {
    if (!done_)
        Discard();
}

void SafeFileWriter::Discard() noexcept {
    done_ = true;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

void SafeFileWriter::WriteOut(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            Discard();
            Fail(ErrorCode::FileWrite, target_, err);
        }
        done += std::size_t(n);
    }
}

void SafeFileWriter::Write(std::string_view bytes) {
    if (done_)
        Fail(ErrorCode::FileWrite, target_, EBADF);
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
        Fail(ErrorCode::FileWrite, target_, EBADF);
    WriteOut(buffer_);
    buffer_.clear();
    auto fail = [&](int err) {
        Discard();
        Fail(ErrorCode::FileWrite, target_, err);
    };
    // The data reaches the disk before the name points at it.
    if (::fsync(fd_) != 0)
        fail(errno);
    if (unnamed_) {
        // linkat cannot replace a file: link under a fresh name, then rename that over.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        std::random_device random;
        for (int attempt = 0; temp_.empty(); ++attempt) {
            fs::path name = resolved_;
            name += ".tmp" + std::to_string(random() % 1000000000u);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                temp_ = name;
            else if (errno != EEXIST || attempt == 100)
                fail(errno);
        }
    }
    if (::rename(temp_.c_str(), resolved_.c_str()) != 0)
        fail(errno);
    temp_.clear();
    const int err = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    done_ = true;
    if (err)
        Fail(ErrorCode::FileWrite, target_, err);
    // And the rename reaches the disk too.
    fs::path dir = resolved_.parent_path();
    const int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        const int synced = ::fsync(dirFd);
        const int syncErr = errno;
        ::close(dirFd);
        if (synced != 0 && syncErr != EINVAL) // some file systems cannot sync a folder
            Fail(ErrorCode::FileWrite, target_, syncErr);
    }
}

void WriteFileAtomic(const fs::path& path, std::string_view bytes) {
    SafeFileWriter writer(path);
    writer.Write(bytes);
    writer.Commit();
}

} // namespace sheetlift
