// The straight lines of a table drawing: the cell grid lines and the spreadsheet's border
// lines, whose segments are collected per cell edge and then joined and de-duplicated.
#pragma once

#include "dxf/Drawing.h"
#include "model/CellTable.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace sheetlift {

// Coordinates closer than this are the same, in drawing units.
inline constexpr double kLineEps = 1e-6;

inline bool SameWithin(double a, double b, double eps) {
    return eps >= std::fabs(a - b);
}

// Column left edges X(0..cellCols) and row top edges Y(0..cellRows); the table's upper-left
// corner is the origin and rows run down into negative y. Widths come from the first row,
// heights from the first column.
struct TableEdges {
    std::vector<double> x;
    std::vector<double> y;
};
TableEdges MakeTableEdges(const CellTable& table);

// One border segment: stpt is the left or upper end, edpt the right or lower end. `mark` means
// joined onto an earlier segment or a duplicate of one: not written.
struct TXlsxKeisen {
    TAcadPoint stpt;
    TAcadPoint edpt;
    bool mark = false;
};

// Where CollectBorderLines found a segment: grid indices of its line and of its two ends (into
// TableEdges x and y).
struct GridSegment {
    std::uint32_t line;
    std::uint32_t start;
    std::uint32_t end;
};

// The border segments of one export run, with the grid they were collected on. The grid
// positions let the consolidation compare indices instead of coordinates; arrays without them
// are consolidated by the pairwise passes.
struct BorderLines {
    std::vector<TXlsxKeisen> bordLinesV;
    std::vector<TXlsxKeisen> bordLinesH;
    std::vector<GridSegment> gridV; // one per segment of bordLinesV
    std::vector<GridSegment> gridH;
    TableEdges edges;
};

// Layer "XLSCellLine": the top and left edges of unmerged cells in maximal runs, then the
// table's bottom and right edges.
void AddCellGridLines(const CellTable& table, const TableEdges& edges, DrawingSink& sink);

// Appends one segment per set border bit of every edge that is not inside a merged area.
void CollectBorderLines(const CellTable& table, const TableEdges& edges, BorderLines& lines);

// Joins chained segments onto the first of their chain and marks duplicates, with exactly the
// result of the pairwise passes (for each unmarked segment in array order, scan the later
// ones), in linear time for segments that CollectBorderLines made.
void ConsolidateBorderLines(BorderLines& lines);

// Layer "XLSBordLine": every unmarked vertical, then horizontal segment; empties both arrays.
void AddBorderLines(DrawingSink& sink, BorderLines& lines);

} // namespace sheetlift
