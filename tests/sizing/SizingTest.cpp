#include "sizing/Sizing.h"

#include "model/Error.h"

#include <gtest/gtest.h>

#include <vector>

namespace sheetlift {
namespace {

// A rows x cols table laid out with `settings`, every column `colW` wide and every row `rowH`
// high.
CellTable MakeTable(int rows, int cols, const Settings& settings = {}, int colW = 10, int rowH = 20,
                    int txtSize = 11) {
    CellTable table;
    table.cellRows = rows;
    table.cellCols = cols;
    table.cellAttrs.resize(std::size_t(rows) * cols);
    for (auto& cell : table.cellAttrs) {
        cell.colW = std::uint16_t(colW);
        cell.rowH = std::uint16_t(rowH);
        cell.txtSize = std::uint16_t(txtSize);
        cell.mergecolXscount = cell.mergerowYscount = 1;
    }
    CalcCellLayout(table, settings);
    return table;
}

// Merges table cells (i, j) .. (i + rows - 1, j + cols - 1) and lays the table out again.
void Merge(CellTable& table, int i, int j, int rows, int cols, const Settings& settings = {}) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            auto& cell = table.at(i + r, j + c);
            cell.cellMerge = true;
            cell.mergerowYscount = std::uint16_t(rows);
            cell.mergecolXscount = std::uint16_t(cols);
        }
    CalcCellLayout(table, settings);
}

TEST(SizeEdit, ColumnWidthCoversEveryRowOfTheSelectedColumns) {
    CellTable table = MakeTable(6, 4); // drawW = 30
    Merge(table, 0, 0, 1, 3);          // A1:C1, drawMW 90
    // Grid columns 2..3 (table columns 1..2), grid rows 4..5 only.
    SetSizeForSelection(table, GridRect{2, 4, 3, 5}, SizeField::ColumnWidth, 12);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(table.at(i, 0).drawW, 30);
        EXPECT_EQ(table.at(i, 1).drawW, 12);
        EXPECT_EQ(table.at(i, 2).drawW, 12);
        EXPECT_EQ(table.at(i, 3).drawW, 30);
    }
    EXPECT_EQ(table.at(0, 0).drawMW, 30 + 12 + 12);
}

TEST(SizeEdit, RowHeightCoversEveryColumnOfTheSelectedRows) {
    CellTable table = MakeTable(4, 3); // drawH = 8.6
    Merge(table, 1, 2, 2, 1);          // C2:C3
    SetSizeForSelection(table, GridRect{3, 2, 3, 2}, SizeField::RowHeight, 5);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(table.at(1, j).drawH, 5);
        EXPECT_DOUBLE_EQ(table.at(0, j).drawH, 20 * 0.43);
        EXPECT_DOUBLE_EQ(table.at(2, j).drawH, 20 * 0.43);
    }
    EXPECT_DOUBLE_EQ(table.at(1, 2).drawMH, 5 + 20 * 0.43);
}

TEST(SizeEdit, TextHeightCoversTheRectangleOnly) {
    CellTable table = MakeTable(3, 3);
    const double before = table.at(0, 0).drawTH;
    SetSizeForSelection(table, GridRect{2, 2, 3, 3}, SizeField::TextHeight, 2.5);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(table.at(i, j).drawTH, i >= 1 && j >= 1 ? 2.5 : before) << i << "," << j;
}

TEST(SizeEdit, SelectionBeyondTheTableIsClippedAndEmptyTableIgnored) {
    CellTable table = MakeTable(2, 2);
    SetSizeForSelection(table, GridRect{0, 0, 9, 9}, SizeField::TextHeight, 1);
    for (const auto& cell : table.cellAttrs)
        EXPECT_EQ(cell.drawTH, 1);
    CellTable empty;
    SetSizeForSelection(empty, GridRect{1, 1, 1, 1}, SizeField::ColumnWidth, 1);
    EXPECT_TRUE(empty.cellAttrs.empty());
    EXPECT_EQ(CellSize(empty, 0, 0, SizeField::ColumnWidth), 0);
}

TEST(SizeText, ParsesWithTheUsersSeparatorAndDefaultsToZero) {
    struct Case {
        const char* text;
        char sep;
        double value;
    } cases[] = {{"5", '.', 5},   {"2.5", '.', 2.5}, {"2,5", ',', 2.5}, {"2,5", '.', 0},
                 {"abc", '.', 0}, {"", '.', 0},      {"-2", '.', -2}};
    for (const Case& c : cases)
        EXPECT_EQ(ParseSizeText(c.text, c.sep), c.value) << c.text;
}

TEST(Totals, LabelTextSumsTheFirstRowAndColumn) {
    CellTable table = MakeTable(2, 3); // 3 x 30 wide, 2 x 8.6 high
    EXPECT_EQ(WHSizeText(table, '.'), "全体: W=90.000 x H=17.200");
    EXPECT_EQ(WHSizeText(table, ','), "全体: W=90,000 x H=17,200");
    EXPECT_EQ(WHSizeText(CellTable{}, '.'), "");
}

