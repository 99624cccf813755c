#include "sizing/Sizing.h"

#include "model/Error.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace sheetlift {

namespace {

// Keys are blank-padded to a common width so that, for the usual sizes, text order is number
// order: a blank sorts before every digit, as in the Windows text comparison.
std::string SeriesKey(double value, char sep) {
    std::string text = FormatFixed3(value, sep);
    if (text.size() < 12)
        text.insert(0, 12 - text.size(), ' ');
    return text + ' ';
}

bool KeyLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

class Series {
  public:
    void Add(double value, char sep) {
        if (counts_.empty()) {
            min_ = max_ = value;
        } else {
            min_ = std::min(min_, value);
            max_ = std::max(max_, value);
        }
        std::string key = SeriesKey(value, sep);
        const auto found = std::find_if(counts_.begin(), counts_.end(),
                                        [&](const auto& entry) { return entry.first == key; });
        if (found != counts_.end())
            ++found->second;
        else
            counts_.emplace_back(std::move(key), 1);
    }

    // Fills column 1 ("mode (min～max)") and column 2 (mode) of one summary row.
    void Write(std::string& shown, std::string& value, char sep) {
        std::sort(counts_.begin(), counts_.end(),
                  [](const auto& a, const auto& b) { return KeyLess(a.first, b.first); });
        const std::pair<std::string, int>* best = nullptr;
        for (const auto& entry : counts_)
            if (!best || entry.second > best->second)
                best = &entry;
        value.clear();
        if (best) {
            const std::string& key = best->first;
            value = key.substr(key.find_first_not_of(' '));
            value.pop_back(); // the trailing blank
        }
        shown =
            value + " (" + FormatFixed3(min_, sep) + "\xEF\xBD\x9E" + FormatFixed3(max_, sep) + ")";
    }

  private:
    std::vector<std::pair<std::string, int>> counts_;
    double min_ = 0;
    double max_ = 0;
};

template <class Cell> auto& Field(Cell& cell, SizeField field) {
    switch (field) {
    case SizeField::TextHeight:
        return cell.drawTH;
    case SizeField::ColumnWidth:
        return cell.drawW;
    case SizeField::RowHeight:
        break;
    }
    return cell.drawH;
}

} // namespace

double ParseSizeText(std::string_view text, char decimalSeparator) {
    return ParseNumber(text, decimalSeparator).value_or(0);
}

void SetSizeForSelection(CellTable& table, const GridRect& selection, SizeField field,
                         double value) {
    if (table.empty())
        return;
    // Grid coordinates: table cell (i, j) is grid row i + 1, column j + 1.
    int top = selection.top - 1, bottom = selection.bottom - 1;
    int left = selection.left - 1, right = selection.right - 1;
    if (field == SizeField::ColumnWidth) {
        top = 0;
        bottom = table.cellRows - 1;
    }
    if (field == SizeField::RowHeight) {
        left = 0;
        right = table.cellCols - 1;
    }
    top = std::max(top, 0);
    left = std::max(left, 0);
    bottom = std::min(bottom, table.cellRows - 1);
    right = std::min(right, table.cellCols - 1);
    for (int i = top; i <= bottom; ++i)
        for (int j = left; j <= right; ++j)
            Field(table.at(i, j), field) = value;
    if (field != SizeField::TextHeight)
        RecalcMergedSizes(table);
}

double CellSize(const CellTable& table, int i, int j, SizeField field) {
    if (table.empty() || i < 0 || j < 0 || i >= table.cellRows || j >= table.cellCols)
        return 0;
    return Field(table.at(i, j), field);
}

double TotalWidth(const CellTable& table) {
    double sum = 0;
    for (int j = 0; j < table.cellCols; ++j)
        sum += table.at(0, j).drawW;
    return sum;
}

double TotalHeight(const CellTable& table) {
    double sum = 0;
    for (int i = 0; i < table.cellRows; ++i)
        sum += table.at(i, 0).drawH;
    return sum;
}

std::string WHSizeText(const CellTable& table, char decimalSeparator) {
    if (table.empty())
        return {};
    return "全体: W=" + FormatFixed3(TotalWidth(table), decimalSeparator) +
           " x H=" + FormatFixed3(TotalHeight(table), decimalSeparator);
}

std::optional<SizeSummary> SummarizeSizes(const CellTable& table, char decimalSeparator) {
    if (table.empty())
        return std::nullopt;
    SizeSummary summary;
    Series widths;
    for (int j = 0; j < table.cellCols; ++j)
        widths.Add(table.at(0, j).drawW, decimalSeparator);
    widths.Write(summary.shown[2], summary.values[2], decimalSeparator);
    Series heights;
    for (int i = 0; i < table.cellRows; ++i)
        heights.Add(table.at(i, 0).drawH, decimalSeparator);
    heights.Write(summary.shown[3], summary.values[3], decimalSeparator);
    Series texts;
    for (const TXlsxCellAttr& cell : table.cellAttrs)
        texts.Add(cell.drawTH, decimalSeparator);
    texts.Write(summary.shown[4], summary.values[4], decimalSeparator);
    summary.shown[0] = summary.values[0] = FormatFixed3(TotalWidth(table), decimalSeparator);
    summary.shown[1] = summary.values[1] = FormatFixed3(TotalHeight(table), decimalSeparator);
    return summary;
}

Settings SettingsFromTexts(const std::array<std::string, 7>& texts, const Settings& current,
                           char decimalSeparator) {
    const auto number = [&](int box, double fallback) {
        return ParseNumber(texts[std::size_t(box)], decimalSeparator).value_or(fallback);
    };
    Settings settings = current;
    settings.colXsc = number(0, 20);
    settings.rowYsc = number(1, 3);
    settings.cadXsc = number(2, 10);
    settings.cadYsc = number(3, 1.5);
    settings.cadTsc = number(4, 0.8);
    settings.cadTof = number(5, 0.4);
    settings.cellLineColor = ParseInteger(texts[6]).value_or(256);
    return settings;
}

std::optional<std::string> ReverseScale(std::string_view current, std::string_view target,
                                        std::string_view scale, char decimalSeparator) {
    if (current.empty())
        return std::nullopt;
    const double wanted = ParseNumber(target, decimalSeparator).value_or(0);
    const std::optional<double> now = ParseNumber(current, decimalSeparator);
    if (!now || *now == 0)
        throw Error(ErrorCode::ReverseScaleNoValue, {std::string(current)});
    const double ratio = wanted / *now;
    if (!(ratio > 0))
        return std::nullopt;
    const std::optional<double> factor = ParseNumber(scale, decimalSeparator);
    if (!factor)
        throw Error(ErrorCode::ScaleNotNumber, {std::string(scale)});
    return FormatGeneral(*factor * ratio, decimalSeparator);
}

} // namespace sheetlift
