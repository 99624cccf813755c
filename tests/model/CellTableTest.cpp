#include "model/CellTable.h"
#include "model/Settings.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

// A rows x cols table of unmerged cells with the given widths and heights.
CellTable MakeTable(int rows, int cols, std::uint16_t colW = 10, std::uint16_t rowH = 20) {
    CellTable t;
    t.cellRows = rows;
    t.cellCols = cols;
    t.cellAttrs.resize(std::size_t(rows) * cols);
    for (auto& c : t.cellAttrs) {
        c.colW = colW;
        c.rowH = rowH;
        c.txtSize = 11;
        c.mergerowYscount = 1;
        c.mergecolXscount = 1;
    }
    return t;
}

// Marks the area as the import does: every cell reports the whole area's counts.
void Merge(CellTable& t, int i, int j, int rows, int cols) {
    for (int a = i; a < i + rows && a < t.cellRows; ++a)
        for (int b = j; b < j + cols && b < t.cellCols; ++b) {
            t.at(a, b).cellMerge = true;
            t.at(a, b).mergerowYscount = std::uint16_t(rows);
            t.at(a, b).mergecolXscount = std::uint16_t(cols);
        }
}

std::vector<int> Bits(const CellTable& t) {
    std::vector<int> bits;
    for (const auto& c : t.cellAttrs)
        bits.push_back(c.mergeBits);
    return bits;
}

TEST(ColumnLetters, BijectiveBase26) {
    const std::pair<int, const char*> cases[] = {
        {1, "A"},    {26, "Z"},    {27, "AA"},     {52, "AZ"}, {53, "BA"},
        {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}, {0, ""},    {-5, ""}};
    for (const auto& [n, letters] : cases)
        EXPECT_EQ(ColumnLetters(n), letters) << n;
}

TEST(CalcCellLayout, MergeBitsOfRowColumnAndSquareAreas) {
    const Settings s;
    CellTable row = MakeTable(1, 3);
    Merge(row, 0, 0, 1, 3);
    CalcCellLayout(row, s);
    EXPECT_EQ(Bits(row), (std::vector<int>{7, 3, 11}));

    CellTable col = MakeTable(3, 1);
    Merge(col, 0, 0, 3, 1);
    CalcCellLayout(col, s);
    EXPECT_EQ(Bits(col), (std::vector<int>{13, 12, 14}));

    CellTable sq = MakeTable(2, 2, 10, 20);
    Merge(sq, 0, 0, 2, 2);
    sq.at(0, 1).colW = 30;
    sq.at(1, 0).rowH = 40;
    CalcCellLayout(sq, s);
    EXPECT_EQ(Bits(sq), (std::vector<int>{5, 9, 6, 10}));
    EXPECT_FALSE(sq.at(0, 0).mark);
    EXPECT_TRUE(sq.at(0, 1).mark && sq.at(1, 0).mark && sq.at(1, 1).mark);
    EXPECT_DOUBLE_EQ(sq.at(0, 0).drawMW, 40 * s.cadXsc);
    EXPECT_DOUBLE_EQ(sq.at(0, 0).drawMH, 60 * s.cadYsc);
    EXPECT_EQ(sq.at(0, 0).mergeW, 40);
    EXPECT_EQ(sq.at(0, 0).mergeH, 60);
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(sq.cellAttrs[k].drawMW + sq.cellAttrs[k].drawMH, 0);
}

TEST(CalcCellLayout, DrawingSizesFromScalesAndHiddenColumn) {
    Settings s;
    s.cadXsc = 2;
    s.cadYsc = 0.5;
    s.cadTsc = 0.25;
    CellTable t = MakeTable(1, 2);
    t.at(0, 1).colW = 0; // hidden column
    CalcCellLayout(t, s);
    EXPECT_DOUBLE_EQ(t.at(0, 0).drawW, 20);
    EXPECT_DOUBLE_EQ(t.at(0, 0).drawH, 10);
    EXPECT_DOUBLE_EQ(t.at(0, 0).drawTH, 2.75);
    EXPECT_DOUBLE_EQ(t.at(0, 1).drawW, 0);
}

