#include "dxf/RuleLines.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>

namespace sheetlift {

namespace {

constexpr std::string_view kByLayer = "BYLAYER";
constexpr std::int32_t kColourByLayer = 256;

// Segments reduced to numbers: the coordinate of their line and the along-coordinates of their
// two ends (y for vertical, x for horizontal segments).
struct Segments {
    std::vector<double> line;
    std::vector<double> st;
    std::vector<double> ed;
    std::vector<char> mark;
};

bool Same(double a, double b) {
    return SameWithin(a, b, kLineEps);
}

// The positions [first, last) of `sorted` (ascending keys, key(p) gives the key at position p)
// whose key is the same as `value`. Rounding of a difference is monotone, so they are
// contiguous.
template <class Key> std::pair<int, int> SameRange(int count, double value, Key key) {
    int lo = 0;
    int hi = count;
    while (lo < hi) { // first position not below value
        const int mid = (lo + hi) / 2;
        const double k = key(mid);
        if (k < value && !Same(k, value))
            lo = mid + 1;
        else
            hi = mid;
    }
    int first = lo;
    hi = count;
    while (lo < hi) { // first position above value
        const int mid = (lo + hi) / 2;
        const double k = key(mid);
        if (k > value && !Same(k, value))
            hi = mid;
        else
            lo = mid + 1;
    }
    return {first, lo};
}

// Minimum over a range with point updates.
class MinTree {
  public:
    explicit MinTree(int size) : n_(size), t_(2 * std::size_t(size), INT_MAX) {}
    void Set(int p, int value) {
        std::size_t i = std::size_t(p + n_);
        t_[i] = value;
        for (i /= 2; i >= 1; i /= 2)
            t_[i] = std::min(t_[2 * i], t_[2 * i + 1]);
    }
    int Min(int first, int last) const { // [first, last)
        int result = INT_MAX;
        for (std::size_t l = std::size_t(first + n_), r = std::size_t(last + n_); l < r;
             l /= 2, r /= 2) {
            if (l & 1)
                result = std::min(result, t_[l++]);
            if (r & 1)
                result = std::min(result, t_[--r]);
        }
        return result;
    }

