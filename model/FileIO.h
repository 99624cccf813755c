// Whole-file reads and atomic whole-file writes; errors name the file and the system's reason.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sheetlift {

// The file's bytes; throws Error naming the file when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so a failure
// never leaves a truncated file and keeps any previous one.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

// The running program's own file.
std::filesystem::path ExecutablePath();

// "path" as UTF-8 for messages.
std::string DisplayPath(const std::filesystem::path& path);

} // namespace sheetlift
