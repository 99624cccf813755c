#include "excel/Source.h"

#include "model/NumberFormat.h"

#include <algorithm>

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

bool ParseRangeText(std::string_view text, SelectionRange& range, std::string& sheet) {
    sheet.clear();
    if (const auto bang = text.rfind('!'); bang != std::string_view::npos) {
        std::string_view name = text.substr(0, bang);
        if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'') {
            name = name.substr(1, name.size() - 2);
            for (std::size_t k = 0; k < name.size(); ++k) {
                sheet += name[k];
                if (name[k] == '\'' && k + 1 < name.size() && name[k + 1] == '\'')
                    ++k; // '' stands for one quote
            }
        } else {
            sheet = name;
        }
        if (sheet.empty())
            return false;
        text = text.substr(bang + 1);
    }
    std::string upper; // "$A$1" and "a1" mean A1
    for (char c : text)
        if (c != '$')
            upper += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    const auto colon = upper.find(':');
    const std::string firstText = upper.substr(0, colon);
    const std::string lastText = colon == std::string::npos ? firstText : upper.substr(colon + 1);
    int r1, c1, r2, c2;
    if (!ParseCellAddress(firstText, r1, c1) || !ParseCellAddress(lastText, r2, c2))
        return false;
    range.row = std::min(r1, r2);
    range.column = std::min(c1, c2);
    range.rows = std::max(r1, r2) - range.row + 1;
    range.columns = std::max(c1, c2) - range.column + 1;
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
