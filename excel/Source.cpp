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

bool ParseCellAddress(std::string_view address, int& row, int& column) {
    std::size_t k = 0;
    long long col = 0;
    while (k < address.size() && address[k] >= 'A' && address[k] <= 'Z' && col <= kMaxSheetColumns)
        col = col * 26 + (address[k++] - 'A' + 1);
    long long r = 0;
    const std::size_t digits = k;
    while (k < address.size() && address[k] >= '0' && address[k] <= '9' && r <= kMaxSheetRows)
        r = r * 10 + (address[k++] - '0');
    if (digits == 0 || k == digits || k != address.size() || col > kMaxSheetColumns || r < 1 ||
        r > kMaxSheetRows)
        return false;
    row = int(r);
    column = int(col);
    return true;
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
