#include "textconv/RangeText.h"
#include "textconv/TextFunctions.h"

#include <gtest/gtest.h>

#include <vector>

namespace sheetlift {
namespace {

// Rows of table texts in, rows of table texts out.
using Rows = std::vector<std::vector<std::string>>;

TextGrid MakeGrid(const Rows& rows) {
    TextGrid grid(int(rows.size()), int(rows[0].size()));
    for (int i = 0; i < grid.rows(); ++i) {
        for (int j = 0; j < grid.cols(); ++j)
            grid.SetText(i, j, rows[i][j]);
    }
    return grid;
}

Rows Texts(const TextGrid& grid) {
    Rows rows(grid.rows());
    for (int i = 0; i < grid.rows(); ++i) {
        for (int j = 0; j < grid.cols(); ++j)
            rows[i].emplace_back(grid.Text(i, j));
    }
    return rows;
}

TEST(ConvertRange, SingleCellInGridCoordinates) {
    TextGrid grid = MakeGrid({{"ａ", "ｂ"}, {"ｃ", "ｄ"}});
    ConvertRange(grid, {.left = 2, .top = 1, .right = 2, .bottom = 1}, ToHalfWidth);
    EXPECT_EQ(Texts(grid), (Rows{{"ａ", "b"}, {"ｃ", "ｄ"}}));
}

TEST(ConvertRange, FullWidthExceptNumericOrAlphabeticTexts) {
    TextGrid grid = MakeGrid({{"123", "12.50", "-5"}, {"Abc", "A1", "ｱｲｳ"}, {"", "x", ""}});
    ConvertRange(grid, {.left = 1, .top = 1, .right = 3, .bottom = 2}, ToFullWidthUnlessNumeric);
    EXPECT_EQ(Texts(grid),
              (Rows{{"123", "12.50", "-5"}, {"Abc", "Ａ１", "アイウ"}, {"", "x", ""}}));
}

TEST(ConvertRange, EmptyCellsStayEmpty) {
    // A routine that marks every text it is given shows which cells were visited.
    TextGrid grid = MakeGrid({{"", "a"}, {"b", ""}});
    ConvertRange(grid, {.left = 1, .top = 1, .right = 2, .bottom = 2},
                 [](std::string_view text) { return std::string(text) + "!"; });
    EXPECT_EQ(Texts(grid), (Rows{{"", "a!"}, {"b!", ""}}));
}

TEST(ConvertRange, SymbolsBecomeAscii) {
    TextGrid grid = MakeGrid({{"（Ａ｜Ｂ）"}});
    ConvertRange(grid, {}, FullSymbolsToHalf);
    EXPECT_EQ(grid.Text(0, 0), "(ＡlＢ)");
}

TEST(ConvertRange, RectangleIsCutToTheTable) {
    TextGrid grid = MakeGrid({{"a", "b"}, {"c", "d"}});
    ConvertRange(grid, {.left = 0, .top = -3, .right = 99, .bottom = 5}, ToFullWidth);
    EXPECT_EQ(Texts(grid), (Rows{{"ａ", "ｂ"}, {"ｃ", "ｄ"}}));
    ConvertRange(grid, {.left = 2, .top = 1, .right = 1, .bottom = 2}, ToHalfWidth); // inverted
    EXPECT_EQ(Texts(grid), (Rows{{"ａ", "ｂ"}, {"ｃ", "ｄ"}}));
    TextGrid empty;
    EXPECT_EQ(ReplaceFirstInRange(empty, {}, "a", "b"), 0);
}

class ReplaceFirst : public testing::Test {
  protected:
    TextGrid grid = MakeGrid({{"aaa", "Abc", ""}, {"xyz", "", "ａａ"}});
    const GridRect all{.left = 1, .top = 1, .right = 3, .bottom = 2};
};

TEST_F(ReplaceFirst, ReplacesOnlyTheFirstExactMatchAndCountsNonEmptyCells) {
    EXPECT_EQ(ReplaceFirstInRange(grid, all, "a", "b"), 4);
    EXPECT_EQ(Texts(grid), (Rows{{"baa", "Abc", ""}, {"xyz", "", "ａａ"}}));
}

TEST_F(ReplaceFirst, EmptySearchChangesNothingButCounts) {
    EXPECT_EQ(ReplaceFirstInRange(grid, all, "", "b"), 4);
    EXPECT_EQ(Texts(grid), (Rows{{"aaa", "Abc", ""}, {"xyz", "", "ａａ"}}));
}

TEST_F(ReplaceFirst, EmptyReplacementDeletes) {
    EXPECT_EQ(ReplaceFirstInRange(grid, all, "ａ", ""), 4);
    EXPECT_EQ(grid.Text(1, 2), "ａ");
    EXPECT_EQ(ReplaceFirstInRange(grid, {.left = 1, .top = 1, .right = 1, .bottom = 1}, "aa", ""),
              1);
    EXPECT_EQ(grid.Text(0, 0), "a");
}

TEST_F(ReplaceFirst, LongerReplacement) {
    EXPECT_EQ(
        ReplaceFirstInRange(grid, {.left = 2, .top = 1, .right = 2, .bottom = 1}, "bc", "β γ"), 1);
    EXPECT_EQ(grid.Text(0, 1), "Aβ γ");
}

TEST(RangeAsTabText, CopiesTheRectangleAsSpreadsheetsDo) {
    const TextGrid grid = MakeGrid({{"a", "", "c\"d"}, {"二行\n目", "x\ty", "z"}});
    EXPECT_EQ(RangeAsTabText(grid, {.left = 1, .top = 1, .right = 3, .bottom = 2}),
              "a\t\t\"c\"\"d\"\n\"二行\n目\"\t\"x\ty\"\tz\n");
    EXPECT_EQ(RangeAsTabText(grid, {.left = 2, .top = 2, .right = 9, .bottom = 9}),
              "\"x\ty\"\tz\n");
    EXPECT_EQ(RangeAsTabText(TextGrid{}, {}), "");
}

} // namespace
} // namespace sheetlift
