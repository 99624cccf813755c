#include "excel/Source.h"

#include "model/NumberText.h"

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

std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (unsigned char c : text)
        units += (c & 0xC0) != 0x80 ? (c >= 0xF0 ? 2 : 1) : 0;
    return units;
}

void CheckSelection(const SelectionRange& range) {
    if (range.rows < 1 || range.columns < 1 || range.row < 1 || range.column < 1 ||
        range.row > kMaxSheetRows - range.rows + 1 ||
        range.column > kMaxSheetColumns - range.columns + 1)
        throw Error(ErrorCode::SelectionNotOnSheet,
                    {std::to_string(range.row), std::to_string(range.column),
                     std::to_string(range.rows), std::to_string(range.columns)});
    if (static_cast<long long>(range.rows) * range.columns > kMaxSelectionCells)
        throw Error(ErrorCode::SelectionTooLarge,
                    {std::to_string(range.rows), std::to_string(range.columns),
                     std::to_string(kMaxSelectionCells)});
}

} // namespace sheetlift
