// The whole table as one R12 DXF drawing.
#pragma once

#include "dxf/ByteSink.h"
#include "dxf/Drawing.h"
#include "dxf/LegacyText.h"

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
    // The cells (A1, in drawing order) whose texts had characters that the code page cannot
    // carry: they are written as "?" or a look-alike.
    std::vector<std::string> lostCells;
};

// Renders a drawing as DXF file bytes in the legacy code page, piece by piece.
class DxfDrawingWriter : public DrawingSink {
  public:
    DxfDrawingWriter(ByteSink& out, const DxfOptions& options);
    void Begin() override;
    void Line(const DrawingLine& line) override;
    void Outline(const DrawingOutline& outline) override;
    void Text(const DrawingText& text) override;
    void End() override;

    // Text lines longer than R12 readers take, one message each.
    const std::vector<std::string>& Warnings() const { return warnings_; }
    const std::vector<CellRef>& LostCells() const { return texts_.LostCells(); }

  private:
    void Flush(std::size_t above);

    ByteSink& out_;
    const DxfOptions options_;
    std::string buffer_;
    LegacyLines texts_;
    std::vector<std::string> warnings_;
};

// The file's bytes (code page 932), or an empty string for an empty table. `result`, when
// given, gets the warnings and the cells whose texts lost characters.
std::string BuildTableDxf(const CellTable& table, const TextGrid& texts, const Settings& settings,
                          bool cellLineDraw, const DxfOptions& options,
                          DxfResult* result = nullptr);

// Builds the drawing and replaces `path` atomically; throws Error naming the file on failure.
DxfResult WriteTableDxf(const CellTable& table, const TextGrid& texts, const Settings& settings,
                        bool cellLineDraw, const std::filesystem::path& path,
                        const DxfOptions& options = {});

} // namespace sheetlift
