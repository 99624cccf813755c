#include "excel/ExcelSource.h"

#include "model/Automation_win32.h"

#include <optional>
#include <windows.h>

namespace sheetlift {

namespace {

// Excel's interfaces: _Application, _Worksheet and Range.
constexpr IID kApplication = {
    0x000208D5, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kWorksheet = {
    0x000208D8, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kRange = {
    0x00020846, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Excel's Borders index of each edge, in the order of BorderEdge.
constexpr int kBorderIndex[] = {8, 9, 7, 10, 5, 6};

// Throws unless the object offers the interface (a chart sheet is no worksheet, a shape no
// range).
void Require(const Dispatch& object, const IID& iid, const char* what) {
    ComPtr<IUnknown> offered;
    Check(object.get()->QueryInterface(iid, offered.put_void()), what);
}

CellValue ToCellValue(const Variant& value) {
    switch (value.type()) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_ERROR: // #DIV/0! and the like: no value to compare, only their Text
        return std::monostate{};
    case VT_BOOL:
        return value.ToBool("Value2");
    case VT_BSTR:
        return value.ToText("Value2");
    default:
        return value.ToDouble("Value2");
    }
}

class ExcelSource : public SelectionSource {
  public:
    void Attach() override {
        try {
            const Dispatch app(GetRunningObject(L"Excel.Application"), GetUserDefaultLCID());
            Require(app, kApplication, "Excel.Application offers no Excel application");
            app_ = app;
        } catch (const Error&) {
            throw AttachError(kExcelProgId);
        }
    }

    void SetScreenUpdating(bool on) override { App().Put(L"ScreenUpdating", Variant(on)); }

    std::string WorkbookName() override {
        return App().GetObject(L"ActiveWorkbook").Get(L"Name").ToText("Workbook.Name");
    }

    std::string SheetName() override { return Sheet().Get(L"Name").ToText("Worksheet.Name"); }

    SelectionRange Selection() override {
        const Dispatch selection = App().GetObject(L"Selection");
        Require(selection, kRange, "The selection is not a range of cells");
        SelectionRange range;
        range.row = selection.Get(L"Row").ToInt("Selection.Row");
        range.column = selection.Get(L"Column").ToInt("Selection.Column");
        range.rows = selection.GetObject(L"Rows").Get(L"Count").ToInt("Selection.Rows.Count");
        range.columns =
            selection.GetObject(L"Columns").Get(L"Count").ToInt("Selection.Columns.Count");
        return range;
    }

    SourceCell Cell(const std::string& address) override {
        const Variant cell1(address);
        const Variant cell2 = Variant::Missing();
        const Dispatch range = Sheet().GetObject(L"Range", {&cell1, &cell2});
        SourceCell cell;
        cell.columnWidth = range.Get(L"ColumnWidth").ToDouble("ColumnWidth");
        cell.rowHeight = range.Get(L"RowHeight").ToDouble("RowHeight");
        cell.horizontalAlignment = range.Get(L"HorizontalAlignment").ToInt("HorizontalAlignment");
        cell.fontSize = range.GetObject(L"Font").Get(L"Size").ToDouble("Font.Size");
        cell.text = range.Get(L"Text").ToText("Text");
        cell.value2 = ToCellValue(range.Get(L"Value2"));
        for (int edge = 0; edge < 6; ++edge) {
            const Variant index(kBorderIndex[edge]);
            cell.borders[std::size_t(edge)] =
                range.GetObject(L"Borders", {&index}).Get(L"LineStyle").ToInt("LineStyle");
        }
        cell.mergeCells = range.Get(L"MergeCells").ToBool("MergeCells");
        const Dispatch area = range.GetObject(L"MergeArea");
        cell.mergeRows = area.GetObject(L"Rows").Get(L"Count").ToInt("MergeArea.Rows.Count");
        cell.mergeColumns =
            area.GetObject(L"Columns").Get(L"Count").ToInt("MergeArea.Columns.Count");
        cell.mergeLeft = area.Get(L"Left").ToDouble("MergeArea.Left");
        cell.mergeTop = area.Get(L"Top").ToDouble("MergeArea.Top");
        return cell;
    }

  private:
    const Dispatch& App() const {
        if (!app_)
            throw AttachError(kExcelProgId);
        return *app_;
    }
    const Dispatch& Sheet() {
        if (!sheet_) {
            Dispatch sheet = App().GetObject(L"ActiveSheet");
            Require(sheet, kWorksheet, "The active sheet is not a worksheet");
            sheet_ = std::move(sheet);
        }
        return *sheet_;
    }

    ComScope com_; // outlives the objects below
    std::optional<Dispatch> app_;
    std::optional<Dispatch> sheet_;
};

} // namespace

bool CanReadRunningExcel() {
    return true;
}

std::unique_ptr<SelectionSource> MakeExcelSource() {
    return std::make_unique<ExcelSource>();
}

} // namespace sheetlift