TEST(CalcCellLayout, SecondPassChangesNothingAndEmptyTableIsLeftAlone) {
    const Settings s;
    CellTable t = MakeTable(4, 4);
    Merge(t, 1, 1, 2, 3);
    CalcCellLayout(t, s);
    const CellTable once = t;
    CalcCellLayout(t, s);
    ASSERT_EQ(t.cellAttrs.size(), once.cellAttrs.size());
    for (std::size_t k = 0; k < t.cellAttrs.size(); ++k) {
        EXPECT_EQ(t.cellAttrs[k].mergeBits, once.cellAttrs[k].mergeBits);
        EXPECT_EQ(t.cellAttrs[k].mark, once.cellAttrs[k].mark);
        EXPECT_EQ(t.cellAttrs[k].drawMW, once.cellAttrs[k].drawMW);
        EXPECT_EQ(t.cellAttrs[k].drawMH, once.cellAttrs[k].drawMH);
    }

    CellTable empty;
    CalcCellLayout(empty, s);
    RecalcMergedSizes(empty);
    EXPECT_TRUE(empty.cellAttrs.empty());
    // Counts that disagree with the records are treated as no table, not read past the end.
    CellTable inconsistent = MakeTable(1, 1);
    inconsistent.cellCols = 5;
    CalcCellLayout(inconsistent, s);
    EXPECT_EQ(inconsistent.cellAttrs[0].drawW, 0);
}

TEST(CalcCellLayout, AreaCutByTheSelectionIsClosedInsideTheTable) {
    const Settings s;
    // A 3 x 4 area whose top-left cell is (1, 1) in a 3 x 3 table: only 2 x 2 of it is inside.
    CellTable t = MakeTable(3, 3);
    Merge(t, 1, 1, 3, 4);
    CalcCellLayout(t, s);
    EXPECT_EQ(t.at(1, 1).mergeBits, 5);
    EXPECT_EQ(t.at(1, 2).mergeBits, 9); // cut right edge closes the outline
    EXPECT_EQ(t.at(2, 1).mergeBits, 6); // cut bottom edge too
    EXPECT_EQ(t.at(2, 2).mergeBits, 10);
    EXPECT_DOUBLE_EQ(t.at(1, 1).drawMW, 20 * s.cadXsc);
    EXPECT_DOUBLE_EQ(t.at(1, 1).drawMH, 40 * s.cadYsc);
    t.at(1, 2).drawW = 7;
    RecalcMergedSizes(t);
    EXPECT_DOUBLE_EQ(t.at(1, 1).drawMW, 10 * s.cadXsc + 7);
}

TEST(CalcCellLayout, ExtremeCountsStayInsideTheTable) {
    const Settings s;
    for (const int count : {0, 1, 65535}) {
        CellTable t = MakeTable(2, 2, 65535, 65535);
        for (auto& c : t.cellAttrs) {
            c.cellMerge = true;
            c.mergerowYscount = std::uint16_t(count);
            c.mergecolXscount = std::uint16_t(count);
        }
        CalcCellLayout(t, s);
        RecalcMergedSizes(t);
        const int span = count >= 2 ? 2 : 1;
        EXPECT_DOUBLE_EQ(t.at(0, 0).drawMW, 65535.0 * span * s.cadXsc) << count;
        EXPECT_EQ(t.at(0, 0).mergeW, std::uint16_t(65535 * span)) << count;
    }
}

TEST(RecalcMergedSizes, FollowsEditedWidthsAndLayoutRestoresThem) {
    const Settings s;
    CellTable t = MakeTable(3, 4);
    Merge(t, 0, 0, 2, 2); // crosses columns 0 and 1
    Merge(t, 0, 2, 1, 2); // crosses columns 2 and 3
    CalcCellLayout(t, s);
    const double otherArea = t.at(0, 2).drawMW;
    for (int i = 0; i < 3; ++i)
        t.at(i, 1).drawW = 12; // a width edit of column 1
    RecalcMergedSizes(t);
    EXPECT_DOUBLE_EQ(t.at(0, 0).drawMW, 10 * s.cadXsc + 12);
    EXPECT_DOUBLE_EQ(t.at(0, 0).drawMH, 40 * s.cadYsc);
    EXPECT_DOUBLE_EQ(t.at(0, 2).drawMW, otherArea);
    EXPECT_DOUBLE_EQ(t.at(0, 1).drawW, 12);
    CalcCellLayout(t, s);
    EXPECT_DOUBLE_EQ(t.at(0, 1).drawW, 10 * s.cadXsc);
    EXPECT_DOUBLE_EQ(t.at(0, 0).drawMW, 20 * s.cadXsc);
}

} // namespace
} // namespace sheetlift
