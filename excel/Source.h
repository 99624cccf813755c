// What the import needs to know of a spreadsheet selection, whatever answers it: a running
// Excel, a saved workbook or a recorded snapshot.
#pragma once

#include "model/CellLook.h"
#include "model/Error.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
    double mergeLeft = 0;    // points from the sheet's left edge
    double mergeTop = 0;     // points from the sheet's top edge
    double columnPoints = 0; // the column's width in points as the sheet displays it
    CellLook look;
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
// The longest text a cell holds, in UTF-16 units as Excel counts them.
constexpr std::size_t kMaxCellTextUnits = 32767;
// The length of UTF-8 `text` in UTF-16 units.
std::size_t Utf16Length(std::string_view text);

// A1 references, as users and files write them.
// "B3" or "$B$3" (letters in either case) at `at`, which it advances past: row and column from
// 1, limits not checked. Nothing when there is no address there.
std::optional<std::pair<long, long>> ParseAddress(std::string_view text, std::size_t& at);
// A cell or range without a sheet name ("A1:D9", corners in any order) within the sheet's
// limits; otherwise nothing, and `why` says what is wrong.
std::optional<SelectionRange> ParseCellRange(std::string_view text, std::string& why);
// A range that may name its sheet: "Sheet1!A1:D9", "'It''s'!A1".
struct RangeText {
    std::string sheet; // empty when the text names none
    SelectionRange range;
};
std::optional<RangeText> SplitRangeText(std::string_view text, std::string& why);
RangeText ParseRangeText(std::string_view text); // throws Error saying what is wrong

// Throws Error when the selection is empty, leaves the sheet or holds too many cells.
void CheckSelection(const SelectionRange& range);

// Attaching failed: no application to read from (its name goes into the user's message).
class AttachError : public Error {
  public:
    explicit AttachError(std::string progId)
        : Error(ErrorCode::NotRunning, {progId}), progId_(std::move(progId)) {}
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
