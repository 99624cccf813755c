#include "excel/Import.h"

#include "textconv/TextFunctions.h"

#include <cmath>
#include <limits>
#include <unordered_map>

namespace sheetlift {

namespace {

// Rounded to the nearest integer, ties to even, keeping the low 16 bits.
std::uint16_t RoundLow16(double value) {
    const double r = std::nearbyint(value);
    if (!std::isfinite(r))
        return 0;
    double m = std::fmod(r, 65536.0);
    if (m < 0)
        m += 65536.0;
    return std::uint16_t(m);
}

std::uint16_t Low16(int value) {
    return std::uint16_t(static_cast<unsigned>(value));
}

// The integer part of a pixel size, saturated to what a widget can take.
int Pixels(double value) {
    if (!(value > 0))
        return 0;
    return value >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                    : static_cast<int>(value);
}

std::uint8_t AlignFromExcel(int horizontalAlignment) {
    switch (horizontalAlignment) {
    case kAlignLeft:
        return 1;
    case kAlignCenter:
        return 2;
    case kAlignRight:
        return 3;
    default:
        return 0;
    }
}

std::uint8_t LineBitsFrom(const std::array<int, 6>& borders) {
    static constexpr std::uint8_t kBits[6] = {kEdgeTop,   kEdgeBottom,   kEdgeLeft,
                                              kEdgeRight, kDiagonalDown, kDiagonalUp};
    std::uint8_t bits = 0;
    for (int k = 0; k < 6; ++k)
        if (borders[k] != kLineStyleNone)
            bits |= kBits[k];
    return bits;
}

// Switches the source's screen updating back on however the import ends.
class ScreenUpdatingOff {
  public:
    explicit ScreenUpdatingOff(SelectionSource& source) : source_(source) {
        source_.SetScreenUpdating(false);
    }
    ~ScreenUpdatingOff() {
        try {
            source_.SetScreenUpdating(true);
        } catch (...) {
            // The application went away; nothing left to restore.
        }
    }
    ScreenUpdatingOff(const ScreenUpdatingOff&) = delete;
    ScreenUpdatingOff& operator=(const ScreenUpdatingOff&) = delete;

  private:
    SelectionSource& source_;
};

// Gives each distinct look one index: a table has few looks and many cells.
class LookIndex {
  public:
    explicit LookIndex(std::vector<CellLook>& looks) : looks_(looks) {
        looks_.assign(1, CellLook{});
        byLook_.emplace(looks_[0], 0);
    }
    std::uint32_t operator()(const CellLook& look) {
        if (looks_[last_] == look) // neighbours mostly look alike
            return last_;
        const auto [at, added] = byLook_.try_emplace(look, std::uint32_t(looks_.size()));
        if (added)
            looks_.push_back(look);
        return last_ = at->second;
    }

  private:
    struct Hash {
        std::size_t operator()(const CellLook& look) const {
            std::size_t h = std::size_t(look.horizontal) | std::size_t(look.vertical) << 4 |
                            std::size_t(look.wrap) << 8 | std::size_t(look.shrink) << 9 |
                            std::size_t(look.rotation) << 10;
            for (const BorderLook& b : look.borders)
                h = h * 1000003u ^
                    (std::size_t(b.style) | std::size_t(b.weight) << 4 | std::size_t(b.color) << 8);
            return h;
        }
    };
    std::vector<CellLook>& looks_;
    std::unordered_map<CellLook, std::uint32_t, Hash> byLook_;
    std::uint32_t last_ = 0;
};

class GridBatch {
  public:
    GridBatch(ImportSink& sink, int rows, int columns) : sink_(sink) {
        sink_.BeginGrid(rows, columns);
    }
    ~GridBatch() { sink_.EndGrid(); }
    GridBatch(const GridBatch&) = delete;
    GridBatch& operator=(const GridBatch&) = delete;

  private:
    ImportSink& sink_;
};

} // namespace

void ImportSelection(SelectionSource& source, ImportSink& sink, CellTable& table,
                     const Settings& settings) {
    source.Attach();
    ScreenUpdatingOff screenUpdating(source);

    const std::string workbook = source.WorkbookName();
    const std::string sheet = source.SheetName();
    sink.SetCaption(workbook + " [" + sheet + "]");

    const SelectionRange sel = source.Selection();
    CheckSelection(sel);
    const int rows = sel.rows;
    const int cols = sel.columns;
    sink.SetAddresses(CellAddress(sel.row, sel.column),
                      CellAddress(sel.row + rows - 1, sel.column + cols - 1));

    GridBatch batch(sink, rows, cols);
    // Fresh records throughout: nothing of a previous table survives, even after a failure.
    table.cellAttrs.assign(std::size_t(rows) * cols, TXlsxCellAttr{});
    table.cellCols = cols;
    table.cellRows = rows;
    table.firstRow = sel.row;
    table.firstColumn = sel.column;
    table.cellLooks.assign(std::size_t(rows) * cols, 0);
    table.colPoints.assign(cols, 0);
    table.rowPoints.assign(rows, 0);
    LookIndex lookIndex(table.looks);

    for (int i = 0; i < rows; ++i) {
        const int r = sel.row + i;
        sink.Progress(i + 1, rows);
        sink.SetRowHeader(i, std::to_string(r));
        for (int j = 0; j < cols; ++j) {
            const std::string letters = ColumnLetters(sel.column + j);
            const SourceCell cell = source.Cell(letters + std::to_string(r));
            TXlsxCellAttr rec;
            rec.colW = RoundLow16(cell.columnWidth);
            if (i == 0) {
                table.colPoints[j] = cell.columnPoints;
                sink.SetColumnWidth(j, Pixels(rec.colW * settings.colXsc));
                sink.SetColumnHeader(j, letters);
            }
            rec.rowH = RoundLow16(cell.rowHeight);
            if (j == 0) {
                table.rowPoints[i] = cell.rowHeight;
                sink.SetRowHeight(i, Pixels(rec.rowH * settings.rowYsc));
            }
            rec.txtAlign = AlignFromExcel(cell.horizontalAlignment);
            rec.txtSize = RoundLow16(cell.fontSize);
            // The text goes to the grid alone: nothing reads the record's copy, which would
            // hold every text of a large table twice.
            sink.SetCellText(i, j, cell.text);
            // A general-aligned cell whose value reads as a number goes right, as in Excel.
            if (rec.txtAlign == 0) {
                const std::string value = Value2Text(cell.value2);
                if (!value.empty() && IsNumericText(value))
                    rec.txtAlign = 3;
            }
            rec.lineBits = LineBitsFrom(cell.borders);
            rec.cellMerge = cell.mergeCells;
            rec.mergerowYscount = Low16(cell.mergeRows);
            rec.mergecolXscount = Low16(cell.mergeColumns);
            rec.mergeLeft = RoundLow16(cell.mergeLeft);
            rec.mergeTop = RoundLow16(cell.mergeTop);
            table.cellLooks[std::size_t(i) * cols + j] = lookIndex(cell.look);
            table.at(i, j) = std::move(rec);
        }
    }
    CalcCellLayout(table, settings);
}

} // namespace sheetlift
