#include "excel/Source.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace sheetlift {

namespace {

std::string CheckLimits(long row, long column, std::string_view text) {
    if (column > kMaxSheetColumns)
        return "\"" + std::string(text) + "\": column past the last column XFD";
    if (row > kMaxSheetRows)
        return "\"" + std::string(text) + "\": row past the last row 1048576";
    return {};
}

} // namespace

// "B3" / "$B$3" from `at`; advances `at`. Nothing when it is not an address.
std::optional<std::pair<long, long>> ParseAddress(std::string_view text, std::size_t& at) {
    std::size_t i = at;
    if (i < text.size() && text[i] == '$')
        ++i;
    long column = 0;
    const std::size_t lettersStart = i;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])) &&
           i - lettersStart < 4)
        column = column * 26 + (std::toupper(static_cast<unsigned char>(text[i++])) - 'A' + 1);
    if (i == lettersStart)
        return std::nullopt;
    if (i < text.size() && text[i] == '$')
        ++i;
    long row = 0;
    const std::size_t digitsStart = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) &&
           i - digitsStart < 8)
        row = row * 10 + (text[i++] - '0');
    if (i == digitsStart || text[digitsStart] == '0')
        return std::nullopt;
    at = i;
    return std::make_pair(row, column);
}

// A cell range without a sheet name; the reason on failure.
std::optional<SelectionRange> ParseCellRange(std::string_view text, std::string& why) {
    std::size_t at = 0;
    const auto first = ParseAddress(text, at);
    auto second = first;
    if (first && at < text.size() && text[at] == ':') {
        ++at;
        second = ParseAddress(text, at);
    }
    if (!first || !second || at != text.size()) {
        why = "\"" + std::string(text) + "\" is not a cell address or range like A1:D9";
        return std::nullopt;
    }
    why = CheckLimits(std::max(first->first, second->first),
                      std::max(first->second, second->second), text);
    if (!why.empty())
        return std::nullopt;
    SelectionRange range;
    range.row = int(std::min(first->first, second->first));
    range.column = int(std::min(first->second, second->second));
    range.rows = int(std::abs(first->first - second->first)) + 1;
    range.columns = int(std::abs(first->second - second->second)) + 1;
    return range;
}

std::optional<RangeText> SplitRangeText(std::string_view text, std::string& why) {
    RangeText result;
    const std::size_t bang = text.rfind('!');
    if (bang != std::string_view::npos) {
        std::string_view sheet = text.substr(0, bang);
        if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') {
            sheet = sheet.substr(1, sheet.size() - 2);
            for (std::size_t i = 0; i < sheet.size(); ++i) {
                result.sheet += sheet[i];
                if (sheet[i] == '\'' && i + 1 < sheet.size() && sheet[i + 1] == '\'')
                    ++i;
            }
        } else {
            result.sheet = std::string(sheet);
        }
        if (result.sheet.empty()) {
            why = "\"" + std::string(text) + "\": empty sheet name";
            return std::nullopt;
        }
        text = text.substr(bang + 1);
    }
    const auto range = ParseCellRange(text, why);
    if (!range)
        return std::nullopt;
    result.range = *range;
    return result;
}

RangeText ParseRangeText(std::string_view text) {
    std::string why;
    auto range = SplitRangeText(text, why);
    if (!range)
        throw Error("Bad range " + why);
    return std::move(*range);
}

} // namespace sheetlift
