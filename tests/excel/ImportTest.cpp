#include "FakeSource.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

using testing::FakeSource;
using testing::RecordingSink;

struct Imported {
    CellTable table;
    RecordingSink sink;
};

void Import(FakeSource& source, Imported& out, const Settings& settings = {}) {
    ImportSelection(source, out.sink, out.table, settings);
}

TEST(ImportSelection, GridHeadersSizesAndAddresses) {
    FakeSource src;
    src.range = {3, 2, 2, 3}; // B3:D4
    src.cells["B3"].columnWidth = 8.43;
    src.cells["B3"].rowHeight = 18.75;
    src.cells["B3"].fontSize = 10.5;
    src.cells["C3"] = src.fallback;
    src.cells["C3"].columnWidth = 0; // hidden column
    src.cells["C3"].fontSize = 11.5;
    src.cells["D3"] = src.fallback;
    src.cells["D3"].columnWidth = 8.5; // ties go to even
    src.cells["B4"] = src.fallback;
    src.cells["B4"].rowHeight = 9.5;
    src.cells["B4"].text = "line1\nline2";
    Imported out;
    Import(src, out);
    EXPECT_EQ(out.sink.caption, "Book1 [Sheet1]");
    EXPECT_EQ(out.sink.first, "B3");
    EXPECT_EQ(out.sink.last, "D4");
    EXPECT_EQ(out.sink.rowHeaders, (std::vector<std::string>{"3", "4"}));
    EXPECT_EQ(out.sink.columnHeaders, (std::vector<std::string>{"B", "C", "D"}));
    EXPECT_EQ(out.sink.columnWidths, (std::vector<int>{160, 0, 160}));
    EXPECT_EQ(out.sink.rowHeights, (std::vector<int>{57, 30}));
    EXPECT_EQ(out.sink.events,
              (std::vector<std::string>{"BeginGrid", "1 / 2", "2 / 2", "EndGrid"}));
    ASSERT_EQ(out.table.cellRows, 2);
    ASSERT_EQ(out.table.cellCols, 3);
    EXPECT_EQ(out.table.at(0, 0).colW, 8);
    EXPECT_EQ(out.table.at(0, 0).rowH, 19);
    EXPECT_EQ(out.table.at(0, 0).txtSize, 10);
    EXPECT_EQ(out.table.at(0, 1).txtSize, 12);
    EXPECT_EQ(out.table.at(0, 1).colW, 0);
    EXPECT_EQ(out.table.at(0, 2).colW, 8);
    EXPECT_EQ(out.table.at(1, 0).rowH, 10);
    EXPECT_EQ(out.sink.texts.Text(1, 0), "line1\nline2");
    EXPECT_EQ(out.table.at(1, 0).str, "");                             // held once, by the grid
    EXPECT_DOUBLE_EQ(out.table.at(0, 0).drawW, 8 * Settings{}.cadXsc); // layout ran
    EXPECT_EQ(src.log,
              (std::vector<std::string>{"Attach", "ScreenUpdating=0", "ScreenUpdating=1"}));
}

TEST(ImportSelection, AlignmentFromExcelAndNumericValues) {
    struct Case {
        int excel;
        CellValue value;
        int txtAlign;
    };
    const Case cases[] = {
        {kAlignGeneral, 12.0, 3},
        {kAlignGeneral, std::string("abc"), 0},
        {kAlignLeft, 12.0, 1},
        {kAlignCenter, std::string("x"), 2},
        {kAlignRight, std::string("x"), 3},
        {kAlignFill, std::string("-1,234.5"), 3},
        {kAlignGeneral, std::monostate{}, 0},
        {kAlignGeneral, true, 0},
        {kAlignGeneral, 1e20, 0}, // "1E20" is not numeric text
        {kAlignJustify, -0.5, 3},
    };
    for (const Case& c : cases) {
        FakeSource src;
        src.fallback.horizontalAlignment = c.excel;
        src.fallback.value2 = c.value;
        Imported out;
        Import(src, out);
        EXPECT_EQ(out.table.at(0, 0).txtAlign, c.txtAlign) << c.excel << " " << Value2Text(c.value);
    }
}

