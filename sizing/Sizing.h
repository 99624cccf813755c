// Drawing-size edits over a grid selection, the size summaries, the settings page's apply
// parsing and the reverse calculation of scales. Numbers are typed and shown with the user's
// decimal separator, which the window passes in.
#pragma once

#include "model/CellTable.h"
#include "model/Settings.h"
#include "model/TextGrid.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sheetlift {

enum class SizeField {
    TextHeight,  // drawTH of each selected cell
    ColumnWidth, // drawW of every row in the selected columns
    RowHeight,   // drawH of every column in the selected rows
};

// A size box's text as a value: anything that is not a number counts as 0.
double ParseSizeText(std::string_view text, char decimalSeparator);

// Writes `value` into the field over the selection (clipped to the table); widths and heights
// also refresh the merged sizes.
void SetSizeForSelection(CellTable& table, const GridRect& selection, SizeField field,
                         double value);

// The field of table cell (i, j); 0 outside the table.
double CellSize(const CellTable& table, int i, int j, SizeField field);

double TotalWidth(const CellTable& table);  // drawW over the first row
double TotalHeight(const CellTable& table); // drawH over the first column

// "全体: W=… x H=…", or "" for an empty table.
std::string WHSizeText(const CellTable& table, char decimalSeparator);

// The summary grid's columns 1 (shown) and 2 (bare values) for its rows 全幅, 全高, 列幅, 行高,
// 文字.
struct SizeSummary {
    std::array<std::string, 5> shown;
    std::array<std::string, 5> values;
};

// Nothing for an empty table (the summary keeps its old contents).
std::optional<SizeSummary> SummarizeSizes(const CellTable& table, char decimalSeparator);

// The settings page's boxes Edit4 … Edit10, in that order, as settings. Texts that are not
// numbers give the page's own defaults; xlsVerNum is kept from `current`.
Settings SettingsFromTexts(const std::array<std::string, 7>& texts, const Settings& current,
                           char decimalSeparator);

// One row of the reverse calculation: the current value, the target and the scale box it
// drives. Returns the new scale text, or nothing when the ratio is not positive (an empty
// current value also gives nothing). Throws Error when the current value is 0 or not a number,
// or the scale text is not a number.
std::optional<std::string> ReverseScale(std::string_view current, std::string_view target,
                                        std::string_view scale, char decimalSeparator);

// Which scale box (0 X, 1 Y, 2 text) each of the five summary rows drives.
constexpr std::array<int, 5> kReverseScaleOfRow{0, 1, 0, 1, 2};

} // namespace sheetlift
