// A saved workbook (.xlsx / .xlsm) answering the import's questions as Excel would.
#pragma once

#include "excel/Source.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace sheetlift {

struct WorkbookOptions {
    std::string sheet; // empty: the workbook's active sheet
    std::string range; // "A1:D9" or "Sheet1!A1:D9"; empty: the sheet's saved selection
};

// Opens and checks the file; throws Error naming the file and the reason when it cannot be read.
// The whole selection is parsed here; Cell() then answers from memory.
std::unique_ptr<SelectionSource> OpenWorkbookSource(const std::filesystem::path& path,
                                                    const WorkbookOptions& options = {});

// The same from the file's bytes; `fileName` is what Excel would show as the workbook's name.
std::unique_ptr<SelectionSource> OpenWorkbookBytes(std::string bytes, const std::string& fileName,
                                                   const WorkbookOptions& options = {});

} // namespace sheetlift
