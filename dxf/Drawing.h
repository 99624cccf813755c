// The table drawing as entities: what the DXF file carries, in the order it carries them. The
// conversion (DrawTable) emits them once into a sink; the DXF writer, the SVG writer and the
// window's preview are sinks, so no output knows the layout rules.
#pragma once

#include "dxf/MakeR12Dxf_V.h"
#include "model/CellTable.h"
#include "model/Settings.h"
#include "model/TextGrid.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sheetlift {

// The drawing's layers besides "0", in the order of the DXF layer table.
enum class DrawingLayer : std::uint8_t { CellLine, CellText, BordLine };
inline constexpr std::array<DrawingLayer, 3> kDrawingLayers = {
    DrawingLayer::CellLine, DrawingLayer::CellText, DrawingLayer::BordLine};
// "XLSCellLine", "XLSCellText", "XLSBordLine".
std::string_view LayerName(DrawingLayer layer);

// Where a TEXT's point sits on the text: the vertical middle, at the left, centre or right.
enum class TextAlign : std::uint8_t { MiddleLeft, MiddleCentre, MiddleRight };
// "ML", "MC", "MR".
std::string_view AlignCode(TextAlign align);

// Every entity has line type BYLAYER and colour 256 (by layer), and z is 0 everywhere.
struct DrawingLine {
    TAcadPoint start;
    TAcadPoint end;
    DrawingLayer layer;
};

// A closed POLYLINE through four corners: top-left, top-right, bottom-right, bottom-left.
struct DrawingOutline {
    std::array<TAcadPoint, 4> corners;
    DrawingLayer layer;
};

// One line of a cell's text.
struct DrawingText {
    std::string_view text; // UTF-8 without control characters; valid during the call only
    TAcadPoint point;
    double height;
    TextAlign align;
    DrawingLayer layer;
    int row;    // the table cell, from 0
    int column; //
    int line;   // this line of the cell's text, from 1
    int lines;  // the number of lines of the cell's text, empty ones included
};

// The smallest rectangle that holds the points added to it, in drawing units.
struct DrawingExtent {
    double minX = 0;
    double minY = 0;
    double maxX = 0;
    double maxY = 0;
    bool empty = true;

    void Add(double x, double y);
    // Lines' ends and outlines' corners; a text's point and the top and bottom of its line
    // (its width depends on the font).
    void Add(const DrawingLine& line);
    void Add(const DrawingOutline& outline);
    void Add(const TAcadPoint& point, double height);
};

class DrawingSink {
  public:
    virtual ~DrawingSink() = default;
    virtual void Begin() = 0;
    virtual void Line(const DrawingLine& line) = 0;
    virtual void Outline(const DrawingOutline& outline) = 0;
    virtual void Text(const DrawingText& text) = 0;
    virtual void End() = 0;
};

// Emits the drawing of the table: Begin, the cell grid lines (when cellLineDraw), per cell in
// row-major order its merged-area outline (when cellLineDraw), its diagonals and its text
// lines, then the vertical and the horizontal border lines, End. An empty table emits nothing
// and gives false.
bool DrawTable(const CellTable& table, const TextGrid& texts, const Settings& settings,
               bool cellLineDraw, DrawingSink& sink);

// A drawing kept whole, for outputs that need to look at it more than once.
struct Drawing {
    struct Text {
        TAcadPoint point;
        double height;
        TextAlign align;
        DrawingLayer layer;
        int row;
        int column;
        std::size_t offset; // into chars
        std::size_t length;
    };
    DrawingExtent extent;
    std::vector<DrawingLine> lines; // in file order, whatever their layer
    std::vector<DrawingOutline> outlines;
    std::vector<Text> texts;
    std::string chars;

    std::string_view TextOf(const Text& text) const {
        return std::string_view(chars).substr(text.offset, text.length);
    }
};

// Keeps what it receives in a Drawing.
class DrawingRecorder : public DrawingSink {
  public:
    explicit DrawingRecorder(Drawing& drawing) : d_(drawing) {}
    void Begin() override { d_ = Drawing(); }
    void Line(const DrawingLine& line) override;
    void Outline(const DrawingOutline& outline) override;
    void Text(const DrawingText& text) override;
    void End() override {}

  private:
    Drawing& d_;
};

} // namespace sheetlift
