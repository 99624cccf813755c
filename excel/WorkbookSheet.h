// The workbook source: it reads the workbook part and finds the sheet (WorkbookSource.cpp), the
// styles (WorkbookStyles.cpp) and that sheet's columns, rows, cells and merged areas
// (WorkbookSheet.cpp), all at open; Cell() then answers from these tables.
#pragma once

#include "excel/CellFormat.h"
#include "excel/WorkbookSource.h"
#include "excel/WorkbookStyles.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace sheetlift::workbook {

enum class ValueKind : std::uint8_t { Absent, Empty, Number, Text, Boolean, Error };

// A cell as the sheet stores it; Absent where it has no <c> element.
struct StoredCell {
    union {
        double number = 0;  // Number, Boolean
        std::uint32_t text; // Text, Error: index into the source's texts
    };
    std::uint32_t style = 0; // index into styles_
    ValueKind kind = ValueKind::Absent;
};

// Texts one after another in one block: no heap block per text.
class TextList {
  public:
    std::uint32_t Add(std::string_view text) {
        bytes_ += text;
        ends_.push_back(std::uint32_t(bytes_.size()));
        return std::uint32_t(ends_.size() - 1);
    }
    std::string_view operator[](std::uint32_t i) const {
        const std::uint32_t from = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(bytes_).substr(from, ends_[i] - from);
    }
    std::size_t size() const { return ends_.size(); }
    void Truncate(std::size_t count) {
        ends_.resize(count);
        bytes_.resize(count == 0 ? 0 : ends_.back());
    }

  private:
    std::string bytes_; // a part holds at most 256 MiB: 32-bit ends suffice
    std::vector<std::uint32_t> ends_;
};

// The cells of a rectangle of the sheet, row-major. It grows to take the cells as they come
// (from the size the sheet states, when it states one) up to a bound that a hostile sheet
// cannot push it past.
class CellStore {
  public:
    static constexpr std::size_t kMaxCells = std::size_t(1) << 23;

    // Rows top..bottom and columns left..right, from 1; cells outside are never stored.
    void Fix(long top, long left, long bottom, long right);
    // Sized for that rectangle, which it may still grow past.
    void Reserve(long top, long left, long bottom, long right);
    // False when the cell lies outside and the store may not grow to take it.
    bool Put(long row, long column, const StoredCell& cell);
    const StoredCell* Find(long row, long column) const {
        if (row < top_ || column < left_ || row >= top_ + rows_ || column >= left_ + columns_)
            return nullptr;
        const StoredCell& cell =
            cells_[std::size_t(row - top_) * std::size_t(columns_) + std::size_t(column - left_)];
        return cell.kind == ValueKind::Absent ? nullptr : &cell;
    }

  private:
    void Resize(long top, long left, long rows, long columns);

    long top_ = 1, left_ = 1, rows_ = 0, columns_ = 0;
    bool fixed_ = false;
    std::vector<StoredCell> cells_;
};

struct RowInfo {
    long row;
    double height; // points, 0 when hidden; NaN while the sheet's default is not yet known
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
    struct SheetPass; // what one reading of the sheet's cells gathers

    void ReadSharedStrings(Package& package, const std::string& name);
    void ReadSheet(Package& package, const std::string& name, const std::string& rangeText);
    void ReadCells(Package& package, const std::string& name, SheetPass& pass);
    void ReadColumns(pugi::xml_node root, Package& package, const std::string& name);
    std::uint32_t AddText(std::string_view text, Package& package, const std::string& part);
    long StyleAt(long row, long column) const;
    const RowInfo* FindRow(long row) const;
    double RowHeight(long row) const;
    double RowTop(long row) const;
    const Merge* FindMerge(long row, long column);

    std::string workbookName_, sheetName_;
    SelectionRange selection_;
    bool date1904_ = false;
    TextList texts_; // the shared strings first, then the cells' own texts
    std::uint32_t sharedCount_ = 0;
    Styles styles_;
    std::vector<std::optional<DisplayFormat>> formats_; // by style index, parsed when first used

    std::vector<double> columnWidth_;  // characters, by column (index 0 unused)
    std::vector<double> columnLeft_;   // points from the sheet's left edge
    std::vector<long> columnStyle_;    // -1: none
    std::vector<RowInfo> rows_;        // rows with their own height or style, ascending
    std::vector<double> rowTopOffset_; // sum of (height - default) of rows_[0..i)
    double defaultRowHeight_ = 15;
    CellStore cells_;
    std::vector<Merge> merges_;
    long mergeRow_ = 0; // the row whose merged areas mergesOfRow_ holds
    std::vector<const Merge*> mergesOfRow_;
};

} // namespace sheetlift::workbook
