// The whole table as one R12 DXF drawing.
#pragma once

#include "model/CellTable.h"
#include "model/Settings.h"
#include "model/TextGrid.h"

#include <filesystem>
#include <string>
#include <vector>

namespace sheetlift {

struct DxfOptions {
    // Adds $DWGCODEPAGE ANSI_932 to the header, for readers outside Japanese Windows.
    bool declareCodepage = false;
};

struct DxfResult {
    bool written = false;              // false for an empty table: no file is made
    std::vector<std::string> warnings; // for the user, e.g. a text line too long for R12 readers
};

// The file's bytes (code page 932), or an empty string for an empty table.
std::string BuildTableDxf(const CellTable& table, const TextGrid& texts, const Settings& settings,
                          bool cellLineDraw, const DxfOptions& options,
                          std::vector<std::string>* warnings = nullptr);

// Builds the drawing and replaces `path` atomically; throws Error naming the file on failure.
DxfResult WriteTableDxf(const CellTable& table, const TextGrid& texts, const Settings& settings,
                        bool cellLineDraw, const std::filesystem::path& path,
                        const DxfOptions& options = {});

} // namespace sheetlift
