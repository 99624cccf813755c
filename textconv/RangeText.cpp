#include "textconv/RangeText.h"

#include <algorithm>

namespace sheetlift {

namespace {

// Visits the non-empty texts of the rectangle row by row, left to right. The rectangle is cut
// to the table's cells, so a selection that reaches a header or past the edge cannot write
// outside the grid.
template <class Visit> void ForEachText(TextGrid& texts, const GridRect& rect, Visit visit) {
    const int top = std::max(rect.top, 1);
    const int bottom = std::min(rect.bottom, texts.rows());
    const int left = std::max(rect.left, 1);
    const int right = std::min(rect.right, texts.cols());
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const std::string_view text = texts.Text(y - 1, x - 1);
            if (!text.empty())
                texts.SetText(y - 1, x - 1, visit(text));
        }
    }
}

} // namespace

void ConvertRange(TextGrid& texts, const GridRect& rect, TextRoutine routine) {
    ForEachText(texts, rect, [&](std::string_view text) { return routine(text); });
}

int ReplaceFirstInRange(TextGrid& texts, const GridRect& rect, std::string_view search,
                        std::string_view replacement) {
    int count = 0;
    ForEachText(texts, rect, [&](std::string_view shown) {
        ++count;
        std::string text(shown);
        const std::size_t at = search.empty() ? text.npos : text.find(search);
        if (at != text.npos)
            text.replace(at, search.size(), replacement);
        return text;
    });
    return count;
}

std::string RangeAsTabText(const TextGrid& texts, const GridRect& rect) {
    std::string out;
    for (int y = std::max(rect.top, 1); y <= std::min(rect.bottom, texts.rows()); ++y) {
        const int left = std::max(rect.left, 1);
        for (int x = left; x <= std::min(rect.right, texts.cols()); ++x) {
            if (x > left)
                out += '\t';
            const std::string_view text = texts.Text(y - 1, x - 1);
            if (text.find_first_of("\t\r\n\"") == text.npos) {
                out += text;
                continue;
            }
            out += '"';
            for (const char c : text)
                out.append(c == '"' ? 2 : 1, c);
            out += '"';
        }
        out += '\n';
    }
    return out;
}

} // namespace sheetlift