  private:
    int n_;
    std::vector<int> t_;
};

// The pairwise passes as they stand, for a group of segments whose line coordinates are not
// all within eps of each other (which happens only when lines lie about eps apart).
void ConsolidatePairwise(Segments& s, const std::vector<int>& members) {
    const std::size_t k = members.size();
    for (std::size_t a = 0; a + 1 < k; ++a) {
        const int i = members[a];
        if (s.mark[i])
            continue;
        for (std::size_t b = a + 1; b < k; ++b) {
            const int j = members[b];
            if (!s.mark[j] && Same(s.line[j], s.line[i]) && Same(s.st[j], s.ed[i])) {
                s.ed[i] = s.ed[j];
                s.mark[j] = 1;
            }
        }
    }
    for (std::size_t a = 0; a + 1 < k; ++a) {
        const int i = members[a];
        if (s.mark[i])
            continue;
        for (std::size_t b = a + 1; b < k; ++b) {
            const int j = members[b];
            if (!s.mark[j] && Same(s.line[j], s.line[i]) &&
                ((Same(s.st[j], s.st[i]) && Same(s.ed[j], s.ed[i])) ||
                 (Same(s.st[j], s.ed[i]) && Same(s.ed[j], s.st[i]))))
                s.mark[j] = 1;
        }
    }
}

// Joining on one line, as a single sweep in array order. The pairwise pass lets each unmarked
// segment, in order, absorb the later segments that start where it currently ends. Segment j
// is therefore taken by the lowest-indexed earlier chain whose end (as it stands after the
// segments before j) meets j's start, and starts a chain of its own if there is none. Chain
// ends are always the end of some member, so the chains are kept at the positions of those
// members in end order, and the lowest chain in the range of ends that meet j's start is one
// range-minimum query.
void JoinOnLine(Segments& s, const std::vector<int>& members) {
    const int k = int(members.size());
    std::vector<int> byEnd(static_cast<std::size_t>(k));
    std::iota(byEnd.begin(), byEnd.end(), 0);
    std::stable_sort(byEnd.begin(), byEnd.end(),
                     [&](int a, int b) { return s.ed[members[a]] < s.ed[members[b]]; });
    std::vector<int> posOf(static_cast<std::size_t>(k));
    for (int p = 0; p < k; ++p)
        posOf[byEnd[p]] = p;
    const auto endAt = [&](int p) { return s.ed[members[byEnd[p]]]; };

    MinTree chains(k); // position of a chain's last member -> the chain's first member
    std::vector<int> last(static_cast<std::size_t>(k));
    for (int j = 0; j < k; ++j) {
        const auto [first, past] = SameRange(k, s.st[members[j]], endAt);
        const int head = first < past ? chains.Min(first, past) : INT_MAX;
        if (head == INT_MAX) {
            last[j] = j;
            chains.Set(posOf[j], j);
        } else {
            chains.Set(posOf[last[head]], INT_MAX);
            last[head] = j;
            chains.Set(posOf[j], head);
            s.mark[members[j]] = 1;
        }
    }
    for (int j = 0; j < k; ++j)
        if (!s.mark[members[j]])
            s.ed[members[j]] = s.ed[members[last[j]]];
}

// Removing duplicates on one line, as a sweep: a segment is marked when an earlier unmarked
// one has the same ends, in the same or the opposite direction. The kept segments are looked
// up as points (start, end), sorted by start, then end.
void DropDuplicatesOnLine(Segments& s, const std::vector<int>& members) {
    std::vector<int> kept;
    for (int m : members)
        if (!s.mark[m])
            kept.push_back(m);
    const int k = int(kept.size());
    const auto stOf = [&](int local) { return s.st[kept[local]]; };
    const auto edOf = [&](int local) { return s.ed[kept[local]]; };
    std::vector<int> sorted(static_cast<std::size_t>(k)); // local ids by start, then end
    std::iota(sorted.begin(), sorted.end(), 0);
    std::sort(sorted.begin(), sorted.end(), [&](int a, int b) {
        return stOf(a) != stOf(b) ? stOf(a) < stOf(b) : edOf(a) < edOf(b);
    });
    std::vector<int> posOf(static_cast<std::size_t>(k));
    std::vector<int> groupStart; // first position of each distinct start value
    for (int p = 0; p < k; ++p) {
        posOf[sorted[p]] = p;
        if (p == 0 || stOf(sorted[p]) != stOf(sorted[p - 1]))
            groupStart.push_back(p);
    }
    const int groups = int(groupStart.size());
    groupStart.push_back(k);

    std::vector<std::uint64_t> present(std::size_t(k) / 64 + 1);
    const auto anyPresent = [&](int first, int past) {
        for (int p = first; p < past; ++p) {
            const std::uint64_t word = present[std::size_t(p) / 64];
            if (word == 0)
                p |= 63; // skip the rest of an empty word
            else if (word >> (p % 64) & 1)
                return true;
        }
        return false;
    };
    // Whether a kept segment starts within eps of `a` and ends within eps of `b`.
    const auto exists = [&](double a, double b) {
        const auto [g0, g1] =
            SameRange(groups, a, [&](int g) { return stOf(sorted[groupStart[g]]); });
        for (int g = g0; g < g1; ++g) {
            const int base = groupStart[g];
            const auto [p0, p1] = SameRange(groupStart[g + 1] - base, b,
                                            [&](int p) { return edOf(sorted[base + p]); });
            if (anyPresent(base + p0, base + p1))
                return true;
        }
        return false;
    };
    for (int j = 0; j < k; ++j) {
        if (exists(stOf(j), edOf(j)) || exists(edOf(j), stOf(j)))
            s.mark[kept[j]] = 1;
        else
            present[std::size_t(posOf[j]) / 64] |= std::uint64_t(1) << (posOf[j] % 64);
    }
}

// Segments whose line coordinates chain together within eps (a run of the sorted coordinates
// with no gap above eps) never meet a segment of another run, so each run is consolidated on
// its own, keeping array order. When a run spans no more than eps, every pair in it lies on one
// line and the sweeps apply.
void Consolidate(Segments& s) {
    const int n = int(s.line.size());
    if (n < 2)
        return;
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return s.line[a] < s.line[b]; });
    std::vector<int> members;
    for (int first = 0; first < n;) {
        int past = first + 1;
        while (past < n && Same(s.line[order[past - 1]], s.line[order[past]]))
            ++past;
        members.assign(order.begin() + first, order.begin() + past);
        std::sort(members.begin(), members.end());
        if (Same(s.line[order[first]], s.line[order[past - 1]])) {
            JoinOnLine(s, members);
            DropDuplicatesOnLine(s, members);
        } else {
            ConsolidatePairwise(s, members);
        }
        first = past;
    }
}

