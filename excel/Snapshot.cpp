#include "excel/Snapshot.h"

#include "model/CellTable.h"
#include "model/FileIO.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace sheetlift {

namespace {

using nlohmann::json;
using ordered_json = nlohmann::ordered_json;

constexpr const char* kFormatId = "sheetlift-selection";

struct BorderKey {
    BorderEdge edge;
    const char* name;
};
constexpr BorderKey kBorderKeys[] = {{kBorderTop, "top"},           {kBorderBottom, "bottom"},
                                     {kBorderLeft, "left"},         {kBorderRight, "right"},
                                     {kBorderDown, "diagonalDown"}, {kBorderUp, "diagonalUp"}};

class SnapshotSource : public SelectionSource {
  public:
    SnapshotSource(std::string workbook, std::string sheet, SelectionRange range,
                   std::vector<SourceCell> cells, std::string name)
        : workbook_(std::move(workbook)), sheet_(std::move(sheet)), range_(range),
          cells_(std::move(cells)), name_(std::move(name)) {}

    void Attach() override {}
    void SetScreenUpdating(bool) override {}
    std::string WorkbookName() override { return workbook_; }
    std::string SheetName() override { return sheet_; }
    SelectionRange Selection() override { return range_; }

    SourceCell Cell(const std::string& address) override {
        std::string why;
        const auto cell = ParseCellRange(address, why);
        if (cell && cell->rows == 1 && cell->columns == 1) {
            const int i = cell->row - range_.row;
            const int j = cell->column - range_.column;
            if (i >= 0 && i < range_.rows && j >= 0 && j < range_.columns)
                return cells_[std::size_t(i) * range_.columns + j];
        }
        throw Error(ErrorCode::SnapshotCellNotRecorded, {name_, address});
    }

  private:
    std::string workbook_;
    std::string sheet_;
    SelectionRange range_;
    std::vector<SourceCell> cells_;
    std::string name_;
};

// The fields a snapshot knows, in the order of their names below; each container has its own.
enum Field : std::uint8_t {
    kNone,
    // the header
    kFormat,
    kVersion,
    kWorkbook,
    kSheet,
    kRow,
    kColumn,
    kRows,
    kColumns,
    kCells,
    // a cell
    kColumnWidth,
    kRowHeight,
    kHorizontalAlignment,
    kFontSize,
    kText,
    kValue2,
    kBorders,
    kMergeCells,
    kMergeArea,
    // a cell's borders, as kBorderKeys
    kTop,
    kBottom,
    kLeft,
    kRight,
    kDiagonalDown,
    kDiagonalUp,
    // a cell's merged area
    kAreaRows,
    kAreaColumns,
    kAreaLeft,
    kAreaTop,
    kUnknown
};
// Views, so that a key is told apart by its length before its characters are compared.
constexpr std::string_view kFieldNames[] = {"",
                                            "format",
                                            "version",
                                            "workbook",
                                            "sheet",
                                            "row",
                                            "column",
                                            "rows",
                                            "columns",
                                            "cells",
                                            "columnWidth",
                                            "rowHeight",
                                            "horizontalAlignment",
                                            "fontSize",
                                            "text",
                                            "value2",
                                            "borders",
                                            "mergeCells",
                                            "mergeArea",
                                            "top",
                                            "bottom",
                                            "left",
                                            "right",
                                            "diagonalDown",
                                            "diagonalUp",
                                            "rows",
                                            "columns",
                                            "left",
                                            "top"};
// The fields of the header, of a cell, of its borders and of its merged area.
constexpr Field kFirstOf[] = {kFormat, kColumnWidth, kTop, kAreaRows};
constexpr Field kEndOf[] = {kColumnWidth, kTop, kAreaRows, kUnknown};

// Where the reader stands: in the header object, the cells array, a cell, or a cell's borders
// or merged area.
enum class Level { Outside, Header, Cells, Cell, Borders, Area };

constexpr int kBig = 1 << 30;

// Reads a snapshot as the parser meets it, straight into the cell records: no document is
// built. The header is checked against the cap as soon as the cells start (our writer puts it
// first); a header written after the cells is still read right, the cells counted as they come.
class Reader : public nlohmann::json_sax<json> {
  public:
    explicit Reader(std::string name) : name_(std::move(name)) {}

