// What the import needs to know of a spreadsheet selection, whatever answers it: a running
// Excel, a saved workbook or a recorded snapshot.
#pragma once

#include "model/Error.h"

#include <array>
#include <string>
#include <string_view>
#include <variant>

namespace sheetlift {

// Excel's XlLineStyle value for "no line".
constexpr int kLineStyleNone = -4142;

// Excel's XlHAlign values.
enum HorizontalAlignment : int {
    kAlignGeneral = 1,
    kAlignLeft = -4131,
    kAlignCenter = -4108,
    kAlignRight = -4152,
    kAlignFill = 5,
    kAlignJustify = -4130,
    kAlignCenterAcrossSelection = 7,
    kAlignDistributed = -4117,
};

// Value2: nothing, a number, a text or a boolean.
using CellValue = std::variant<std::monostate, double, std::string, bool>;

// Border edges in the order the import reads them: Excel's Borders(8), (9), (7), (10), (5), (6).
enum BorderEdge { kBorderTop, kBorderBottom, kBorderLeft, kBorderRight, kBorderDown, kBorderUp };

struct SourceCell {
    double columnWidth = 0; // characters of the standard font
    double rowHeight = 0;   // points
    int horizontalAlignment = kAlignGeneral;
    double fontSize = 0; // points
    std::string text;    // as displayed (UTF-8)
    CellValue value2;
    std::array<int, 6> borders{kLineStyleNone, kLineStyleNone, kLineStyleNone,
                               kLineStyleNone, kLineStyleNone, kLineStyleNone};
    bool mergeCells = false;
    int mergeRows = 1;
    int mergeColumns = 1;
    double mergeLeft = 0; // points from the sheet's left edge
    double mergeTop = 0;  // points from the sheet's top edge
};

struct SelectionRange {
    int row = 1;    // first row, from 1
    int column = 1; // first column, from 1
    int rows = 1;
    int columns = 1;
};

// The sheet's limits, and how many cells one selection may hold: a whole-column selection
// would otherwise ask for billions of records.
constexpr int kMaxSheetRows = 1048576;
constexpr int kMaxSheetColumns = 16384;
constexpr long long kMaxSelectionCells = 2'000'000;

// "B3" -> row 3, column 2; false unless it is one cell address within the sheet's limits.
bool ParseCellAddress(std::string_view address, int& row, int& column);

// Throws Error when the selection is empty, leaves the sheet or holds too many cells.
void CheckSelection(const SelectionRange& range);

// Attaching failed: no application to read from (its name goes into the user's message).
class AttachError : public Error {
  public:
    explicit AttachError(std::string progId)
        : Error("Cannot attach to " + progId), progId_(std::move(progId)) {}
    const std::string& progId() const { return progId_; }

  private:
    std::string progId_;
};

class SelectionSource {
  public:
    virtual ~SelectionSource() = default;
    virtual void Attach() = 0; // throws AttachError
    virtual void SetScreenUpdating(bool on) = 0;
    virtual std::string WorkbookName() = 0;
    virtual std::string SheetName() = 0;
    virtual SelectionRange Selection() = 0;
    // One cell of the active sheet by its A1 address ("B3").
    virtual SourceCell Cell(const std::string& address) = 0;
};

// The text of Value2 as the import compares it: "" for nothing, "True"/"False", numbers in
// general notation with up to 15 significant digits and "." as separator.
std::string Value2Text(const CellValue& value);

} // namespace sheetlift
