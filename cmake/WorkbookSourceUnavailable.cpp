// Stands in for the workbook reader in a Windows build without libzip and pugixml.
#include "excel/WorkbookSource.h"

#include "model/FileIO.h"

namespace sheetlift {

std::unique_ptr<SelectionSource> OpenWorkbookSource(const std::filesystem::path& path,
                                                    const WorkbookOptions&) {
    throw Error("Cannot read \"" + DisplayPath(path) +
                "\": this build has no workbook reader; read the selection from the running "
                "Excel instead");
}

} // namespace sheetlift
