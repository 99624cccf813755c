// Text lines of the drawing in the legacy code page of the DXF file, and the cells whose texts
// it cannot carry in full (their characters become "?" or a look-alike).
#pragma once

#include "dxf/Drawing.h"

#include <string>
#include <string_view>
#include <vector>

namespace sheetlift {

struct CellRef {
    int row; // table row and column, from 0
    int column;
    bool operator==(const CellRef&) const = default;
};

class LegacyLines {
  public:
    // The line's bytes in the code page; valid until the next call.
    std::string_view Encode(const DrawingText& text);
    // The line as the DXF file shows it, in UTF-8; valid until the next call.
    std::string_view Shown(const DrawingText& text);
    // Each cell once, in the order of the drawing.
    const std::vector<CellRef>& LostCells() const { return lost_; }

  private:
    std::string bytes_;
    std::string shown_;
    std::vector<CellRef> lost_;
    bool lastLost_ = false;
};

// The A1 addresses of the cells, as the sheet names them.
std::vector<std::string> CellNames(const CellTable& table, const std::vector<CellRef>& cells);

} // namespace sheetlift