    std::unique_ptr<SelectionSource> Finish();

    bool null() override { return Scalar(Kind::Null); }
    bool boolean(bool v) override {
        flag_ = v;
        return Scalar(Kind::Boolean);
    }
    bool number_integer(number_integer_t v) override { return Number(double(v)); }
    bool number_unsigned(number_unsigned_t v) override { return Number(double(v)); }
    bool number_float(number_float_t v, const string_t&) override { return Number(v); }
    bool string(string_t& v) override {
        text_ = &v;
        return Scalar(Kind::Text);
    }
    bool binary(binary_t&) override { return true; } // only binary formats have these
    bool start_object(std::size_t) override;
    bool end_object() override;
    bool start_array(std::size_t) override;
    bool end_array() override;
    bool key(string_t& name) override;
    bool parse_error(std::size_t, const std::string& token,
                     const nlohmann::detail::exception& e) override {
        if (e.id == 406) // a number a double cannot hold
            Fail(ErrorCode::SnapshotNumberTooLarge, {Place(), token});
        std::string what = e.what();
        if (const auto pos = what.find("] "); pos != std::string::npos)
            what.erase(0, pos + 2);
        Fail(ErrorCode::SnapshotNotJson, {what});
    }

  private:
    enum class Kind { Null, Boolean, Number, Text };

    [[noreturn]] void Fail(ErrorCode code, std::vector<std::string> args = {}) const {
        args.insert(args.begin(), name_);
        throw Error(code, std::move(args));
    }

    // "cells[12].rowHeight", built only for a message.
    std::string Place() const {
        std::string place;
        if (level_ >= Level::Cells)
            place = "cells[" + std::to_string(count_) + "]";
        if (level_ == Level::Borders)
            place += ".borders";
        if (level_ == Level::Area)
            place += ".mergeArea";
        const std::string own = field_ == kUnknown ? unknown_ : std::string(kFieldNames[field_]);
        if (level_ != Level::Cells && !own.empty())
            place += (place.empty() ? "" : ".") + own;
        return place;
    }

    // The value of the current field was of the wrong kind.
    [[noreturn]] void WrongKind() const;
    bool Scalar(Kind kind);
    bool Number(double v);
    int Whole(double v, long long min, long long max) const {
        if (v != std::floor(v) || v < double(min) || v > double(max))
            Fail(ErrorCode::SnapshotExpectedWholeNumber,
                 {Place(), std::to_string(min), std::to_string(max)});
        return int(v);
    }
    std::string CellText() const {
        if (Utf16Length(*text_) > kMaxCellTextUnits)
            Fail(ErrorCode::SnapshotTextTooLong, {Place()});
        return std::move(*text_);
    }
    void Seen(Field field) { seen_ |= std::uint64_t(1) << field; }
    // The first field of [first, end) that was not given.
    Field Missing(Field first, Field end) const {
        for (int f = first; f < end; ++f)
            if (!(seen_ & (std::uint64_t(1) << f)))
                return Field(f);
        return kNone;
    }
    void CheckRange() const;

    std::string name_;
    Level level_ = Level::Outside;
    Field field_ = kNone;
    std::string unknown_; // the name of an unknown field, for messages
    int skip_ = 0;        // depth inside a value of an unknown field
    std::uint64_t seen_ = 0;
    bool flag_ = false;
    double number_ = 0;
    string_t* text_ = nullptr;

