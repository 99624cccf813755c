#include "excel/Source.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace sheetlift {

namespace {

// What is wrong with a range text.
enum class Fault { None, NotRange, PastColumns, PastRows, EmptySheet };

Error FaultError(Fault fault, std::string_view text) {
    return Error(fault == Fault::PastColumns  ? ErrorCode::RangePastColumns
                 : fault == Fault::PastRows   ? ErrorCode::RangePastRows
                 : fault == Fault::EmptySheet ? ErrorCode::RangeEmptySheet
                                              : ErrorCode::RangeNotRange,
                 {std::string(text)});
}

Fault CheckLimits(long row, long column) {
    if (column > kMaxSheetColumns)
        return Fault::PastColumns;
    if (row > kMaxSheetRows)
        return Fault::PastRows;
    return Fault::None;
}

// "B", "$B" (kind 'A') or "3", "$3" (kind '1') from `at`, which it advances past; 0 when there
// is none there.
long ParseLine(std::string_view text, std::size_t& at, char kind) {
    std::size_t i = at;
    if (i < text.size() && text[i] == '$')
        ++i;
    long value = 0;
    const std::size_t start = i;
    for (; i < text.size() && i - start < 8; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (kind == 'A' && std::isalpha(c))
            value = value * 26 + (std::toupper(c) - 'A' + 1);
        else if (kind == '1' && std::isdigit(c))
            value = value * 10 + (c - '0');
        else
            break;
    }
    if (i == start || value == 0)
        return 0;
    at = i;
    return value;
}

// Whole columns ("A:A", "B:D") or whole rows ("1:1", "2:5"), as Excel takes them.
std::optional<SelectionRange> ParseWholeLines(std::string_view text, Fault& fault) {
    for (const char kind : {'A', '1'}) {
        std::size_t at = 0;
        const long first = ParseLine(text, at, kind);
        if (!first || at >= text.size() || text[at] != ':')
            continue;
        ++at;
        const long second = ParseLine(text, at, kind);
        if (!second || at != text.size())
            continue;
        const long low = std::min(first, second), high = std::max(first, second);
        fault = kind == 'A' ? CheckLimits(1, high) : CheckLimits(high, 1);
        if (fault != Fault::None)
            return std::nullopt;
        SelectionRange range;
        range.row = kind == 'A' ? 1 : int(low);
        range.column = kind == 'A' ? int(low) : 1;
        range.rows = kind == 'A' ? kMaxSheetRows : int(high - low + 1);
        range.columns = kind == 'A' ? int(high - low + 1) : kMaxSheetColumns;
        return range;
    }
    fault = Fault::NotRange;
    return std::nullopt;
}

std::optional<SelectionRange> ParseRange(std::string_view text, Fault& fault) {
    std::size_t at = 0;
    const auto first = ParseAddress(text, at);
    auto second = first;
    if (first && at < text.size() && text[at] == ':') {
        ++at;
        second = ParseAddress(text, at);
    }
    if (!first || !second || at != text.size())
        return ParseWholeLines(text, fault);
    fault =
        CheckLimits(std::max(first->first, second->first), std::max(first->second, second->second));
    if (fault != Fault::None)
        return std::nullopt;
    SelectionRange range;
    range.row = int(std::min(first->first, second->first));
    range.column = int(std::min(first->second, second->second));
    range.rows = int(std::abs(first->first - second->first)) + 1;
    range.columns = int(std::abs(first->second - second->second)) + 1;
    return range;
}

// The sheet named before a '!' (quotes undone) and the range after it.
std::optional<RangeText> SplitRange(std::string_view text, Fault& fault) {
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
            fault = Fault::EmptySheet;
            return std::nullopt;
        }
        text = text.substr(bang + 1);
    }
    const auto range = ParseRange(text, fault);
    if (!range)
        return std::nullopt;
    result.range = *range;
    return result;
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

std::optional<SelectionRange> ParseCellRange(std::string_view text, std::string& why) {
    Fault fault = Fault::None;
    auto range = ParseRange(text, fault);
    if (!range)
        why = FaultError(fault, text).what();
    return range;
}

std::optional<RangeText> SplitRangeText(std::string_view text, std::string& why) {
    Fault fault = Fault::None;
    auto range = SplitRange(text, fault);
    if (!range)
        why = FaultError(fault, text).what();
    return range;
}

RangeText ParseRangeText(std::string_view text) {
    Fault fault = Fault::None;
    auto range = SplitRange(text, fault);
    if (!range)
        throw FaultError(fault, text);
    return std::move(*range);
}

} // namespace sheetlift
