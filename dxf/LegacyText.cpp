#include "dxf/LegacyText.h"

#include "textconv/LegacyCodepage.h"

#include <algorithm>

namespace sheetlift {

namespace {

// Every code page the DXF can be written in keeps ASCII as it is.
bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::string_view LegacyLines::Encode(const DrawingText& text) {
    lastLost_ = false;
    if (IsAscii(text.text))
        return text.text;
    bytes_.assign(text.text);
    bytes_ = EncodeLegacy(std::move(bytes_), &lastLost_);
    const CellRef cell{text.row, text.column};
    if (lastLost_ && (lost_.empty() || lost_.back() != cell))
        lost_.push_back(cell);
    return bytes_;
}

std::string_view LegacyLines::Shown(const DrawingText& text) {
    const std::string_view bytes = Encode(text);
    if (!lastLost_)
        return text.text;
    shown_ = DecodeLegacy(bytes);
    return shown_;
}

std::vector<std::string> CellNames(const CellTable& table, const std::vector<CellRef>& cells) {
    std::vector<std::string> names;
    names.reserve(cells.size());
    for (const CellRef& c : cells)
        names.push_back(CellAddress(table.firstRow + c.row, table.firstColumn + c.column));
    return names;
}

} // namespace sheetlift
