// Whole-file reads and the one safe replace of a file; errors name the file and the system's
// reason.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sheetlift {

// The file's bytes; throws Error naming the file when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// Replaces `target` with what is written, or leaves it as it was: the bytes go to a temporary
// file beside the target that nobody sees, reach the disk, and take the target's place in one
// rename on Commit(). A kill or a failure at any moment leaves the old file whole and no stray
// file (except in the moment of the rename; and on file systems without unnamed files, where a
// kill leaves the temporary "<target>.tmp<number>"). A target
// that is a symbolic link is followed, so the link stays and the file it names is replaced;
// the replaced file keeps its permission bits (and its owner when run as root; on Windows its
// hidden, system and archive attributes). A target that exists and is not a regular file (a
// directory, a device, a pipe, a socket) is refused in the constructor and left untouched. Throws
// Error.
class SafeFileWriter {
  public:
    explicit SafeFileWriter(const std::filesystem::path& target);
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    void Write(std::string_view bytes);
    void Commit();
    ~SafeFileWriter(); // discards what was written unless committed

  private:
    void WriteOut(std::string_view bytes);
    void Discard() noexcept;

    std::filesystem::path target_;   // as the caller named it, for messages
    std::filesystem::path resolved_; // the file that is replaced (links followed)
    std::filesystem::path temp_;     // named temporary file, when it has a name
    std::string buffer_;
#ifdef _WIN32
    void* handle_;
    unsigned long attributes_ = 0; // the replaced file's, given to the new one
#else
    int fd_ = -1;
    bool unnamed_ = false; // O_TMPFILE: linked into the folder only at the end
#endif
    bool done_ = false;
};

// The whole of `bytes` through SafeFileWriter.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

// The running program's own file.
std::filesystem::path ExecutablePath();

// "path" as UTF-8 for messages.
std::string DisplayPath(const std::filesystem::path& path);

} // namespace sheetlift