TEST(ImportSelection, BordersAndMergedAreas) {
    FakeSource src;
    src.range = {2, 2, 2, 2}; // B2:C3, all one merged area
    src.fallback.mergeCells = true;
    src.fallback.mergeRows = 2;
    src.fallback.mergeColumns = 2;
    src.fallback.mergeLeft = 48.4;
    src.fallback.mergeTop = 14.5;
    src.fallback.borders[kBorderTop] = 1;
    src.fallback.borders[kBorderRight] = -4115; // dashed
    Imported out;
    Import(src, out);
    for (const auto& c : out.table.cellAttrs) {
        EXPECT_EQ(c.lineBits, 9);
        EXPECT_TRUE(c.cellMerge);
        EXPECT_EQ(c.mergerowYscount, 2);
        EXPECT_EQ(c.mergecolXscount, 2);
        EXPECT_EQ(c.mergeLeft, 48);
        EXPECT_EQ(c.mergeTop, 14);
    }
    EXPECT_FALSE(out.table.at(0, 0).mark);
    EXPECT_TRUE(out.table.at(1, 1).mark);
    EXPECT_EQ(out.table.at(1, 1).mergeBits, 10);
}

TEST(ImportSelection, AttachFailureChangesNothing) {
    FakeSource src;
    src.attachFails = true;
    Imported out;
    out.table.cellAttrs.resize(1);
    out.table.cellRows = out.table.cellCols = 1;
    out.sink.caption = "old";
    EXPECT_THROW(Import(src, out), AttachError);
    EXPECT_EQ(out.sink.caption, "old");
    EXPECT_EQ(out.table.cellAttrs.size(), 1u);
    EXPECT_EQ(src.log, (std::vector<std::string>{"Attach"}));
}

TEST(ImportSelection, FailureMidReadRestoresScreenUpdatingAndPainting) {
    FakeSource src;
    src.range = {1, 1, 3, 2};
    src.failAt = "B2";
    Imported out;
    EXPECT_THROW(Import(src, out), Error);
    EXPECT_EQ(src.log.back(), "ScreenUpdating=1");
    EXPECT_EQ(out.sink.events.back(), "EndGrid");
    EXPECT_EQ(out.table.cellAttrs.size(), 6u); // new size, records read so far
    EXPECT_EQ(out.table.at(1, 0).colW, 8);
    EXPECT_EQ(out.table.at(1, 1).colW, 0);
    EXPECT_EQ(out.table.at(1, 1).drawW, 0); // no layout pass

    // A sink that stops the import (a window being closed) is handled the same way.
    FakeSource again;
    again.range = {1, 1, 3, 1};
    Imported stopped;
    stopped.sink.onProgress = [](int row) {
        if (row == 2)
            throw std::runtime_error("closed");
    };
    EXPECT_THROW(Import(again, stopped), std::runtime_error);
    EXPECT_EQ(again.log.back(), "ScreenUpdating=1");
    EXPECT_EQ(stopped.sink.events.back(), "EndGrid");
}

TEST(ImportSelection, SecondSmallerImportReplacesEverything) {
    FakeSource big;
    big.range = {1, 1, 3, 3};
    big.fallback.mergeCells = true;
    big.fallback.mergeRows = 3;
    big.fallback.mergeColumns = 3;
    Imported out;
    Import(big, out);
    FakeSource small;
    small.range = {5, 5, 1, 2};
    Import(small, out);
    EXPECT_EQ(out.table.cellAttrs.size(), 2u);
    EXPECT_EQ(out.sink.texts.rows(), 1);
    EXPECT_EQ(out.sink.texts.cols(), 2);
    EXPECT_FALSE(out.table.at(0, 1).mark);
    EXPECT_EQ(out.sink.first, "E5");
    EXPECT_EQ(out.sink.last, "F5");
}

TEST(ImportSelection, SelectionsOutsideTheSheetOrTooLargeAreRefused) {
    const SelectionRange bad[] = {
        {1, 1, 0, 1},       {1, 1, 1, 0},     {0, 1, 1, 1},
        {1048576, 1, 2, 1}, {1, 16384, 1, 2}, {1, 1, 1048576, 16384}, // a whole sheet
    };
    for (const SelectionRange& r : bad) {
        FakeSource src;
        src.range = r;
        Imported out;
        EXPECT_THROW(Import(src, out), Error);
        EXPECT_EQ(src.log.back(), "ScreenUpdating=1");
        EXPECT_TRUE(out.table.cellAttrs.empty());
    }
}

TEST(ImportSelection, AbsurdSizesKeepTheirLow16Bits) {
    FakeSource src;
    src.fallback.columnWidth = 65536 + 12.4;
    src.fallback.rowHeight = -1;
    src.fallback.fontSize = 1e300;
    src.fallback.mergeRows = 70000;
    Imported out;
    Import(src, out);
    EXPECT_EQ(out.table.at(0, 0).colW, 12);
    EXPECT_EQ(out.table.at(0, 0).rowH, 65535);
    EXPECT_EQ(out.table.at(0, 0).mergerowYscount, 70000 - 65536);
}

} // namespace
} // namespace sheetlift
