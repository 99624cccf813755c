// The Excel source against a fake Excel registered as the running "Excel.Application", which
// answers from a selection snapshot and records the calls that reach it.
#include "excel/ExcelSource.h"
#include "excel/Import.h"
#include "excel/Snapshot.h"
#include "model/Automation_win32.h"
#include "win32/FakeExcel.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace sheetlift {
namespace {

using test::FakeObject;
using test::kFakeExcelClsid;
using test::RunningServer;
using test::TransientObject;

// The fake Excel over the recorded parts list; every object it handed out comes back.
class FakeExcel : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(TransientObject::live, 0);
        EXPECT_TRUE(excel_.AllReleased());
    }

    ComScope com_;
    test::FakeExcel excel_{std::string(SHEETLIFT_TEST_DATA) + "/snapshots/parts-list.json"};
    SelectionSource& snapshot_ = *excel_.snapshot;
};

struct Imported {
    CellTable table;
    TextGrid texts;
};

Imported Import(SelectionSource& source) {
    Imported out;
    TextGridSink sink(out.texts);
    ImportSelection(source, sink, out.table, Settings{});
    return out;
}

TEST_F(FakeExcel, ImportEqualsTheSnapshotsImport) {
    RunningServer excel(L"Excel.Application", kFakeExcelClsid, &excel_.app);
    const auto source = MakeExcelSource();
    const Imported live = Import(*source);
    const Imported recorded = Import(snapshot_);
    ASSERT_EQ(live.table.cellRows, recorded.table.cellRows);
    ASSERT_EQ(live.table.cellCols, recorded.table.cellCols);
    for (int i = 0; i < live.table.cellRows; ++i)
        for (int j = 0; j < live.table.cellCols; ++j) {
            const auto &a = live.table.at(i, j), &b = recorded.table.at(i, j);
            EXPECT_EQ(live.texts.Text(i, j), recorded.texts.Text(i, j));
            EXPECT_EQ(a.str, b.str);
            EXPECT_EQ(std::tie(a.colW, a.rowH, a.txtSize, a.txtAlign, a.lineBits, a.cellMerge),
                      std::tie(b.colW, b.rowH, b.txtSize, b.txtAlign, b.lineBits, b.cellMerge))
                << i << "," << j;
            EXPECT_EQ(std::tie(a.mergerowYscount, a.mergecolXscount, a.mergeLeft, a.mergeTop),
                      std::tie(b.mergerowYscount, b.mergecolXscount, b.mergeLeft, b.mergeTop))
                << i << "," << j;
        }
    // The recorded snapshot of the live selection is the snapshot itself.
    EXPECT_EQ(SnapshotJson(*MakeExcelSource()), SnapshotJson(snapshot_));
    // The two calls with a locale argument get the user's locale.
    EXPECT_EQ(excel_.log.front(), L"ScreenUpdating=0");
    EXPECT_EQ(excel_.log.at(1), L"Selection");
    EXPECT_EQ(excel_.log.at(2), L"ScreenUpdating=1");
    for (LCID lcid : excel_.locales)
        EXPECT_EQ(lcid, GetUserDefaultLCID());
    EXPECT_TRUE(excel_.screenUpdating);
}

TEST_F(FakeExcel, NotRunningOrNotExcelFailsToAttach) {
    const auto source = MakeExcelSource();
    try {
        Import(*source);
        FAIL() << "attached";
    } catch (const AttachError& e) {
        EXPECT_EQ(e.progId(), "Excel.Application");
    }
    FakeObject notExcel;
    RunningServer other(L"Excel.Application", kFakeExcelClsid, &notExcel);
    EXPECT_THROW(Import(*source), AttachError);
    EXPECT_TRUE(excel_.log.empty());
}

TEST_F(FakeExcel, ChartSheetOrShapeSelectionFailsWithScreenUpdatingBackOn) {
    RunningServer excel(L"Excel.Application", kFakeExcelClsid, &excel_.app);
    excel_.sheetIsChart = true;
    EXPECT_THROW(Import(*MakeExcelSource()), Error);
    EXPECT_TRUE(excel_.screenUpdating);
    excel_.sheetIsChart = false;
    excel_.selectionIsShape = true;
    excel_.log.clear();
    EXPECT_THROW(Import(*MakeExcelSource()), Error);
    EXPECT_EQ(excel_.log,
              (std::vector<std::wstring>{L"ScreenUpdating=0", L"Selection", L"ScreenUpdating=1"}));
}

TEST_F(FakeExcel, ExcelClosedMidReadFailsAndKeepsTheRowsRead) {
    RunningServer excel(L"Excel.Application", kFakeExcelClsid, &excel_.app);
    const SelectionRange range = snapshot_.Selection();
    excel_.closeAt = "C" + std::to_string(range.row + 1); // second row, second column
    CellTable table;
    TextGrid texts;
    TextGridSink sink(texts);
    EXPECT_THROW(ImportSelection(*MakeExcelSource(), sink, table, Settings{}), Error);
    EXPECT_EQ(table.cellRows, range.rows);
    EXPECT_EQ(texts.Text(0, 0), snapshot_.Cell("B" + std::to_string(range.row)).text);
}

} // namespace
} // namespace sheetlift
