// Column widths. A <col width> is stored in characters of the maximum digit width (MDW) of the
// workbook's default font, padding included. As Excel does at 96 DPI:
//   pixels      = trunc(((256 * width + trunc(128 / MDW)) / 256) * MDW)
//   ColumnWidth = trunc((pixels - 5) / MDW * 100 + 0.5) / 100      (5 pixels of padding)
//   points      = pixels * 0.75
// Below one character Excel scales by MDW + 5 instead (pixels = width * (MDW + 5)). A column
// without <col> gets the sheet's defaultColWidth, or else baseColWidth (8) * MDW + 5 pixels
// rounded up to a multiple of 8. So Calibri 11 (MDW 7) gives 64 pixels = 8.43 characters.
// MDW of common default fonts at 11 points, in pixels (other sizes scale linearly):
//   Calibri 7; 游ゴシック / Yu Gothic 8; ＭＳ Ｐゴシック / MS PGothic 8; Arial and
//   Liberation Sans 8 (7 at their usual 10 points); any other font is taken as Calibri.
// Row heights come from <row ht> (also without customHeight: Excel shows the stored height),
// else from <sheetFormatPr defaultRowHeight>; a sheet without it gets Excel's height for the
// default font at 11 points: Calibri 15, 游ゴシック 18.75, ＭＳ Ｐゴシック 13.5 (others 15).
#include "excel/WorkbookSheet.h"

#include "excel/CellFormat.h"
#include "excel/XmlPull.h"
#include "model/CellTable.h"
#include "textconv/Utf8.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sheetlift::workbook {

namespace {

// Spreadsheet texts escape characters XML cannot hold as _xHHHH_ (a carriage return is
// _x000D_).
void AppendUnescaped(std::string& out, std::string_view text) {
    const auto escapeAt = [&](std::size_t i) -> std::optional<char32_t> {
        if (text[i] != '_' || i + 6 >= text.size() || text[i + 1] != 'x' || text[i + 6] != '_' ||
            !std::all_of(text.begin() + long(i) + 2, text.begin() + long(i) + 6,
                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
            return std::nullopt;
        return char32_t(std::stoul(std::string(text.substr(i + 2, 4)), nullptr, 16));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto code = escapeAt(i);
        if (!code) {
            out += text[i];
            continue;
        }
        i += 6;
        if (*code < 0xD800 || *code > 0xDFFF) {
            AppendUtf8(out, *code);
        } else if (*code < 0xDC00 && i + 1 < text.size()) {
            // A character beyond the basic plane comes as two escaped surrogates.
            const auto low = escapeAt(i + 1);
            if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00));
                i += 7;
            }
        }
    }
}

// What Excel derives from the workbook's default font at 11 points (see the note at the top):
// the maximum digit width in pixels and the default row height in points (0: not known).
struct FontMetrics {
    double digitWidth, rowHeight;
};

FontMetrics MetricsAt11(std::string_view font) {
    static const std::pair<std::string_view, FontMetrics> kFonts[] = {
        {"Calibri", {7, 15}},           {"游ゴシック", {8, 18.75}}, {"Yu Gothic", {8, 18.75}},
        {"ＭＳ Ｐゴシック", {8, 13.5}}, {"MS PGothic", {8, 13.5}},  {"Arial", {8, 0}},
        {"Liberation Sans", {8, 0}}};
    for (const auto& [name, metrics] : kFonts)
        if (font == name)
            return metrics;
    return {7, 0};
}

int MaxDigitWidth(std::string_view font, double size) {
    return std::max(1, int(std::lround(MetricsAt11(font).digitWidth * size / 11)));
}

// The row height of a sheet that states none: Excel's height for the default font, else 15.
double DefaultRowHeight(std::string_view font, double size) {
    const double known = MetricsAt11(font).rowHeight;
    return size == 11 && known > 0 ? known : 15;
}

} // namespace

std::uint32_t WorkbookSource::AddText(std::string_view text, Package& package,
                                      const std::string& part) {
    if (Utf16Length(text) > kMaxCellTextUnits)
        package.Fail(ErrorCode::WorkbookTextTooLong, {part});
    return texts_.Add(text);
}