// Column widths from per-column Excel widths; cadXsc 1 makes drawW the width itself.
SizeSummary SummaryOfWidths(const std::vector<int>& widths) {
    Settings settings;
    settings.cadXsc = 1;
    CellTable table = MakeTable(1, int(widths.size()), settings);
    for (std::size_t j = 0; j < widths.size(); ++j)
        table.cellAttrs[j].drawW = widths[j];
    return *SummarizeSizes(table, '.');
}

TEST(Summary, ModeIsTheMostFrequentAndTheSmallestOnTies) {
    struct Case {
        std::vector<int> widths;
        const char* shown;
        const char* value;
    } cases[] = {
        {{10, 20, 20}, "20.000 (10.000～20.000)", "20.000"},
        {{10, 20}, "10.000 (10.000～20.000)", "10.000"},
        {{20, 10}, "10.000 (10.000～20.000)", "10.000"},
        // Padding keeps 5 before 10, although "1" sorts before "5".
        {{10, 5}, "5.000 (5.000～10.000)", "5.000"},
        {{100, 9, 100, 9, 7}, "9.000 (7.000～100.000)", "9.000"},
    };
    for (const Case& c : cases) {
        const SizeSummary summary = SummaryOfWidths(c.widths);
        EXPECT_EQ(summary.shown[2], c.shown);
        EXPECT_EQ(summary.values[2], c.value);
    }
}

TEST(Summary, RowsHoldTotalsAndTheThreeSeries) {
    CellTable table = MakeTable(2, 2);
    table.at(1, 0).drawH = 4;
    table.at(1, 1).drawTH = 1.5;
    const SizeSummary summary = *SummarizeSizes(table, ',');
    EXPECT_EQ(summary.shown[0], "60,000");
    EXPECT_EQ(summary.values[0], "60,000");
    EXPECT_EQ(summary.shown[1], "12,600");
    EXPECT_EQ(summary.values[1], "12,600");
    EXPECT_EQ(summary.shown[2], "30,000 (30,000～30,000)");
    EXPECT_EQ(summary.values[3], "4,000"); // 4 and 8.6 once each: the smaller wins
    EXPECT_EQ(summary.shown[3], "4,000 (4,000～8,600)");
    EXPECT_EQ(summary.values[4], "2,970");
    EXPECT_EQ(summary.shown[4], "2,970 (1,500～2,970)");
}

TEST(Summary, OneCellAndEmptyTable) {
    CellTable table = MakeTable(1, 1);
    const SizeSummary summary = *SummarizeSizes(table, '.');
    EXPECT_EQ(summary.values[0], "30.000");
    EXPECT_EQ(summary.shown[2], "30.000 (30.000～30.000)");
    EXPECT_FALSE(SummarizeSizes(CellTable{}, '.'));
}

TEST(ApplySettings, TextsBecomeSettingsWithThePagesDefaults) {
    Settings current;
    current.xlsVerNum = 12;
    const Settings typed =
        SettingsFromTexts({"15", "2,5", "abc", "", "-1", "0", "7"}, current, ',');
    EXPECT_EQ(typed.colXsc, 15);
    EXPECT_EQ(typed.rowYsc, 2.5);
    EXPECT_EQ(typed.cadXsc, 10);
    EXPECT_EQ(typed.cadYsc, 1.5);
    EXPECT_EQ(typed.cadTsc, -1); // stored as typed, no range check
    EXPECT_EQ(typed.cadTof, 0);
    EXPECT_EQ(typed.cellLineColor, 7);
    EXPECT_EQ(typed.xlsVerNum, 12);
    const Settings defaults = SettingsFromTexts({"x", "x", "x", "x", "x", "x", "x"}, current, '.');
    EXPECT_EQ(defaults.colXsc, 20);
    EXPECT_EQ(defaults.rowYsc, 3);
    EXPECT_EQ(defaults.cadTsc, 0.8);
    EXPECT_EQ(defaults.cadTof, 0.4);
    EXPECT_EQ(defaults.cellLineColor, 256);
}

TEST(ReverseScale, ScalesByTargetOverCurrent) {
    struct Case {
        const char* current;
        const char* target;
        const char* scale;
        char sep;
        std::optional<std::string> result;
    } cases[] = {
        {"300.000", "600", "10", '.', "20"},
        {"300.000", "330", "10", '.', "11"},
        {"300,000", "150", "0,43", ',', "0,215"},
        {"300.000", "0", "10", '.', std::nullopt},
        {"300.000", "-5", "10", '.', std::nullopt},
        {"300.000", "abc", "10", '.', std::nullopt},
        {"300.000", "abc", "not checked", '.', std::nullopt},
        {"", "600", "10", '.', std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReverseScale(c.current, c.target, c.scale, c.sep), c.result)
            << c.current << " " << c.target;
}

TEST(ReverseScale, ZeroCurrentOrBadScaleIsAnError) {
    EXPECT_THROW(ReverseScale("0.000", "600", "10", '.'), Error);
    EXPECT_THROW(ReverseScale("0.000", "0", "10", '.'), Error);
    EXPECT_THROW(ReverseScale("300.000", "600", "abc", '.'), Error);
}

} // namespace
} // namespace sheetlift
