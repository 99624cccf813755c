// The border consolidation as the pairwise passes state it, kept as the reference that the
// fast version must match exactly.
#pragma once

#include "dxf/RuleLines.h"

namespace sheetlift::test {

inline void LiteralConsolidateArray(std::vector<TXlsxKeisen>& s, bool vertical) {
    const auto same = [](double a, double b) { return SameWithin(a, b, kLineEps); };
    const auto onLine = [&](const TXlsxKeisen& a, const TXlsxKeisen& b) {
        return vertical ? same(a.stpt.x, b.stpt.x) : same(a.stpt.y, b.stpt.y);
    };
    const auto pointsMeet = [&](const TAcadPoint& a, const TAcadPoint& b) {
        return same(a.x, b.x) && same(a.y, b.y);
    };
    const auto along = [vertical](const TAcadPoint& p) { return vertical ? p.y : p.x; };
    const std::size_t n = s.size();
    if (n < 2)
        return;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (s[i].mark)
            continue;
        for (std::size_t j = i + 1; j < n; ++j)
            if (!s[j].mark && onLine(s[j], s[i]) && pointsMeet(s[j].stpt, s[i].edpt)) {
                (vertical ? s[i].edpt.y : s[i].edpt.x) = along(s[j].edpt);
                s[j].mark = true;
            }
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (s[i].mark)
            continue;
        for (std::size_t j = i + 1; j < n; ++j) {
            if (s[j].mark || !onLine(s[j], s[i]))
                continue;
            const double si = along(s[i].stpt), ei = along(s[i].edpt);
            const double sj = along(s[j].stpt), ej = along(s[j].edpt);
            if ((same(sj, si) && same(ej, ei)) || (same(sj, ei) && same(ej, si)))
                s[j].mark = true;
        }
    }
}

inline void LiteralConsolidateBorderLines(BorderLines& lines) {
    LiteralConsolidateArray(lines.bordLinesV, true);
    LiteralConsolidateArray(lines.bordLinesH, false);
}

} // namespace sheetlift::test