// The text of a string item: plain <t>, or the <t> of its rich-text runs; phonetic guides
// (<rPh>) are not part of the text.
std::string ItemText(pugi::xml_node item) {
    std::string text;
    for (pugi::xml_node child : item.children()) {
        const auto name = Local(child.name());
        if (name == "t")
            AppendUnescaped(text, child.child_value());
        else if (name == "r")
            AppendUnescaped(text, Child(child, "t").child_value());
    }
    return text;
}

void WorkbookSource::ReadSharedStrings(Package& package, const std::string& name) {
    auto data = package.Read(name);
    if (!data)
        return;
    pugi::xml_document doc;
    package.Parse(doc, *data, name);
    ForEach(doc.document_element(), "si",
            [&](pugi::xml_node si) { AddText(ItemText(si), package, name); });
    sharedCount_ = std::uint32_t(texts_.size());
}

// The saved selection of the first workbook view: that of its active pane (the top-left pane
// when it names none), the first range of it, else its active cell; "" when there is none.
std::string SavedSelection(pugi::xml_node root) {
    const pugi::xml_node views = Child(root, "sheetViews");
    pugi::xml_node view = Child(views, "sheetView");
    ForEach(views, "sheetView", [&](pugi::xml_node v) {
        if (v.attribute("workbookViewId").as_uint() == 0 &&
            view.attribute("workbookViewId").as_uint() != 0)
            view = v;
    });
    std::string_view pane = Child(view, "pane").attribute("activePane").value();
    if (pane.empty())
        pane = "topLeft";
    pugi::xml_node chosen;
    ForEach(view, "selection", [&](pugi::xml_node s) {
        const pugi::xml_attribute own = s.attribute("pane");
        if (!chosen && (own ? own.value() : "topLeft") == pane)
            chosen = s;
    });
    if (!chosen)
        chosen = Child(view, "selection");
    const std::string_view sqref = chosen.attribute("sqref").value();
    const std::string_view first = sqref.substr(0, sqref.find(' '));
    return std::string(first.empty() ? chosen.attribute("activeCell").value() : first);
}

// Whole columns ("B:D") or rows ("3:5") as Excel saves them, as a range clipped to the cells
// the sheet uses, so that selecting the columns of a table reads the table.
std::string WholeLinesAsCells(std::string_view text, long lastRow, long lastColumn) {
    std::string first, second;
    for (std::size_t i = 0, colon = text.find(':'); i < text.size(); ++i)
        if (text[i] != '$' && i != colon)
            (i < colon ? first : second) += text[i];
    auto all = [](const std::string& part, int (*test)(int)) {
        return !part.empty() && std::all_of(part.begin(), part.end(), [&](char c) {
            return test(static_cast<unsigned char>(c)) != 0;
        });
    };
    if (text.find(':') == std::string_view::npos || first.size() > 8 || second.size() > 8)
        return std::string(text);
    if (all(first, std::isalpha) && all(second, std::isalpha))
        return first + "1:" + second + std::to_string(lastRow);
    if (all(first, std::isdigit) && all(second, std::isdigit))
        return "A" + first + ":" + ColumnLetters(int(lastColumn)) + second;
    return std::string(text);
}

