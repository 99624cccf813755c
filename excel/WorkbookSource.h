// A saved workbook (.xlsx / .xlsm) answering the import's questions as Excel would.
#pragma once

#include "excel/Source.h"

#include <filesystem>
#include <memory>
#include <string>

namespace sheetlift {

struct WorkbookOptions {
    std::string sheet; // empty: the workbook's active sheet
    std::string range; // "A1:D9" or "Sheet1!A1:D9"; empty: the sheet's saved selection
};

// Opens and checks the file; throws Error naming the file and the reason when it cannot be read.
std::unique_ptr<SelectionSource> OpenWorkbookSource(const std::filesystem::path& path,
                                                    const WorkbookOptions& options = {});

} // namespace sheetlift
