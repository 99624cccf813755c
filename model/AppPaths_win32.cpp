#include "model/AppPaths.h"

#include "model/FileIO.h"

namespace sheetlift {

// On Windows the program lives in a folder of its own that the user can write to, which keeps
// its files (see the README).
AppFiles ProgramAppFiles(const std::filesystem::path& stem) {
    return LocateAppFiles(ExecutablePath().parent_path(), stem, true, {});
}

} // namespace sheetlift
