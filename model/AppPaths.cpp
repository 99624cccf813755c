#include "model/AppPaths.h"

namespace sheetlift {

AppFiles LocateAppFiles(const std::filesystem::path& programFolder,
                        const std::filesystem::path& stem, bool programFolderWritable,
                        const UserFolders& user) {
    if (programFolderWritable) {
        AppFiles files{programFolder / stem, programFolder / stem};
        files.settings += ".ini";
        files.drawing += ".dxf";
        return files;
    }
    return {user.config / "sheetlift" / "sheetlift.ini", user.data / "sheetlift" / "sheetlift.dxf"};
}

} // namespace sheetlift
