// The Excel source against a fake Excel registered as the running "Excel.Application", which
// answers from a selection snapshot and records the calls that reach it.
#include "excel/ExcelSource.h"
#include "excel/Import.h"
#include "excel/Snapshot.h"
#include "model/Automation_win32.h"
#include "model/WinText_win32.h"
#include "win32/FakeAutomation.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace sheetlift {
namespace {

using test::FakeObject;
using test::ReturnInt;
using test::ReturnNumber;
using test::ReturnText;
using test::RunningServer;
using test::TransientObject;
using Args = std::vector<VARIANT*>;

constexpr CLSID kFakeClsid = {
    0x5e1f7a12, 0x0c4d, 0x4b7e, {0x9a, 0x51, 0x53, 0x68, 0x65, 0x65, 0x74, 0x6c}};
constexpr IID kApplication = {
    0x000208D5, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kWorksheet = {
    0x000208D8, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kRange = {
    0x00020846, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// An object whose one member Count answers n.
TransientObject* Counted(int n) {
    auto* object = new TransientObject;
    object->On(L"Count", [n](const Args&, VARIANT* r, LCID, WORD) { return ReturnInt(r, n); });
    return object;
}

// One cell's range, answering as Excel would from the snapshot's record.
TransientObject* CellRange(const SourceCell& c) {
    auto* range = new TransientObject(nullptr, {kRange});
    const auto number = [range](const wchar_t* name, double value) {
        range->On(name,
                  [value](const Args&, VARIANT* r, LCID, WORD) { return ReturnNumber(r, value); });
    };
    number(L"ColumnWidth", c.columnWidth);
    number(L"RowHeight", c.rowHeight);
    range->On(L"HorizontalAlignment", [c](const Args&, VARIANT* r, LCID, WORD) {
        return ReturnInt(r, c.horizontalAlignment);
    });
    range->On(L"Font", [c](const Args&, VARIANT* r, LCID, WORD) {
        auto* font = new TransientObject;
        font->On(L"Size",
                 [c](const Args&, VARIANT* r, LCID, WORD) { return ReturnNumber(r, c.fontSize); });
        return TransientObject::Return(r, font);
    });
    range->On(L"Text",
              [c](const Args&, VARIANT* r, LCID, WORD) { return ReturnText(r, Widen(c.text)); });
    range->On(L"Value2", [c](const Args&, VARIANT* r, LCID, WORD) {
        if (const auto* d = std::get_if<double>(&c.value2))
            return ReturnNumber(r, *d);
        if (const auto* t = std::get_if<std::string>(&c.value2))
            return ReturnText(r, Widen(*t));
        if (const auto* b = std::get_if<bool>(&c.value2)) {
            r->vt = VT_BOOL;
            r->boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    });
    range->On(L"Borders", [c](const Args& args, VARIANT* r, LCID, WORD) {
        static const std::map<int, BorderEdge> edges = {{8, kBorderTop},  {9, kBorderBottom},
                                                        {7, kBorderLeft}, {10, kBorderRight},
                                                        {5, kBorderDown}, {6, kBorderUp}};
        if (args.size() != 1 || args[0]->vt != VT_I4 || !edges.count(args[0]->lVal))
            return DISP_E_BADINDEX;
        const int style = c.borders[edges.at(args[0]->lVal)];
        auto* border = new TransientObject;
        border->On(L"LineStyle",
                   [style](const Args&, VARIANT* r, LCID, WORD) { return ReturnInt(r, style); });
        return TransientObject::Return(r, border);
    });
    range->On(L"MergeCells", [c](const Args&, VARIANT* r, LCID, WORD) {
        r->vt = VT_BOOL;
        r->boolVal = c.mergeCells ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
    range->On(L"MergeArea", [c](const Args&, VARIANT* r, LCID, WORD) {
        auto* area = new TransientObject(nullptr, {kRange});
        area->On(L"Rows", [c](const Args&, VARIANT* r, LCID, WORD) {
            return TransientObject::Return(r, Counted(c.mergeRows));
        });
        area->On(L"Columns", [c](const Args&, VARIANT* r, LCID, WORD) {
            return TransientObject::Return(r, Counted(c.mergeColumns));
        });
        area->On(L"Left",
                 [c](const Args&, VARIANT* r, LCID, WORD) { return ReturnNumber(r, c.mergeLeft); });
        area->On(L"Top",
                 [c](const Args&, VARIANT* r, LCID, WORD) { return ReturnNumber(r, c.mergeTop); });
        return TransientObject::Return(r, area);
    });
    return range;
}

// Excel's application, workbook, worksheet and selection over a snapshot.
class FakeExcel : public ::testing::Test {
  protected:
    void SetUp() override {
        snapshot_ =
            OpenSnapshotSource(std::string(SHEETLIFT_TEST_DATA) + "/snapshots/parts-list.json");
        snapshot_->Attach();
        app_.On(L"ScreenUpdating", [this](const Args& args, VARIANT*, LCID lcid, WORD flags) {
            if (closed_)
                return RPC_E_DISCONNECTED;
            if (!(flags & DISPATCH_PROPERTYPUT) || args.size() != 1 || args[0]->vt != VT_BOOL)
                return DISP_E_TYPEMISMATCH;
            screenUpdating_ = args[0]->boolVal != VARIANT_FALSE;
            log_.push_back(std::wstring(L"ScreenUpdating=") + (screenUpdating_ ? L"1" : L"0"));
            locales_.push_back(lcid);
            return S_OK;
        });
        app_.On(L"ActiveWorkbook", [this](const Args&, VARIANT* r, LCID, WORD) {
            return closed_ ? RPC_E_DISCONNECTED : book_.Return(r);
        });
        app_.On(L"ActiveSheet", [this](const Args&, VARIANT* r, LCID, WORD) {
            return closed_ ? RPC_E_DISCONNECTED : (sheetIsChart_ ? chart_ : sheet_).Return(r);
        });
        app_.On(L"Selection", [this](const Args&, VARIANT* r, LCID lcid, WORD) {
            log_.push_back(L"Selection");
            locales_.push_back(lcid);
            return closed_ ? RPC_E_DISCONNECTED
                           : (selectionIsShape_ ? shape_ : selection_).Return(r);
        });
        book_.On(L"Name", [this](const Args&, VARIANT* r, LCID, WORD) {
            return ReturnText(r, Widen(snapshot_->WorkbookName()));
        });
        sheet_.On(L"Name", [this](const Args&, VARIANT* r, LCID, WORD) {
            return ReturnText(r, Widen(snapshot_->SheetName()));
        });
        chart_.On(L"Name",
                  [](const Args&, VARIANT* r, LCID, WORD) { return ReturnText(r, L"Chart1"); });
        sheet_.On(L"Range", [this](const Args& args, VARIANT* r, LCID, WORD) {
            if (args.size() != 2 || args[0]->vt != VT_BSTR || args[1]->vt != VT_ERROR)
                return DISP_E_TYPEMISMATCH;
            const std::string address = Narrow(test::Text(args[0]));
            if (address == closeAt_)
                closed_ = true; // Excel was closed in the middle of the import
            if (closed_)
                return RPC_E_DISCONNECTED;
            return TransientObject::Return(r, CellRange(snapshot_->Cell(address)));
        });
        const SelectionRange range = snapshot_->Selection();
        const auto number = [this](const wchar_t* name, int value) {
            selection_.On(
                name, [value](const Args&, VARIANT* r, LCID, WORD) { return ReturnInt(r, value); });
        };
        number(L"Row", range.row);
        number(L"Column", range.column);
        selection_.On(L"Rows", [range](const Args&, VARIANT* r, LCID, WORD) {
            return TransientObject::Return(r, Counted(range.rows));
        });
        selection_.On(L"Columns", [range](const Args&, VARIANT* r, LCID, WORD) {
            return TransientObject::Return(r, Counted(range.columns));
        });
    }
    void TearDown() override {
        // Every range, font, border and area handed out was released again.
        EXPECT_EQ(TransientObject::live, 0);
        EXPECT_EQ(book_.refs(), 0);
        EXPECT_EQ(sheet_.refs(), 0);
        EXPECT_EQ(selection_.refs(), 0);
    }

    ComScope com_;
    std::unique_ptr<SelectionSource> snapshot_;
    FakeObject app_{nullptr, {kApplication}}, book_, sheet_{nullptr, {kWorksheet}}, chart_,
        selection_{nullptr, {kRange}}, shape_;
    std::vector<std::wstring> log_;
    std::vector<LCID> locales_;
    bool screenUpdating_ = true, closed_ = false, sheetIsChart_ = false, selectionIsShape_ = false;
    std::string closeAt_;
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
    RunningServer excel(L"Excel.Application", kFakeClsid, &app_);
    const auto source = MakeExcelSource();
    const Imported live = Import(*source);
    const Imported recorded = Import(*snapshot_);
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
    EXPECT_EQ(SnapshotJson(*MakeExcelSource()), SnapshotJson(*snapshot_));
    // The two calls with a locale argument get the user's locale.
    EXPECT_EQ(log_.front(), L"ScreenUpdating=0");
    EXPECT_EQ(log_.at(1), L"Selection");
    EXPECT_EQ(log_.at(2), L"ScreenUpdating=1");
    for (LCID lcid : locales_)
        EXPECT_EQ(lcid, GetUserDefaultLCID());
    EXPECT_TRUE(screenUpdating_);
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
    RunningServer other(L"Excel.Application", kFakeClsid, &notExcel);
    EXPECT_THROW(Import(*source), AttachError);
    EXPECT_TRUE(log_.empty());
}

TEST_F(FakeExcel, ChartSheetOrShapeSelectionFailsWithScreenUpdatingBackOn) {
    RunningServer excel(L"Excel.Application", kFakeClsid, &app_);
    sheetIsChart_ = true;
    EXPECT_THROW(Import(*MakeExcelSource()), Error);
    EXPECT_TRUE(screenUpdating_);
    sheetIsChart_ = false;
    selectionIsShape_ = true;
    log_.clear();
    EXPECT_THROW(Import(*MakeExcelSource()), Error);
    EXPECT_EQ(log_,
              (std::vector<std::wstring>{L"ScreenUpdating=0", L"Selection", L"ScreenUpdating=1"}));
}

TEST_F(FakeExcel, ExcelClosedMidReadFailsAndKeepsTheRowsRead) {
    RunningServer excel(L"Excel.Application", kFakeClsid, &app_);
    const SelectionRange range = snapshot_->Selection();
    closeAt_ = "C" + std::to_string(range.row + 1); // second row, second column
    CellTable table;
    TextGrid texts;
    TextGridSink sink(texts);
    EXPECT_THROW(ImportSelection(*MakeExcelSource(), sink, table, Settings{}), Error);
    EXPECT_EQ(table.cellRows, range.rows);
    EXPECT_EQ(texts.Text(0, 0), snapshot_->Cell("B" + std::to_string(range.row)).text);
}

} // namespace
} // namespace sheetlift
