// The imported range: one record per cell, row-major, plus the layout passes that resolve
// merged areas and turn Excel sizes into drawing sizes.
#pragma once

#include "model/CellLook.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sheetlift {

struct Settings;

// Edge bits shared by lineBits and mergeBits.
enum EdgeBit : std::uint8_t {
    kEdgeTop = 1,
    kEdgeBottom = 2,
    kEdgeLeft = 4,
    kEdgeRight = 8,
    kDiagonalDown = 16, // top-left to bottom-right
    kDiagonalUp = 32,   // bottom-left to top-right
};

struct TXlsxCellAttr {
    std::uint16_t rowH = 0;    // row height in points
    std::uint16_t colW = 0;    // column width in characters of the standard font
    std::uint16_t txtSize = 0; // font size in points
    std::uint8_t txtAlign = 0; // 0 general, 1 left, 2 centre, 3 right
    std::string str;           // unused: the grid (TextGrid) holds the displayed text, once
    std::uint8_t lineBits = 0;
    bool cellMerge = false;
    std::uint16_t mergerowYscount = 0;
    std::uint16_t mergecolXscount = 0;
    std::uint16_t mergeLeft = 0;
    std::uint16_t mergeTop = 0;
    std::uint16_t mergeW = 0;
    std::uint16_t mergeH = 0;
    std::uint8_t mergeBits = 0;
    bool mark = false; // covered by a merged area whose top-left cell is elsewhere
    double drawH = 0;
    double drawW = 0;
    double drawMH = 0;
    double drawMW = 0;
    double drawTH = 0;
    std::uint8_t txtAlignStd = 0; // reserved
    double drawThStd = 0;         // reserved
    bool txtDefMark = false;      // reserved
};

struct CellTable {
    std::vector<TXlsxCellAttr> cellAttrs;
    std::int32_t cellCols = 0;
    std::int32_t cellRows = 0;
    // The sheet's row and column of cell (0, 0), from 1: names cells in messages.
    std::int32_t firstRow = 1;
    std::int32_t firstColumn = 1;
    // What the sheet shows beyond the records, for the sheet drawing style: each cell's look as
    // an index into `looks` (row-major, as cellAttrs), and the exact size in points of each
    // column and row. Empty for a table that no source filled: every cell then looks plain.
    std::vector<CellLook> looks;
    std::vector<std::uint32_t> cellLooks;
    std::vector<double> colPoints;
    std::vector<double> rowPoints;

    bool empty() const {
        return cellCols <= 0 || cellRows <= 0 ||
               cellAttrs.size() != std::size_t(cellCols) * std::size_t(cellRows);
    }
    TXlsxCellAttr& at(int i, int j) { return cellAttrs[std::size_t(i) * cellCols + j]; }
    const TXlsxCellAttr& at(int i, int j) const { return cellAttrs[std::size_t(i) * cellCols + j]; }
    const CellLook& LookAt(int i, int j) const {
        static const CellLook plain;
        const std::size_t k = std::size_t(i) * cellCols + j;
        return k < cellLooks.size() ? looks[cellLooks[k]] : plain;
    }
};

// Resolves the merged areas (covered cells, outline edges, merged sizes) and turns the Excel
// sizes of every cell into drawing sizes with the settings' scales.
void CalcCellLayout(CellTable& table, const Settings& settings);
// Sums the merged areas' drawing sizes again after the user edited cell drawing sizes.
void RecalcMergedSizes(CellTable& table);
// The spreadsheet's letters of column n (from 1): 1 "A", 27 "AA"; "" for n < 1.
std::string ColumnLetters(std::int32_t n);
// The A1 address of a cell, both counted from 1: row 3, column 2 is "B3".
std::string CellAddress(std::int32_t row, std::int32_t column);

} // namespace sheetlift
