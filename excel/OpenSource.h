// Opens a saved selection by its kind: a workbook (.xlsx, .xlsm) or a snapshot (.json).
#pragma once

#include "excel/WorkbookSource.h"

namespace sheetlift {

// Throws Error naming the file when its kind is unknown or it cannot be read. A sheet or range
// given for a snapshot is an error too: a snapshot holds one selection.
std::unique_ptr<SelectionSource> OpenSelectionFile(const std::filesystem::path& path,
                                                   const WorkbookOptions& options = {});

} // namespace sheetlift