void ConsolidateArray(std::vector<TXlsxKeisen>& lines, bool vertical) {
    Segments s;
    const std::size_t n = lines.size();
    s.line.resize(n);
    s.st.resize(n);
    s.ed.resize(n);
    s.mark.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        const TXlsxKeisen& l = lines[k];
        s.line[k] = vertical ? l.stpt.x : l.stpt.y;
        s.st[k] = vertical ? l.stpt.y : l.stpt.x;
        s.ed[k] = vertical ? l.edpt.y : l.edpt.x;
        s.mark[k] = l.mark;
    }
    Consolidate(s);
    for (std::size_t k = 0; k < n; ++k) {
        (vertical ? lines[k].edpt.y : lines[k].edpt.x) = s.ed[k];
        lines[k].mark = s.mark[k] != 0;
    }
}

void AddLines(std::string& list, const std::vector<TXlsxKeisen>& lines) {
    for (const TXlsxKeisen& l : lines)
        if (!l.mark)
            AddDxfLine(list, l.stpt, l.edpt, "XLSBordLine", kByLayer, kColourByLayer);
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

void AddCellGridLines(const CellTable& table, const TableEdges& edges, std::string& list) {
    const auto line = [&list](double x1, double y1, double x2, double y2) {
        AddDxfLine(list, {x1, y1, 0}, {x2, y2, 0}, "XLSCellLine", kByLayer, kColourByLayer);
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
    for (int i = 0; i < table.cellRows; ++i)
        for (int j = 0; j < table.cellCols; ++j) {
            const TXlsxCellAttr& c = table.at(i, j);
            const auto has = [&c](std::uint8_t bit) {
                return (c.lineBits & bit) && (!c.cellMerge || (c.mergeBits & bit));
            };
            const double left = edges.x[j], right = edges.x[j + 1];
            const double top = edges.y[i], bottom = edges.y[i + 1];
            if (has(kEdgeTop))
                lines.bordLinesH.push_back({{left, top, 0}, {right, top, 0}});
            if (has(kEdgeBottom))
                lines.bordLinesH.push_back({{left, bottom, 0}, {right, bottom, 0}});
            if (has(kEdgeLeft))
                lines.bordLinesV.push_back({{left, top, 0}, {left, bottom, 0}});
            if (has(kEdgeRight))
                lines.bordLinesV.push_back({{right, top, 0}, {right, bottom, 0}});
        }
}

void ConsolidateBorderLines(BorderLines& lines) {
    ConsolidateArray(lines.bordLinesV, true);
    ConsolidateArray(lines.bordLinesH, false);
}

void AddBorderLines(std::string& list, BorderLines& lines) {
    AddLines(list, lines.bordLinesV);
    AddLines(list, lines.bordLinesH);
    lines.bordLinesV.clear();
    lines.bordLinesH.clear();
}

} // namespace sheetlift
