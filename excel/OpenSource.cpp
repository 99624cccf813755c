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
            throw Error(ErrorCode::SnapshotWithRange, {DisplayPath(path)});
        return OpenSnapshotSource(path);
    }
    if (ext == ".xlsx" || ext == ".xlsm")
        return OpenWorkbookSource(path, options);
    throw Error(ErrorCode::UnknownInputKind, {DisplayPath(path)});
}

} // namespace sheetlift