void WorkbookSource::ReadColumns(pugi::xml_node root, Package& package, const std::string& name) {
    const pugi::xml_node format = Child(root, "sheetFormatPr");
    const int mdw = MaxDigitWidth(styles_.defaultFont, styles_.defaultFontSize);
    defaultRowHeight_ =
        IsTrue(format.attribute("zeroHeight"))
            ? 0
            : std::clamp(Number(format.attribute("defaultRowHeight"),
                                DefaultRowHeight(styles_.defaultFont, styles_.defaultFontSize)),
                         0.0, 409.5);
    auto pixelsOf = [mdw](double width) {
        width = std::clamp(width, 0.0, 255.0);
        if (width < 1)
            return std::floor(width * (mdw + 5) + 0.5);
        return std::floor((256 * width + std::floor(128.0 / mdw)) / 256 * mdw);
    };
    double defaultPixels;
    if (format.attribute("defaultColWidth"))
        defaultPixels = pixelsOf(Number(format.attribute("defaultColWidth")));
    else
        defaultPixels =
            std::ceil((std::clamp(format.attribute("baseColWidth").as_int(8), 0, 255) * mdw + 5) /
                      8.0) *
            8;
    std::vector<double> pixels(kMaxSheetColumns + 1, defaultPixels);
    columnStyle_.assign(kMaxSheetColumns + 1, -1);
    // Overlapping <col> ranges: the later one wins, as for any later setting.
    ForEach(Child(root, "cols"), "col", [&](pugi::xml_node c) {
        const long first = c.attribute("min").as_llong(), last = c.attribute("max").as_llong();
        if (first < 1 || last < first || last > kMaxSheetColumns)
            package.Fail(ErrorCode::WorkbookColumnRange,
                         {name, std::to_string(first), std::to_string(last)});
        const double width = IsTrue(c.attribute("hidden")) ? 0
                             : c.attribute("width")        ? pixelsOf(Number(c.attribute("width")))
                                                           : defaultPixels;
        const long style = c.attribute("style") ? c.attribute("style").as_llong() : -1;
        for (long k = first; k <= last; ++k) {
            pixels[std::size_t(k)] = width;
            columnStyle_[std::size_t(k)] = style;
        }
    });
    columnWidth_.assign(kMaxSheetColumns + 1, 0);
    columnLeft_.assign(kMaxSheetColumns + 2, 0);
    for (std::size_t k = 1; k <= kMaxSheetColumns; ++k) {
        const double px = pixels[k];
        columnWidth_[k] = px <= 0        ? 0
                          : px < mdw + 5 ? std::floor(px / (mdw + 5) * 100 + 0.5) / 100
                                         : std::floor((px - 5) / mdw * 100 + 0.5) / 100;
        columnLeft_[k + 1] = columnLeft_[k] + px * 0.75;
    }
}

// What one reading of the sheet's cells gathers besides the cells themselves.
struct WorkbookSource::SheetPass {
    bool keepFrame = true; // copy what lies outside <sheetData> into `frame`
    std::string frame;     // the sheet without its cells, for the DOM helpers
    bool overflow = false; // cells the store could not take
    long lastRow = 1, lastColumn = 1;
    std::vector<RowInfo> rows; // rows that state a height, hide or style themselves
};

namespace {

bool IsTrueText(std::string_view value) {
    return value == "1" || value == "true";
}

enum class CellType { Number, Shared, InlineString, FormulaString, Error, Boolean, Date };

CellType TypeOf(std::string_view t) {
    if (t == "s")
        return CellType::Shared;
    if (t == "inlineStr")
        return CellType::InlineString;
    if (t == "str")
        return CellType::FormulaString;
    if (t == "e")
        return CellType::Error;
    if (t == "b")
        return CellType::Boolean;
    if (t == "d")
        return CellType::Date;
    return CellType::Number;
}

} // namespace

void CellStore::Resize(long top, long left, long rows, long columns) {
    if (top == top_ && left == left_ && columns == columns_) {
        cells_.resize(std::size_t(rows) * std::size_t(columns));
        rows_ = rows;
        return;
    }
    std::vector<StoredCell> moved(std::size_t(rows) * std::size_t(columns));
    for (long r = 0; r < rows_; ++r)
        std::copy_n(
            cells_.begin() + std::ptrdiff_t(std::size_t(r) * std::size_t(columns_)), columns_,
            moved.begin() + std::ptrdiff_t(std::size_t(r + top_ - top) * std::size_t(columns) +
                                           std::size_t(left_ - left)));
    cells_ = std::move(moved);
    top_ = top, left_ = left, rows_ = rows, columns_ = columns;
}

void CellStore::Fix(long top, long left, long bottom, long right) {
    cells_.clear();
    rows_ = columns_ = 0;
    Resize(top, left, bottom - top + 1, right - left + 1);
    fixed_ = true;
}

void CellStore::Reserve(long top, long left, long bottom, long right) {
    if (rows_ == 0 && double(bottom - top + 1) * double(right - left + 1) <= double(kMaxCells))
        Resize(top, left, bottom - top + 1, right - left + 1);
}

