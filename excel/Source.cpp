#include "excel/Source.h"

#include "model/NumberFormat.h"

namespace sheetlift {

std::string Value2Text(const CellValue& value) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(double number) const { return FormatGeneral(number); }
        std::string operator()(const std::string& text) const { return text; }
        std::string operator()(bool flag) const { return flag ? "True" : "False"; }
    };
    return std::visit(Visitor{}, value);
}

void CheckSelection(const SelectionRange& range) {
    if (range.rows < 1 || range.columns < 1 || range.row < 1 || range.column < 1 ||
        range.row > kMaxSheetRows - range.rows + 1 ||
        range.column > kMaxSheetColumns - range.columns + 1)
        throw Error("The selection (row " + std::to_string(range.row) + ", column " +
                    std::to_string(range.column) + ", " + std::to_string(range.rows) + " x " +
                    std::to_string(range.columns) + " cells) is not a range of the sheet");
    if (static_cast<long long>(range.rows) * range.columns > kMaxSelectionCells)
        throw Error("The selection of " + std::to_string(range.rows) + " x " +
                    std::to_string(range.columns) + " cells is larger than the " +
                    std::to_string(kMaxSelectionCells) + " cells Sheetlift can take at once");
}

} // namespace sheetlift
