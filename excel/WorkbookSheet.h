// The workbook source: it reads the workbook part and finds the sheet (WorkbookSource.cpp), the
// styles (WorkbookStyles.cpp) and that sheet's columns, rows, cells and merged areas
// (WorkbookSheet.cpp), all at open; Cell() then answers from these tables.
#pragma once

#include "excel/WorkbookSource.h"
#include "excel/WorkbookStyles.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace sheetlift::workbook {

enum class ValueKind : std::uint8_t { Empty, Number, Text, Boolean, Error };

struct StoredCell {
    double number = 0;       // Number, Boolean
    std::uint32_t text = 0;  // Text, Error: index into texts_
    std::uint32_t style = 0; // index into styles_
    ValueKind kind = ValueKind::Empty;
};

struct RowInfo {
    long row;
    double height; // points, 0 when hidden
    long style;    // -1: none
};

struct Merge {
    long top, left, bottom, right;
};

class WorkbookSource : public SelectionSource {
  public:
    // `fileName` is the workbook's name; `displayName` names the file in messages.
    WorkbookSource(const std::string& bytes, const std::string& fileName,
                   const std::string& displayName, const WorkbookOptions& options);

    void Attach() override {}
    void SetScreenUpdating(bool) override {}
    std::string WorkbookName() override { return workbookName_; }
    std::string SheetName() override { return sheetName_; }
    SelectionRange Selection() override { return selection_; }
    SourceCell Cell(const std::string& address) override;

  private:
    void ReadSharedStrings(Package& package, const std::string& name);
    void ReadSheet(Package& package, const std::string& name, const std::string& rangeText);
    void ReadColumns(pugi::xml_node root, Package& package, const std::string& name);
    StoredCell ReadCell(pugi::xml_node c, Package& package, const std::string& part, long row,
                        long column);
    std::uint32_t AddText(std::string text, Package& package, const std::string& part);
    long StyleAt(long row, long column) const;
    const RowInfo* FindRow(long row) const;
    double RowHeight(long row) const;
    double RowTop(long row) const;
    const Merge* FindMerge(long row, long column);

    std::string workbookName_, sheetName_;
    SelectionRange selection_;
    bool date1904_ = false;
    std::vector<std::string> sharedStrings_;
    std::vector<std::string> texts_;
    Styles styles_;

    std::vector<double> columnWidth_;  // characters, by column (index 0 unused)
    std::vector<double> columnLeft_;   // points from the sheet's left edge
    std::vector<long> columnStyle_;    // -1: none
    std::vector<RowInfo> rows_;        // rows with their own height or style, ascending
    std::vector<double> rowTopOffset_; // sum of (height - default) of rows_[0..i)
    double defaultRowHeight_ = 15;
    std::unordered_map<std::uint64_t, StoredCell> cells_;
    std::vector<Merge> merges_;
    long mergeRow_ = 0; // the row whose merged areas mergesOfRow_ holds
    std::vector<const Merge*> mergesOfRow_;
};

} // namespace sheetlift::workbook