bool CellStore::Put(long row, long column, const StoredCell& cell) {
    const bool inside =
        row >= top_ && column >= left_ && row < top_ + rows_ && column < left_ + columns_;
    if (!inside) {
        if (fixed_)
            return false;
        long top = row, left = column, bottom = row, right = column;
        if (rows_ > 0) {
            top = std::min(top_, row);
            bottom = std::max(top_ + rows_ - 1, row);
            left = std::min(left_, column);
            right = std::max(left_ + columns_ - 1, column);
            // Room to spare sideways, where each step would move every row; the vector
            // itself makes room below.
            if (column > left_ + columns_ - 1)
                right = std::min<long>(std::max(right, left_ + 2 * columns_ - 1), kMaxSheetColumns);
            if (column < left_)
                left = std::max<long>(std::min(left, left_ + columns_ - 2 * columns_), 1);
        }
        const auto area = [&] { return double(bottom - top + 1) * double(right - left + 1); };
        if (area() > double(kMaxCells)) {
            left = std::min(left_, column), right = std::max(left_ + columns_ - 1, column);
            if (area() > double(kMaxCells))
                return false;
        }
        Resize(top, left, bottom - top + 1, right - left + 1);
    }
    cells_[std::size_t(row - top_) * std::size_t(columns_) + std::size_t(column - left_)] = cell;
    return true;
}