    std::string format_, workbook_, sheet_;
    SelectionRange range_;
    bool cellsSeen_ = false;
    std::size_t expected_ = 0; // cells rows x columns promises, 0 while the header is not read
    std::size_t count_ = 0;    // cells read
    std::vector<SourceCell> cells_;
    SourceCell cell_;
};

void Reader::WrongKind() const {
    switch (field_) {
    case kFormat:
        Fail(ErrorCode::SnapshotNotSnapshot);
    case kWorkbook:
    case kSheet:
    case kText:
        Fail(ErrorCode::SnapshotExpectedText, {Place()});
    case kMergeCells:
        Fail(ErrorCode::SnapshotExpectedBoolean, {Place()});
    case kValue2:
        Fail(ErrorCode::SnapshotExpectedValue, {Place()});
    case kCells:
        Fail(ErrorCode::SnapshotExpectedArray, {Place()});
    case kBorders:
    case kMergeArea:
        Fail(ErrorCode::SnapshotExpectedObject, {Place()});
    default:
        Fail(ErrorCode::SnapshotExpectedNumber, {Place()});
    }
}

bool Reader::Number(double v) {
    number_ = v;
    return Scalar(Kind::Number);
}

bool Reader::Scalar(Kind kind) {
    if (skip_ > 0 || field_ == kUnknown)
        return true;
    if (level_ == Level::Outside)
        Fail(ErrorCode::SnapshotNotObject);
    if (level_ == Level::Cells) // a cell that is not an object
        Fail(ErrorCode::SnapshotExpectedObject, {Place()});
    const Field field = field_;
    if (kind == Kind::Number) {
        switch (field) {
        case kVersion:
            if (Whole(number_, 0, kBig) != 1)
                Fail(ErrorCode::SnapshotVersion);
            break;
        case kRow:
            range_.row = Whole(number_, 1, kMaxSheetRows);
            break;
        case kColumn:
            range_.column = Whole(number_, 1, kMaxSheetColumns);
            break;
        case kRows:
            range_.rows = Whole(number_, 1, kMaxSheetRows);
            break;
        case kColumns:
            range_.columns = Whole(number_, 1, kMaxSheetColumns);
            break;
        case kColumnWidth:
            cell_.columnWidth = number_;
            break;
        case kRowHeight:
            cell_.rowHeight = number_;
            break;
        case kHorizontalAlignment:
            cell_.horizontalAlignment = Whole(number_, -kBig, kBig);
            break;
        case kFontSize:
            cell_.fontSize = number_;
            break;
        case kValue2:
            cell_.value2 = number_;
            break;
        case kTop:
        case kBottom:
        case kLeft:
        case kRight:
        case kDiagonalDown:
        case kDiagonalUp:
            cell_.borders[kBorderKeys[field - kTop].edge] = Whole(number_, -kBig, kBig);
            break;
        case kAreaRows:
            cell_.mergeRows = Whole(number_, 1, kMaxSheetRows);
            break;
        case kAreaColumns:
            cell_.mergeColumns = Whole(number_, 1, kMaxSheetColumns);
            break;
        case kAreaLeft:
            cell_.mergeLeft = number_;
            break;
        case kAreaTop:
            cell_.mergeTop = number_;
            break;
        default:
            WrongKind();
        }
    } else if (kind == Kind::Text) {
        switch (field) {
        case kFormat:
            if (*text_ != kFormatId)
                Fail(ErrorCode::SnapshotNotSnapshot);
            format_ = *text_;
            break;
        case kWorkbook:
            workbook_ = std::move(*text_);
            break;
        case kSheet:
            sheet_ = std::move(*text_);
            break;
        case kText:
            cell_.text = CellText();
            break;
        case kValue2:
            cell_.value2 = CellText();
            break;
        default:
            WrongKind();
        }
    } else if (kind == Kind::Boolean && field == kMergeCells) {
        cell_.mergeCells = flag_;
    } else if (kind == Kind::Boolean && field == kValue2) {
        cell_.value2 = flag_;
    } else if (kind == Kind::Null && field == kValue2) {
        cell_.value2 = std::monostate{};
    } else {
        WrongKind();
    }
    Seen(field);
    return true;
}

bool Reader::key(string_t& name) {
    if (skip_ > 0)
        return true;
    // The fields of the object the reader is in (the cells array has no keys).
    const int group = level_ == Level::Header ? 0 : int(level_) - int(Level::Cells);
    field_ = kUnknown;
    for (int f = kFirstOf[group]; f < kEndOf[group]; ++f)
        if (name == kFieldNames[f]) {
            field_ = Field(f);
            break;
        }
    if (field_ == kUnknown)
        unknown_ = name;
    return true;
}

bool Reader::start_object(std::size_t) {
    if (skip_ > 0 || field_ == kUnknown) {
        ++skip_;
        return true;
    }
    switch (level_) {
    case Level::Outside:
        level_ = Level::Header;
        return true;
    case Level::Cells:
        // Once rows x columns is known, a cell more is refused before it is read; before that,
        // the cap bounds what is held.
        if (expected_ ? count_ >= expected_ : count_ >= std::size_t(kMaxSelectionCells))
            Fail(expected_ ? ErrorCode::SnapshotTooManyCells : ErrorCode::SnapshotCellsOverCap,
                 {std::to_string(expected_ ? expected_ : std::size_t(kMaxSelectionCells))});
        level_ = Level::Cell;
        cell_ = SourceCell{};
        seen_ &= (std::uint64_t(1) << kColumnWidth) - 1; // the header's stay
        field_ = kNone;
        return true;
    case Level::Cell:
        if (field_ != kBorders && field_ != kMergeArea)
            WrongKind();
        Seen(field_);
        level_ = field_ == kBorders ? Level::Borders : Level::Area;
        field_ = kNone;
        return true;
    default:
        WrongKind();
    }
}

bool Reader::end_object() {
    if (skip_ > 0) {
        --skip_;
        return true;
    }
    field_ = kNone;
    switch (level_) {
    case Level::Area:
        if (const Field missing = Missing(kAreaRows, kUnknown); missing != kNone)
            Fail(ErrorCode::SnapshotMissing, {"cells[" + std::to_string(count_) + "].mergeArea",
                                              std::string(kFieldNames[missing])});
        [[fallthrough]];
    case Level::Borders:
        level_ = Level::Cell;
        return true;
    case Level::Cell:
        if (const Field missing = Missing(kColumnWidth, kTop); missing != kNone)
            Fail(ErrorCode::SnapshotMissing,
                 {"cells[" + std::to_string(count_) + "]", std::string(kFieldNames[missing])});
        cells_.push_back(std::move(cell_));
        ++count_;
        level_ = Level::Cells;
        return true;
    default:
        level_ = Level::Outside;
        return true;
    }
}

bool Reader::start_array(std::size_t) {
    if (skip_ > 0 || field_ == kUnknown) {
        ++skip_;
        return true;
    }
    if (level_ == Level::Outside)
        Fail(ErrorCode::SnapshotNotObject);
    if (level_ == Level::Cells)
        Fail(ErrorCode::SnapshotExpectedObject, {Place()});
    if (field_ != kCells)
        WrongKind();
    // A file that gives its cells twice counts the last, as for any other field.
    Seen(kCells);
    cells_.clear();
    count_ = 0;
    if (!(~seen_ & ((std::uint64_t(1) << kRow) | (std::uint64_t(1) << kColumn) |
                    (std::uint64_t(1) << kRows) | (std::uint64_t(1) << kColumns)))) {
        CheckRange();
        expected_ = std::size_t(range_.rows) * std::size_t(range_.columns);
        cells_.reserve(expected_);
    }
    level_ = Level::Cells;
    return true;
}

bool Reader::end_array() {
    if (skip_ > 0) {
        --skip_;
        return true;
    }
    level_ = Level::Header;
    field_ = kNone;
    return true;
}

void Reader::CheckRange() const {
    try {
        CheckSelection(range_);
    } catch (const Error& e) {
        std::vector<std::string> args = e.args();
        Fail(e.code() == ErrorCode::SelectionTooLarge ? ErrorCode::SnapshotSelectionTooLarge
                                                      : ErrorCode::SnapshotSelectionNotOnSheet,
             std::move(args));
    }
}

std::unique_ptr<SelectionSource> Reader::Finish() {
    if (format_ != kFormatId)
        Fail(ErrorCode::SnapshotNotSnapshot);
    for (Field f : {kVersion, kRow, kColumn, kRows, kColumns, kCells, kWorkbook, kSheet})
        if (!(seen_ & (std::uint64_t(1) << f)))
            Fail(ErrorCode::SnapshotMissingHeader, {std::string(kFieldNames[f])});
    CheckRange();
    const std::size_t count = std::size_t(range_.rows) * std::size_t(range_.columns);
    if (cells_.size() != count)
        Fail(ErrorCode::SnapshotCellCount, {std::to_string(cells_.size()), std::to_string(count)});
    return std::make_unique<SnapshotSource>(std::move(workbook_), std::move(sheet_), range_,
                                            std::move(cells_), name_);
}

ordered_json CellJson(const SourceCell& cell) {
    ordered_json c;
    c["columnWidth"] = cell.columnWidth;
    c["rowHeight"] = cell.rowHeight;
    c["horizontalAlignment"] = cell.horizontalAlignment;
    c["fontSize"] = cell.fontSize;
    c["text"] = cell.text;
    struct Visitor {
        ordered_json operator()(std::monostate) const { return nullptr; }
        ordered_json operator()(double v) const { return v; }
        ordered_json operator()(const std::string& v) const { return v; }
        ordered_json operator()(bool v) const { return v; }
    };
    c["value2"] = std::visit(Visitor{}, cell.value2);
    ordered_json borders = ordered_json::object();
    for (const BorderKey& key : kBorderKeys)
        borders[key.name] = cell.borders[key.edge];
    c["borders"] = borders;
    c["mergeCells"] = cell.mergeCells;
    c["mergeArea"] = {{"rows", cell.mergeRows},
                      {"columns", cell.mergeColumns},
                      {"left", cell.mergeLeft},
                      {"top", cell.mergeTop}};
    return c;
}

std::string Dump(const ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace

std::unique_ptr<SelectionSource> ParseSnapshot(const std::string& text, const std::string& name) {
    Reader reader(name);
    json::sax_parse(text.data(), text.data() + text.size(), &reader);
    return reader.Finish();
}

std::unique_ptr<SelectionSource> OpenSnapshotSource(const std::filesystem::path& path) {
    const std::string name = DisplayPath(path);
    // Read as a stream: a large snapshot is never held whole, and one whose header is over the
    // cap is refused after its first line.
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw Error(ErrorCode::FileOpen, {name}, errno);
    Reader reader(name);
    json::sax_parse(file, &reader);
    if (file.bad())
        throw Error(ErrorCode::FileRead, {name}, errno);
    return reader.Finish();
}

std::string SnapshotJson(SelectionSource& source) {
    source.Attach();
    source.SetScreenUpdating(false);
    struct Restore {
        SelectionSource& source;
        ~Restore() {
            try {
                source.SetScreenUpdating(true);
            } catch (...) {
            }
        }
    } restore{source};
    ordered_json head;
    head["format"] = kFormatId;
    head["version"] = 1;
    head["workbook"] = source.WorkbookName();
    head["sheet"] = source.SheetName();
    const SelectionRange range = source.Selection();
    CheckSelection(range);
    head["row"] = range.row;
    head["column"] = range.column;
    head["rows"] = range.rows;
    head["columns"] = range.columns;
    // One cell per line keeps snapshots readable and their diffs small.
    std::string out = Dump(head);
    out.pop_back();
    out += ",\"cells\":[\n";
    for (int i = 0; i < range.rows; ++i)
        for (int j = 0; j < range.columns; ++j) {
            out += Dump(CellJson(source.Cell(CellAddress(range.row + i, range.column + j))));
            out += (i + 1 == range.rows && j + 1 == range.columns) ? "\n" : ",\n";
        }
    out += "]}\n";
    return out;
}

} // namespace sheetlift
