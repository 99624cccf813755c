#include "dxf/RuleLines.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace sheetlift {

namespace {

bool Same(double a, double b) {
    return SameWithin(a, b, kLineEps);
}

// Along-coordinate of a segment end: y for vertical, x for horizontal segments.
double& Along(TAcadPoint& p, bool vertical) {
    return vertical ? p.y : p.x;
}

// The passes as they stand. Used for segments without grid positions and for grids whose
// edges lie so close that "same within eps" is not transitive on them.
void ConsolidatePairwise(std::vector<TXlsxKeisen>& s, bool vertical) {
    const auto line = [vertical](const TXlsxKeisen& k) { return vertical ? k.stpt.x : k.stpt.y; };
    const std::size_t n = s.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (s[i].mark)
            continue;
        for (std::size_t j = i + 1; j < n; ++j)
            if (!s[j].mark && Same(line(s[j]), line(s[i])) && Same(s[j].stpt.x, s[i].edpt.x) &&
                Same(s[j].stpt.y, s[i].edpt.y)) {
                Along(s[i].edpt, vertical) = Along(s[j].edpt, vertical);
                s[j].mark = true;
            }
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (s[i].mark)
            continue;
        const double si = Along(s[i].stpt, vertical), ei = Along(s[i].edpt, vertical);
        for (std::size_t j = i + 1; j < n; ++j) {
            if (s[j].mark || !Same(line(s[j]), line(s[i])))
                continue;
            const double sj = Along(s[j].stpt, vertical), ej = Along(s[j].edpt, vertical);
            if ((Same(sj, si) && Same(ej, ei)) || (Same(sj, ei) && Same(ej, si)))
                s[j].mark = true;
        }
    }
}

// Numbers the edges so that two edges get the same number exactly when they are the same
// within eps. That holds when the edges are finite and monotone and every run of neighbours
// that are the same spans no more than eps: then the runs are the classes (monotone rounding
// keeps edges of different runs further apart than the neighbours where the runs meet).
// Returns false when the edges are not like that.
bool ClassifyEdges(const std::vector<double>& v, std::vector<std::uint32_t>& cls) {
    if (!std::is_sorted(v.begin(), v.end()) && !std::is_sorted(v.rbegin(), v.rend()))
        return false;
    cls.assign(v.size(), 0);
    std::size_t runStart = 0;
    for (std::size_t k = 0; k < v.size(); ++k) {
        if (!std::isfinite(v[k]))
            return false;
        if (k > 0 && !Same(v[k - 1], v[k])) {
            cls[k] = cls[k - 1] + 1;
            runStart = k;
        } else if (k > 0) {
            cls[k] = cls[k - 1];
            if (!Same(v[runStart], v[k]))
                return false;
        }
    }
    return true;
}

// The pairwise passes as one sweep in array order, on edge classes. In the joining pass each
// unmarked segment, in order, absorbs the later segments that start where it currently ends;
// so segment j is taken by the lowest-numbered earlier chain whose end (as it stands after
// the segments before j) meets j's start, or starts a chain of its own. Chains wait in
// buckets by (line, end class), each bucket sorted by first segment, so that lowest chain is
// the bucket's front. Duplicates are then the chains whose (start, end) or (end, start) an
// earlier kept chain on the line already has.
void ConsolidateOnGrid(std::vector<TXlsxKeisen>& s, std::vector<GridSegment>& grid,
                       const std::vector<std::uint32_t>& lineCls,
                       const std::vector<std::uint32_t>& alongCls, bool vertical) {
    const std::size_t n = s.size();
    if (n == 0)
        return;
    const std::size_t alongCount = std::size_t(alongCls.back()) + 1;
    std::vector<int> front((std::size_t(lineCls.back()) + 1) * alongCount, -1);
    std::vector<int> next(n), last(n);
    std::vector<std::size_t> chains; // first segments, in array order
    const auto bucket = [&](std::uint32_t line, std::uint32_t along) {
        return lineCls[line] * alongCount + alongCls[along];
    };
    const auto wait = [&](std::size_t b, int chain) {
        int* p = &front[b];
        while (*p >= 0 && *p < chain)
            p = &next[std::size_t(*p)];
        next[std::size_t(chain)] = *p;
        *p = chain;
    };
    for (std::size_t j = 0; j < n; ++j) {
        if (s[j].mark)
            continue;
        const GridSegment g = grid[j];
        const std::size_t b = bucket(g.line, g.start);
        const int chain = front[b];
        if (chain >= 0) {
            front[b] = next[std::size_t(chain)];
            last[std::size_t(chain)] = int(j);
            s[j].mark = true;
            wait(bucket(g.line, g.end), chain);
        } else {
            last[j] = int(j);
            chains.push_back(j);
            wait(bucket(g.line, g.end), int(j));
        }
    }
    std::unordered_set<std::uint64_t> kept(2 * chains.size());
    for (const std::size_t i : chains) {
        const std::size_t l = std::size_t(last[i]);
        Along(s[i].edpt, vertical) = Along(s[l].edpt, vertical);
        grid[i].end = grid[l].end;
        const std::uint64_t line = std::uint64_t(lineCls[grid[i].line]) << 42;
        const std::uint64_t a = alongCls[grid[i].start], e = alongCls[grid[i].end];
        if (kept.contains(line | a << 21 | e) || kept.contains(line | e << 21 | a))
            s[i].mark = true;
        else
            kept.insert(line | a << 21 | e);
    }
}