// The cells are read as the part is inflated, never held whole: a row at a time, a cell at a
// time. Everything outside <sheetData> is copied into a small document of its own, which the
// DOM helpers read afterwards in any order the writer chose.
void WorkbookSource::ReadCells(Package& package, const std::string& name, SheetPass& pass) {
    const auto part = package.Open(name);
    if (!part)
        package.Fail(ErrorCode::WorkbookNoSheetPart, {name});
    XmlPull xml(
        [&](char* buffer, std::size_t room) { return part->Read(buffer, room); },
        [&](const char* what, std::size_t offset) {
            package.Fail(ErrorCode::WorkbookPartNotXml, {name, what, std::to_string(offset)});
        });
    using Event = XmlPull::Event;
    std::string value, item, piece, ref;
    long rowNumber = 0;

    // One <c> at depth 4, its start just read. A cell without r follows the one before it.
    const auto readCell = [&](long& column) {
        ref.assign(xml.Attribute("r"));
        StoredCell cell;
        cell.style = std::uint32_t(LeadingInteger(xml.Attribute("s")));
        const CellType type = TypeOf(xml.Attribute("t"));
        if (!ref.empty()) {
            std::size_t at = 0;
            const auto address = ParseAddress(ref, at);
            if (!address || at != ref.size() || address->first != rowNumber)
                package.Fail(ErrorCode::WorkbookCellOutOfPlace,
                             {name, ref, std::to_string(rowNumber)});
            column = address->second;
        } else {
            ++column;
        }
        if (column > kMaxSheetColumns)
            package.Fail(ErrorCode::WorkbookCellPastColumns, {name, std::to_string(rowNumber)});

        // The first <v>; of the first <is>, each <t> and the first <t> of each run <r>
        // (phonetic guides, <rPh>, are not part of the text).
        value.clear();
        item.clear();
        bool seenV = false, seenIs = false, inIs = false, inRun = false, runHasText = false;
        int collect = 0; // the depth whose text is being gathered: 5 <v>, 7 or 8 a <t>
        std::string* into = nullptr;
        for (;;) {
            const Event event = xml.Next();
            const int depth = xml.Depth();
            if (event == Event::End && depth == 3)
                break;
            if (event == Event::Text) {
                if (into && depth == collect) {
                    if (xml.IsCData())
                        into->append(xml.Text());
                    else
                        XmlPull::AppendText(*into, xml.Text());
                }
            } else if (event == Event::Start) {
                const std::string_view element = xml.Name();
                if (depth == 5 && element == "v" && !seenV) {
                    seenV = true, into = &value, collect = 5;
                } else if (depth == 5 && element == "is" && !seenIs) {
                    seenIs = inIs = true;
                } else if (inIs && depth == 6 && element == "t") {
                    piece.clear(), into = &piece, collect = 6;
                } else if (inIs && depth == 6 && element == "r") {
                    inRun = true, runHasText = false;
                } else if (inRun && depth == 7 && element == "t" && !runHasText) {
                    runHasText = true;
                    piece.clear(), into = &piece, collect = 7;
                }
            } else if (event == Event::End) {
                if (into && depth == collect - 1) {
                    if (into == &piece)
                        AppendUnescaped(item, piece);
                    into = nullptr;
                }
                if (depth == 5)
                    inRun = false;
                if (depth == 4)
                    inIs = false;
            } else {
                break; // the end of the part: XmlPull has complained already
            }
        }

        if (type == CellType::InlineString) {
            cell.kind = ValueKind::Text;
            cell.text = AddText(item, package, name);
        } else if (value.empty()) {
            cell.kind = ValueKind::Empty; // also a formula never calculated
        } else if (type == CellType::Shared) {
            const long long index = LeadingInteger(value);
            if (index < 0 || index >= sharedCount_)
                package.Fail(ErrorCode::WorkbookSharedStringMissing,
                             {name, CellAddress(int(rowNumber), int(column))});
            cell.kind = ValueKind::Text;
            cell.text = std::uint32_t(index);
        } else if (type == CellType::FormulaString || type == CellType::Error) {
            piece.clear();
            AppendUnescaped(piece, value);
            cell.kind = type == CellType::Error ? ValueKind::Error : ValueKind::Text;
            cell.text = AddText(piece, package, name);
        } else if (type == CellType::Boolean) {
            cell.kind = ValueKind::Boolean;
            cell.number = IsTrueText(value);
        } else if (type == CellType::Date) {
            // Excel turns an ISO date into its serial number; one it cannot hold stays text.
            const auto serial = SerialFromIsoDate(value, date1904_);
            cell.kind = serial ? ValueKind::Number : ValueKind::Text;
            if (serial)
                cell.number = *serial;
            else
                cell.text = AddText(value, package, name);
        } else {
            cell.kind = ValueKind::Number;
            cell.number = LeadingDouble(value);
            if (!std::isfinite(cell.number))
                cell.number = 0;
        }
        if (!cells_.Put(rowNumber, column, cell))
            pass.overflow = true;
        pass.lastRow = std::max(pass.lastRow, rowNumber);
        pass.lastColumn = std::max(pass.lastColumn, column);
    };

    // One <row> at depth 3, its start just read. A row without r takes its first cell's row,
    // else follows the one before it.
    const auto readRow = [&] {
        const bool hasNumber = xml.HasAttribute("r");
        const long long stated = LeadingInteger(xml.Attribute("r"));
        const bool hasHeight = xml.HasAttribute("ht");
        const double height = std::clamp(LeadingDouble(xml.Attribute("ht")), 0.0, 409.5);
        const bool hidden = IsTrueText(xml.Attribute("hidden"));
        const long style = IsTrueText(xml.Attribute("customFormat"))
                               ? long(LeadingInteger(xml.Attribute("s")))
                               : -1;
        bool numbered = false;
        const auto number = [&](std::string_view firstRef) {
            std::size_t at = 0;
            const auto address = firstRef.empty() ? std::nullopt : ParseAddress(firstRef, at);
            rowNumber = hasNumber ? long(stated) : address ? address->first : rowNumber + 1;
            if (rowNumber < 1 || rowNumber > kMaxSheetRows)
                package.Fail(ErrorCode::WorkbookRowPastLimit, {name, std::to_string(rowNumber)});
            if (hasHeight || hidden || style >= 0)
                pass.rows.push_back({rowNumber,
                                     hidden      ? 0
                                     : hasHeight ? height
                                                 : std::numeric_limits<double>::quiet_NaN(),
                                     style});
            numbered = true;
        };
        long column = 0;
        for (;;) {
            const Event event = xml.Next();
            if (event == Event::End && xml.Depth() == 2)
                break;
            if (event == Event::Done)
                return;
            if (event == Event::Start && xml.Depth() == 4 && xml.Name() == "c") {
                if (!numbered)
                    number(xml.Attribute("r"));
                readCell(column);
            }
        }
        if (!numbered)
            number({});
    };

    bool inData = false;
    for (Event event; (event = xml.Next()) != Event::Done;) {
        if (!inData) {
            if (pass.keepFrame)
                pass.frame += xml.Raw();
            if (event == Event::Start && xml.Depth() == 2) {
                if (xml.Name() == "sheetData") {
                    inData = true;
                } else if (xml.Name() == "dimension") {
                    // Sized from the stated size; a wrong one costs only growing.
                    std::string why;
                    if (const auto range = ParseCellRange(xml.Attribute("ref"), why))
                        cells_.Reserve(range->row, range->column, range->row + range->rows - 1,
                                       range->column + range->columns - 1);
                }
            }
        } else if (event == Event::End && xml.Depth() == 1) {
            inData = false;
            if (pass.keepFrame)
                pass.frame += xml.Raw();
        } else if (event == Event::Start && xml.Depth() == 3 && xml.Name() == "row") {
            readRow();
        }
    }
}

