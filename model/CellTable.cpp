#include "model/CellTable.h"

#include "model/Settings.h"

#include <algorithm>

namespace sheetlift {

namespace {

// The merged area anchored at (i, j), cut down to the table where a selection ends inside it.
// Counts below 1 read as 1.
struct Extent {
    int cols;
    int rows;
};

Extent AreaExtent(const CellTable& table, int i, int j) {
    const TXlsxCellAttr& p = table.at(i, j);
    return {std::clamp<int>(p.mergecolXscount, 1, table.cellCols - j),
            std::clamp<int>(p.mergerowYscount, 1, table.cellRows - i)};
}

bool IsAnchor(const TXlsxCellAttr& cell) {
    return cell.cellMerge && !cell.mark;
}

// Marks every cell of the area but its anchor as covered and gives each cell the outline edges
// it lies on.
void MarkArea(CellTable& table, int i, int j, Extent area) {
    for (int k = 0; k < area.rows; ++k) {
        for (int l = 0; l < area.cols; ++l) {
            TXlsxCellAttr& q = table.at(i + k, j + l);
            q.mark = k > 0 || l > 0;
            q.mergeBits = 0;
            if (k == 0)
                q.mergeBits |= kEdgeTop;
            if (k == area.rows - 1)
                q.mergeBits |= kEdgeBottom;
            if (l == 0)
                q.mergeBits |= kEdgeLeft;
            if (l == area.cols - 1)
                q.mergeBits |= kEdgeRight;
        }
    }
}

} // namespace

void CalcCellLayout(CellTable& table, const Settings& settings) {
    if (table.empty())
        return;
    for (int i = 0; i < table.cellRows; ++i) {
        for (int j = 0; j < table.cellCols; ++j) {
            TXlsxCellAttr& p = table.at(i, j);
            p.drawMW = 0;
            p.drawMH = 0;
            if (IsAnchor(p)) {
                const Extent area = AreaExtent(table, i, j);
                MarkArea(table, i, j, area);
                long long w = 0;
                for (int l = 0; l < area.cols; ++l)
                    w += table.at(i, j + l).colW;
                long long h = 0;
                for (int k = 0; k < area.rows; ++k)
                    h += table.at(i + k, j).rowH;
                p.mergeW = std::uint16_t(w);
                p.mergeH = std::uint16_t(h);
                p.drawMW = double(w) * settings.cadXsc;
                p.drawMH = double(h) * settings.cadYsc;
            }
            p.drawW = p.colW * settings.cadXsc;
            p.drawH = p.rowH * settings.cadYsc;
            p.drawTH = p.txtSize * settings.cadTsc;
        }
    }
}

void RecalcMergedSizes(CellTable& table) {
    if (table.empty())
        return;
    for (int i = 0; i < table.cellRows; ++i) {
        for (int j = 0; j < table.cellCols; ++j) {
            TXlsxCellAttr& p = table.at(i, j);
            if (!IsAnchor(p)) {
                p.drawMH = 0;
                p.drawMW = 0;
                continue;
            }
            const auto [c, r] = AreaExtent(table, i, j);
            p.drawMW = p.drawW;
            for (int k = 1; k < c; ++k)
                p.drawMW += table.at(i, j + k).drawW;
            p.drawMH = p.drawH;
            for (int k = 1; k < r; ++k)
                p.drawMH += table.at(i + k, j).drawH;
        }
    }
}

std::string ColumnLetters(std::int32_t n) {
    std::string letters;
    for (; n > 0; n /= 26) {
        --n;
        letters.insert(letters.begin(), char('A' + n % 26));
    }
    return letters;
}

std::string CellAddress(std::int32_t row, std::int32_t column) {
    return ColumnLetters(column) + std::to_string(row);
}

} // namespace sheetlift
