// The table drawing as an SVG 1.1 picture: the same entities as the DXF file, one element each.
#pragma once

#include "dxf/ByteSink.h"
#include "dxf/Drawing.h"
#include "dxf/LegacyText.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace sheetlift {

struct SvgOptions {
    // Per layer of kDrawingLayers: whether its group gets its elements.
    std::array<bool, 3> layerShown{true, true, true};
};

struct SvgResult {
    bool written = false; // false for an empty table: no file is made
    // As DxfResult::lostCells: these texts show "?" or a look-alike, as the DXF file does.
    std::vector<std::string> lostCells;
};

// One <g> per layer, named by its id: cell lines in the grey of colour 252, border lines and
// texts in black. y is turned so the table reads top down; the view box is the drawing's
// extent with a small margin, and one drawing unit is one millimetre. Texts show what the DXF
// file can carry of them, with the text's middle on its point.
class SvgDrawingWriter : public DrawingSink {
  public:
    SvgDrawingWriter(ByteSink& out, const SvgOptions& options);
    void Begin() override;
    void Line(const DrawingLine& line) override;
    void Outline(const DrawingOutline& outline) override;
    void Text(const DrawingText& text) override;
    void End() override;

    const std::vector<CellRef>& LostCells() const { return texts_.LostCells(); }

  private:
    std::string* Group(DrawingLayer layer);

    ByteSink& out_;
    const SvgOptions options_;
    // The elements of each layer, kept until the end: the groups cannot interleave, and the
    // view box in the header needs the whole extent.
    std::array<std::string, 3> groups_;
    DrawingExtent extent_;
    LegacyLines texts_;
};

// The picture's bytes (UTF-8), or an empty string for an empty table.
std::string BuildTableSvg(const CellTable& table, const TextGrid& texts, const Settings& settings,
                          bool cellLineDraw, const SvgOptions& options = {},
                          SvgResult* result = nullptr);

// Builds the picture and replaces `path` atomically; throws Error naming the file on failure.
SvgResult WriteTableSvg(const CellTable& table, const TextGrid& texts, const Settings& settings,
                        bool cellLineDraw, const std::filesystem::path& path,
                        const SvgOptions& options = {});

} // namespace sheetlift