void WorkbookSource::ReadSheet(Package& package, const std::string& name,
                               const std::string& rangeText) {
    SheetPass pass;
    ReadCells(package, name, pass);
    pugi::xml_document doc;
    package.Parse(doc, pass.frame, name);
    const pugi::xml_node root = doc.document_element();

    // The stated size may be wrong (cells are read wherever they are) but not past the limits.
    const pugi::xml_node dimension = Child(root, "dimension");
    if (dimension) {
        std::string why;
        const std::string_view ref = dimension.attribute("ref").value();
        if (!ParseCellRange(ref, why) && why.find("past") != std::string::npos)
            package.Fail(ErrorCode::WorkbookSheetSizePastLimits, {name, why});
    }
    ReadColumns(root, package, name);

    // Rows in any order; of a row given twice the later one counts, as for cells.
    for (RowInfo info : pass.rows) {
        if (std::isnan(info.height))
            info.height = defaultRowHeight_;
        if (info.height != defaultRowHeight_ || info.style >= 0)
            rows_.push_back(info);
    }
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const RowInfo& a, const RowInfo& b) { return a.row < b.row; });
    const auto duplicate = [](const RowInfo& a, const RowInfo& b) { return a.row == b.row; };
    std::reverse(rows_.begin(), rows_.end());
    rows_.erase(std::unique(rows_.begin(), rows_.end(), duplicate), rows_.end());
    std::reverse(rows_.begin(), rows_.end());
    rowTopOffset_.assign(rows_.size() + 1, 0);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rowTopOffset_[i + 1] = rowTopOffset_[i] + rows_[i].height - defaultRowHeight_;

    long lastRow = pass.lastRow, lastColumn = pass.lastColumn;
    ForEach(Child(root, "mergeCells"), "mergeCell", [&](pugi::xml_node m) {
        std::string why;
        const auto range = ParseCellRange(m.attribute("ref").value(), why);
        if (!range)
            package.Fail(ErrorCode::WorkbookBadMerge, {name, why});
        merges_.push_back({range->row, range->column, range->row + range->rows - 1,
                           range->column + range->columns - 1});
        lastRow = std::max(lastRow, merges_.back().bottom);
        lastColumn = std::max(lastColumn, merges_.back().right);
    });

    // The selection: the option, else the saved one, else A1.
    std::string selection = WholeLinesAsCells(rangeText.empty() ? SavedSelection(root) : rangeText,
                                              lastRow, lastColumn);
    if (selection.empty())
        selection = "A1";
    std::string why;
    const auto range = ParseCellRange(selection, why);
    if (!range && rangeText.empty())
        package.Fail(ErrorCode::WorkbookBadSavedSelection, {sheetName_, why});
    if (!range)
        package.Fail(ErrorCode::WorkbookBadRange, {why});
    selection_ = *range;
    // The import would refuse it too, without naming the file.
    if (static_cast<long long>(selection_.rows) * selection_.columns > kMaxSelectionCells)
        package.Fail(ErrorCode::WorkbookSelectionTooLarge,
                     {std::to_string(selection_.rows), std::to_string(selection_.columns),
                      std::to_string(kMaxSelectionCells)});

    // A sheet whose cells spread further than the store may hold: read its cells again, now
    // keeping only the selection and the cells around it (their borders touch it).
    if (pass.overflow) {
        texts_.Truncate(sharedCount_);
        cells_.Fix(std::max(selection_.row - 1, 1), std::max(selection_.column - 1, 1),
                   std::min(selection_.row + selection_.rows, kMaxSheetRows),
                   std::min(selection_.column + selection_.columns, kMaxSheetColumns));
        SheetPass again;
        again.keepFrame = false;
        ReadCells(package, name, again);
    }
}

long WorkbookSource::StyleAt(long row, long column) const {
    if (const StoredCell* cell = cells_.Find(row, column))
        return cell->style;
    const RowInfo* info = FindRow(row);
    if (info && info->style >= 0)
        return info->style;
    return columnStyle_[std::size_t(column)] >= 0 ? columnStyle_[std::size_t(column)] : 0;
}

const RowInfo* WorkbookSource::FindRow(long row) const {
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), row,
                                     [](const RowInfo& r, long n) { return r.row < n; });
    return it != rows_.end() && it->row == row ? &*it : nullptr;
}

double WorkbookSource::RowHeight(long row) const {
    const RowInfo* info = FindRow(row);
    return info ? info->height : defaultRowHeight_;
}

