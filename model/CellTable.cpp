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

} // namespace

void CalcCellLayout(CellTable& table, const Settings& settings) {
    if (table.empty())
        return;
    for (int i = 0; i < table.cellRows; ++i) {
        for (int j = 0; j < table.cellCols; ++j) {
            TXlsxCellAttr& p = table.at(i, j);
            if (!IsAnchor(p)) {
                p.drawMH = 0;
                p.drawMW = 0;
            } else {
                const auto [c, r] = AreaExtent(table, i, j);
                p.mergeBits = kEdgeTop | kEdgeLeft;
                if (c == 1)
                    p.mergeBits |= kEdgeRight;
                if (r == 1)
                    p.mergeBits |= kEdgeBottom;
                long long w = p.colW;
                for (int k = 1; k < c; ++k) {
                    TXlsxCellAttr& q = table.at(i, j + k);
                    q.mark = true;
                    q.mergeBits = kEdgeTop;
                    if (r == 1)
                        q.mergeBits |= kEdgeBottom;
                    if (k == c - 1)
                        q.mergeBits |= kEdgeRight;
                    w += q.colW;
                }
                p.mergeW = std::uint16_t(w);
                p.drawMW = double(w) * settings.cadXsc;
                long long h = p.rowH;
                for (int k = 1; k < r; ++k) {
                    TXlsxCellAttr& q = table.at(i + k, j);
                    q.mark = true;
                    q.mergeBits = kEdgeLeft;
                    if (k == r - 1)
                        q.mergeBits |= kEdgeBottom;
                    if (c == 1)
                        q.mergeBits |= kEdgeRight;
                    h += q.rowH;
                    for (int l = 1; l < c; ++l) {
                        TXlsxCellAttr& s = table.at(i + k, j + l);
                        s.mark = true;
                        s.mergeBits = 0;
                        if (l == c - 1)
                            s.mergeBits |= kEdgeRight;
                        if (k == r - 1)
                            s.mergeBits |= kEdgeBottom;
                    }
                }
                p.mergeH = std::uint16_t(h);
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
    while (n > 0) {
        int r = n % 26;
        int q = n / 26;
        if (r == 0) {
            r = 26;
            q -= 1;
        }
        letters.insert(letters.begin(), char(64 + r));
        n = q;
    }
    return letters;
}

} // namespace sheetlift
