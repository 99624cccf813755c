// A fake Excel registered as the running "Excel.Application" by the tests: application,
// workbook, worksheet and selection objects answering from a saved selection (a snapshot or a
// workbook's active selection), recording the calls that reach them, and able to act as a chart
// sheet, a shape selection or an Excel closed in the middle of an import.
#pragma once

#include "excel/OpenSource.h"
#include "model/WinText_win32.h"
#include "win32/FakeAutomation.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sheetlift::test {

constexpr CLSID kFakeExcelClsid = {
    0x5e1f7a12, 0x0c4d, 0x4b7e, {0x9a, 0x51, 0x53, 0x68, 0x65, 0x65, 0x74, 0x6c}};
constexpr IID kExcelApplication = {
    0x000208D5, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kExcelWorksheet = {
    0x000208D8, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kExcelRange = {
    0x00020846, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

using Args = std::vector<VARIANT*>;

// An object whose one member Count answers n.
inline TransientObject* Counted(int n) {
    auto* object = new TransientObject;
    object->On(L"Count", [n](const Args&, VARIANT* r, LCID, WORD) { return ReturnInt(r, n); });
    return object;
}

// One cell's range, answering as Excel would from the snapshot's record.
inline TransientObject* CellRange(const SourceCell& c) {
    auto* range = new TransientObject(nullptr, {kExcelRange});
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
        auto* area = new TransientObject(nullptr, {kExcelRange});
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

// Excel's application, workbook, worksheet and selection over a saved selection. Register `app`
// with RunningServer(L"Excel.Application", kFakeExcelClsid, &excel.app).
class FakeExcel {
  public:
    explicit FakeExcel(const std::filesystem::path& selectionFile)
        : snapshot(OpenSelectionFile(selectionFile)) {
        snapshot->Attach();
        app.On(L"ScreenUpdating", [this](const Args& args, VARIANT*, LCID lcid, WORD flags) {
            if (closed)
                return RPC_E_DISCONNECTED;
            if (!(flags & DISPATCH_PROPERTYPUT) || args.size() != 1 || args[0]->vt != VT_BOOL)
                return DISP_E_TYPEMISMATCH;
            screenUpdating = args[0]->boolVal != VARIANT_FALSE;
            log.push_back(std::wstring(L"ScreenUpdating=") + (screenUpdating ? L"1" : L"0"));
            locales.push_back(lcid);
            return S_OK;
        });
        app.On(L"ActiveWorkbook", [this](const Args&, VARIANT* r, LCID, WORD) {
            return closed ? RPC_E_DISCONNECTED : book.Return(r);
        });
        app.On(L"ActiveSheet", [this](const Args&, VARIANT* r, LCID, WORD) {
            return closed ? RPC_E_DISCONNECTED : (sheetIsChart ? chart : sheet).Return(r);
        });
        app.On(L"Selection", [this](const Args&, VARIANT* r, LCID lcid, WORD) {
            log.push_back(L"Selection");
            locales.push_back(lcid);
            return closed ? RPC_E_DISCONNECTED : (selectionIsShape ? shape : selection).Return(r);
        });
        book.On(L"Name", [this](const Args&, VARIANT* r, LCID, WORD) {
            return ReturnText(r, Widen(snapshot->WorkbookName()));
        });
        sheet.On(L"Name", [this](const Args&, VARIANT* r, LCID, WORD) {
            return ReturnText(r, Widen(snapshot->SheetName()));
        });
        chart.On(L"Name",
                 [](const Args&, VARIANT* r, LCID, WORD) { return ReturnText(r, L"Chart1"); });
        sheet.On(L"Range", [this](const Args& args, VARIANT* r, LCID, WORD) {
            if (args.size() != 2 || args[0]->vt != VT_BSTR || args[1]->vt != VT_ERROR)
                return DISP_E_TYPEMISMATCH;
            const std::string address = Narrow(Text(args[0]));
            if (address == closeAt)
                closed = true; // Excel was closed in the middle of the import
            if (closed)
                return RPC_E_DISCONNECTED;
            return TransientObject::Return(r, CellRange(snapshot->Cell(address)));
        });
        const SelectionRange range = snapshot->Selection();
        const auto number = [this](const wchar_t* name, int value) {
            selection.On(
                name, [value](const Args&, VARIANT* r, LCID, WORD) { return ReturnInt(r, value); });
        };
        number(L"Row", range.row);
        number(L"Column", range.column);
        selection.On(L"Rows", [range](const Args&, VARIANT* r, LCID, WORD) {
            return TransientObject::Return(r, Counted(range.rows));
        });
        selection.On(L"Columns", [range](const Args&, VARIANT* r, LCID, WORD) {
            return TransientObject::Return(r, Counted(range.columns));
        });
    }
    FakeExcel(const FakeExcel&) = delete;
    FakeExcel& operator=(const FakeExcel&) = delete;

    // Every workbook, sheet and selection reference handed out was given back (the ranges,
    // fonts, borders and areas are counted by TransientObject::live).
    bool AllReleased() const {
        return book.refs() == 0 && sheet.refs() == 0 && selection.refs() == 0;
    }

    std::unique_ptr<SelectionSource> snapshot;
    FakeObject app{nullptr, {kExcelApplication}}, book, sheet{nullptr, {kExcelWorksheet}}, chart,
        selection{nullptr, {kExcelRange}}, shape;
    std::vector<std::wstring> log;
    std::vector<LCID> locales;
    bool screenUpdating = true, closed = false, sheetIsChart = false, selectionIsShape = false;
    std::string closeAt; // the address whose read finds Excel closed
};

} // namespace sheetlift::test
