#include "model/AppPaths.h"

#include "model/FileIO.h"

#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace sheetlift {

namespace fs = std::filesystem;

namespace {

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

// The base directory specification ignores relative values.
fs::path XdgFolder(const char* value, fs::path fallback) {
    if (value && fs::path(value).is_absolute())
        return value;
    return fallback;
}

} // namespace

UserFolders XdgUserFolders(const char* configHome, const char* dataHome, const fs::path& home) {
    return {XdgFolder(configHome, home / ".config"),
            XdgFolder(dataHome, home / ".local" / "share")};
}

bool IsWritableFolder(const fs::path& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

AppFiles ProgramAppFiles(const fs::path& stem) {
    const fs::path folder = ExecutablePath().parent_path();
    // The folder a package installs into is never the program's own, not even for root, who
    // may write there: nothing of a user's belongs in /usr/bin.
    const bool own = folder != fs::path(SHEETLIFT_INSTALL_BINDIR) && IsWritableFolder(folder);
    const AppFiles files = LocateAppFiles(
        folder, stem, own,
        XdgUserFolders(std::getenv("XDG_CONFIG_HOME"), std::getenv("XDG_DATA_HOME"), HomeFolder()));
    if (!own) {
        std::error_code ignored; // a folder that cannot be made shows when a file is written
        fs::create_directories(files.settings.parent_path(), ignored);
        fs::create_directories(files.drawing.parent_path(), ignored);
    }
    return files;
}

} // namespace sheetlift
