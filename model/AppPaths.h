// Where the programs keep their settings file and their drawing.
#pragma once

#include <filesystem>

namespace sheetlift {

struct AppFiles {
    std::filesystem::path settings; // the settings file (.ini)
    std::filesystem::path drawing;  // the drawing every export replaces (.dxf)
};

// The user's own folders, used when the program's folder is not writable.
struct UserFolders {
    std::filesystem::path config; // settings go to config/sheetlift/sheetlift.ini
    std::filesystem::path data;   // the drawing goes to data/sheetlift/sheetlift.dxf
};

// The rule: `stem`.ini and `stem`.dxf beside the program when its folder is writable (a
// program in a folder of its own, as on Windows), otherwise in the user's folders.
AppFiles LocateAppFiles(const std::filesystem::path& programFolder,
                        const std::filesystem::path& stem, bool programFolderWritable,
                        const UserFolders& user);

// The files of the running program, named `stem` beside it. The user's folders are created
// when they are chosen, so that a first save finds them; when that fails, the save says why.
AppFiles ProgramAppFiles(const std::filesystem::path& stem);

#ifndef _WIN32
// The XDG base directories: $XDG_CONFIG_HOME and $XDG_DATA_HOME when they are absolute
// paths, else ~/.config and ~/.local/share under `home`. Null means unset.
UserFolders XdgUserFolders(const char* configHome, const char* dataHome,
                           const std::filesystem::path& home);

// Whether this process may create files in `folder`.
bool IsWritableFolder(const std::filesystem::path& folder);
#endif

} // namespace sheetlift