double WorkbookSource::RowTop(long row) const {
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), row,
                                     [](const RowInfo& r, long n) { return r.row < n; });
    return double(row - 1) * defaultRowHeight_ + rowTopOffset_[std::size_t(it - rows_.begin())];
}

const Merge* WorkbookSource::FindMerge(long row, long column) {
    if (row != mergeRow_) { // Cell() walks row by row: keep the areas that cross this row
        mergeRow_ = row;
        mergesOfRow_.clear();
        for (const Merge& m : merges_)
            if (m.top <= row && row <= m.bottom)
                mergesOfRow_.push_back(&m);
    }
    for (const Merge* m : mergesOfRow_)
        if (m->left <= column && column <= m->right)
            return m;
    return nullptr;
}

SourceCell WorkbookSource::Cell(const std::string& address) {
    std::string why;
    const auto range = ParseCellRange(address, why);
    if (!range || range->rows != 1 || range->columns != 1)
        throw why.empty() ? Error(ErrorCode::WorkbookNotOneCell, {address, workbookName_})
                          : Error(ErrorCode::WorkbookBadCellAddress, {address, workbookName_, why});
    const long row = range->row, column = range->column;
    auto styleIndex = [&](long r, long k) {
        const long index = StyleAt(r, k);
        return std::size_t(index) < styles_.cellFormats.size() ? std::size_t(index) : 0;
    };
    auto style = [&](long r, long k) -> const Style& {
        return styles_.cellFormats[styleIndex(r, k)];
    };
    const std::size_t ownIndex = styleIndex(row, column);
    const Style& own = styles_.cellFormats[ownIndex];
    // Each style's number format is parsed once, when a cell first shows through it.
    auto format = [&]() -> const DisplayFormat& {
        if (formats_.size() < styles_.cellFormats.size())
            formats_.resize(styles_.cellFormats.size());
        auto& parsed = formats_[ownIndex];
        if (!parsed)
            parsed.emplace(own.format);
        return *parsed;
    };

    SourceCell cell;
    cell.columnWidth = columnWidth_[std::size_t(column)];
    cell.rowHeight = RowHeight(row);
    cell.horizontalAlignment = own.alignment;
    cell.fontSize = own.fontSize;
    // Neighbouring cells share an edge: a line drawn as the bottom of B2 is the top of B3.
    cell.borders = own.borders;
    auto shared = [&](int edge, long r, long k, int opposite) {
        if (cell.borders[std::size_t(edge)] == kLineStyleNone && r >= 1 && k >= 1 &&
            r <= kMaxSheetRows && k <= kMaxSheetColumns)
            cell.borders[std::size_t(edge)] = style(r, k).borders[std::size_t(opposite)];
    };
    shared(kBorderTop, row - 1, column, kBorderBottom);
    shared(kBorderBottom, row + 1, column, kBorderTop);
    shared(kBorderLeft, row, column - 1, kBorderRight);
    shared(kBorderRight, row, column + 1, kBorderLeft);

    if (const StoredCell* stored = cells_.Find(row, column)) {
        const StoredCell& s = *stored;
        switch (s.kind) {
        case ValueKind::Absent:
        case ValueKind::Empty:
            break;
        case ValueKind::Number:
            cell.value2 = s.number;
            cell.text = format().Number(s.number, date1904_);
            break;
        case ValueKind::Text: {
            const std::string_view text = texts_[s.text];
            cell.value2 = std::string(text);
            cell.text = format().Text(text);
            break;
        }
        case ValueKind::Boolean:
            cell.value2 = s.number != 0;
            cell.text = s.number != 0 ? "TRUE" : "FALSE";
            break;
        case ValueKind::Error:
            cell.value2 = std::string(texts_[s.text]);
            cell.text = texts_[s.text];
            break;
        }
    }

    const Merge* merge = FindMerge(row, column);
    const long top = merge ? merge->top : row, left = merge ? merge->left : column;
    cell.mergeCells = merge != nullptr;
    cell.mergeRows = merge ? int(merge->bottom - merge->top + 1) : 1;
    cell.mergeColumns = merge ? int(merge->right - merge->left + 1) : 1;
    cell.mergeLeft = columnLeft_[std::size_t(left)];
    cell.mergeTop = RowTop(top);
    return cell;
}

} // namespace sheetlift::workbook
