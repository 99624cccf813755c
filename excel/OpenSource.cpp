#include "excel/OpenSource.h"

#include "excel/Snapshot.h"
#include "model/FileIO.h"

#include <algorithm>

namespace sheetlift {

std::unique_ptr<SelectionSource> OpenSelectionFile(const std::filesystem::path& path,
                                                   const WorkbookOptions& options) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".json") {
        if (!options.sheet.empty() || !options.range.empty())
            throw Error("\"" + DisplayPath(path) +
                        "\" is a snapshot of one selection: a sheet or range cannot be chosen");
        return OpenSnapshotSource(path);
    }
    if (ext == ".xlsx" || ext == ".xlsm")
        return OpenWorkbookSource(path, options);
    throw Error(
        "\"" + DisplayPath(path) +
        "\": unknown kind of file (expected a .xlsx or .xlsm workbook or a .json snapshot)");
}

} // namespace sheetlift