void AddLines(DrawingSink& sink, const std::vector<TXlsxKeisen>& lines) {
    for (const TXlsxKeisen& l : lines)
        if (!l.mark)
            sink.Line({l.stpt, l.edpt, DrawingLayer::BordLine});
}

} // namespace

TableEdges MakeTableEdges(const CellTable& table) {
    TableEdges edges;
    edges.x.assign(std::size_t(table.cellCols) + 1, 0.0);
    edges.y.assign(std::size_t(table.cellRows) + 1, 0.0);
    for (int j = 0; j < table.cellCols; ++j)
        edges.x[j + 1] = edges.x[j] + table.at(0, j).drawW;
    for (int i = 0; i < table.cellRows; ++i)
        edges.y[i + 1] = edges.y[i] - table.at(i, 0).drawH;
    return edges;
}

void AddCellGridLines(const CellTable& table, const TableEdges& edges, DrawingSink& sink) {
    const auto line = [&sink](double x1, double y1, double x2, double y2) {
        sink.Line({{x1, y1, 0}, {x2, y2, 0}, DrawingLayer::CellLine});
    };
    const int rows = table.cellRows;
    const int cols = table.cellCols;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols;) {
            if (table.at(i, j).cellMerge) {
                ++j;
                continue;
            }
            const int first = j;
            while (j < cols && !table.at(i, j).cellMerge)
                ++j;
            line(edges.x[first], edges.y[i], edges.x[j], edges.y[i]);
        }
    line(0, edges.y[rows], edges.x[cols], edges.y[rows]);
    for (int j = 0; j < cols; ++j)
        for (int i = 0; i < rows;) {
            if (table.at(i, j).cellMerge) {
                ++i;
                continue;
            }
            const int first = i;
            while (i < rows && !table.at(i, j).cellMerge)
                ++i;
            line(edges.x[j], edges.y[first], edges.x[j], edges.y[i]);
        }
    line(edges.x[cols], 0, edges.x[cols], edges.y[rows]);
}

void CollectBorderLines(const CellTable& table, const TableEdges& edges, BorderLines& lines) {
    lines.edges = edges;
    const auto hasEdge = [](const TXlsxCellAttr& c, std::uint8_t bit) {
        return (c.lineBits & bit) && (!c.cellMerge || (c.mergeBits & bit));
    };
    // Counted first so that each array is allocated once: a growing array holds its old and its
    // new block for a moment, which on a large table was the peak of the whole conversion.
    std::size_t horizontal = 0, vertical = 0;
    for (int i = 0; i < table.cellRows; ++i)
        for (int j = 0; j < table.cellCols; ++j) {
            const TXlsxCellAttr& c = table.at(i, j);
            horizontal += hasEdge(c, kEdgeTop) + hasEdge(c, kEdgeBottom);
            vertical += hasEdge(c, kEdgeLeft) + hasEdge(c, kEdgeRight);
        }
    lines.bordLinesH.reserve(lines.bordLinesH.size() + horizontal);
    lines.gridH.reserve(lines.gridH.size() + horizontal);
    lines.bordLinesV.reserve(lines.bordLinesV.size() + vertical);
    lines.gridV.reserve(lines.gridV.size() + vertical);
    for (int i = 0; i < table.cellRows; ++i)
        for (int j = 0; j < table.cellCols; ++j) {
            const TXlsxCellAttr& c = table.at(i, j);
            const auto has = [&](std::uint8_t bit) { return hasEdge(c, bit); };
            const double left = edges.x[j], right = edges.x[j + 1];
            const double top = edges.y[i], bottom = edges.y[i + 1];
            const auto row = std::uint32_t(i), col = std::uint32_t(j);
            if (has(kEdgeTop)) {
                lines.bordLinesH.push_back({{left, top, 0}, {right, top, 0}});
                lines.gridH.push_back({row, col, col + 1});
            }
            if (has(kEdgeBottom)) {
                lines.bordLinesH.push_back({{left, bottom, 0}, {right, bottom, 0}});
                lines.gridH.push_back({row + 1, col, col + 1});
            }
            if (has(kEdgeLeft)) {
                lines.bordLinesV.push_back({{left, top, 0}, {left, bottom, 0}});
                lines.gridV.push_back({col, row, row + 1});
            }
            if (has(kEdgeRight)) {
                lines.bordLinesV.push_back({{right, top, 0}, {right, bottom, 0}});
                lines.gridV.push_back({col + 1, row, row + 1});
            }
        }
}

void ConsolidateBorderLines(BorderLines& lines) {
    std::vector<std::uint32_t> xCls, yCls;
    const bool onGrid = lines.edges.x.size() > 1 && lines.edges.y.size() > 1 &&
                        lines.gridV.size() == lines.bordLinesV.size() &&
                        lines.gridH.size() == lines.bordLinesH.size() &&
                        ClassifyEdges(lines.edges.x, xCls) && ClassifyEdges(lines.edges.y, yCls);
    if (onGrid) {
        ConsolidateOnGrid(lines.bordLinesV, lines.gridV, xCls, yCls, true);
        ConsolidateOnGrid(lines.bordLinesH, lines.gridH, yCls, xCls, false);
    } else {
        ConsolidatePairwise(lines.bordLinesV, true);
        ConsolidatePairwise(lines.bordLinesH, false);
    }
}

void AddBorderLines(DrawingSink& sink, BorderLines& lines) {
    AddLines(sink, lines.bordLinesV);
    AddLines(sink, lines.bordLinesH);
    lines = BorderLines();
}

} // namespace sheetlift
