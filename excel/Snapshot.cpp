#include "excel/Snapshot.h"

#include "excel/JsonReader.h"

#include "model/CellTable.h"
#include "model/FileIO.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace sheetlift {

namespace {

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

using Token = JsonReader::Token;

// Reads a snapshot as the JSON reader meets it, straight into the cell records: no document is
// built. The header is checked against the cap as soon as the cells start (our writer puts it
// first); a header written after the cells is still read right, the cells counted as they come.
class Reader {
  public:
    Reader(std::string name, JsonReader& json) : name_(std::move(name)), json_(json) {}

    std::unique_ptr<SelectionSource> Read();

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
        const std::string_view own = field_ < kUnknown ? kFieldNames[field_] : "";
        if (level_ != Level::Cells && !own.empty())
            place += (place.empty() ? "" : ".") + std::string(own);
        return place;
    }

    // The members of the object the reader is in, until its end; `group` as kFirstOf.
    void Members(int group);
    void Cells();
    // The value of the current field, which starts with `token`.
    void Value(Token token);
    // The value of the current field was of the wrong kind.
    [[noreturn]] void WrongKind() const;
    void Scalar(Kind kind);
    int Whole(double v, long long min, long long max) const {
        if (v != std::floor(v) || v < double(min) || v > double(max))
            Fail(ErrorCode::SnapshotExpectedWholeNumber,
                 {Place(), std::to_string(min), std::to_string(max)});
        return int(v);
    }
    std::string CellText() const {
        if (Utf16Length(text_) > kMaxCellTextUnits)
            Fail(ErrorCode::SnapshotTextTooLong, {Place()});
        return std::string(text_);
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
    std::unique_ptr<SelectionSource> Finish();

    std::string name_;
    JsonReader& json_;
    Level level_ = Level::Outside;
    Field field_ = kNone;
    std::uint64_t seen_ = 0;
    bool flag_ = false;
    double number_ = 0;
    std::string_view text_;

    std::string format_, workbook_, sheet_;
    SelectionRange range_;
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

std::unique_ptr<SelectionSource> Reader::Read() {
    if (json_.Next() != Token::BeginObject)
        Fail(ErrorCode::SnapshotNotObject);
    level_ = Level::Header;
    Members(0);
    level_ = Level::Outside;
    json_.Next(); // the end, or an error for anything after it
    return Finish();
}

void Reader::Members(int group) {
    for (Token token; (token = json_.Next()) == Token::Key;) {
        const std::string_view name = json_.Text();
        field_ = kUnknown;
        for (int f = kFirstOf[group]; f < kEndOf[group]; ++f)
            if (name == kFieldNames[f]) {
                field_ = Field(f);
                break;
            }
        if (field_ == kUnknown) { // skipped whole, at any depth
            json_.Skip();
            continue;
        }
        if (field_ == kCells) {
            Cells();
            continue;
        }
        token = json_.Next();
        if (token == Token::BeginObject && level_ == Level::Cell &&
            (field_ == kBorders || field_ == kMergeArea)) {
            Seen(field_);
            level_ = field_ == kBorders ? Level::Borders : Level::Area;
            field_ = kNone;
            Members(level_ == Level::Borders ? 2 : 3);
            if (level_ == Level::Area)
                if (const Field missing = Missing(kAreaRows, kUnknown); missing != kNone)
                    Fail(ErrorCode::SnapshotMissing,
                         {"cells[" + std::to_string(count_) + "].mergeArea",
                          std::string(kFieldNames[missing])});
            level_ = Level::Cell;
        } else {
            Value(token);
        }
    }
    field_ = kNone;
}

void Reader::Cells() {
    if (json_.Next() != Token::BeginArray)
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
    for (Token token; (token = json_.Next()) != Token::EndArray;) {
        if (token != Token::BeginObject)
            Fail(ErrorCode::SnapshotExpectedObject, {Place()});
        // Once rows x columns is known, a cell more is refused before it is read; before that,
        // the cap bounds what is held.
        if (expected_ ? count_ >= expected_ : count_ >= std::size_t(kMaxSelectionCells))
            Fail(expected_ ? ErrorCode::SnapshotTooManyCells : ErrorCode::SnapshotCellsOverCap,
                 {std::to_string(expected_ ? expected_ : std::size_t(kMaxSelectionCells))});
        level_ = Level::Cell;
        cell_ = SourceCell{};
        seen_ &= (std::uint64_t(1) << kColumnWidth) - 1; // the header's stay
        field_ = kNone;
        Members(1);
        if (const Field missing = Missing(kColumnWidth, kTop); missing != kNone)
            Fail(ErrorCode::SnapshotMissing,
                 {"cells[" + std::to_string(count_) + "]", std::string(kFieldNames[missing])});
        cells_.push_back(std::move(cell_));
        ++count_;
        level_ = Level::Cells;
    }
    level_ = Level::Header;
}

void Reader::Value(Token token) {
    switch (token) {
    case Token::Number:
        if (const auto v = json_.Number())
            number_ = *v;
        else
            Fail(ErrorCode::SnapshotNumberTooLarge, {Place(), std::string(json_.Text())});
        return Scalar(Kind::Number);
    case Token::String:
        text_ = json_.Text();
        return Scalar(Kind::Text);
    case Token::True:
    case Token::False:
        flag_ = token == Token::True;
        return Scalar(Kind::Boolean);
    case Token::Null:
        return Scalar(Kind::Null);
    default: // an object or an array
        WrongKind();
    }
}

void Reader::Scalar(Kind kind) {
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
            if (text_ != kFormatId)
                Fail(ErrorCode::SnapshotNotSnapshot);
            format_ = text_;
            break;
        case kWorkbook:
            workbook_ = text_;
            break;
        case kSheet:
            sheet_ = text_;
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
    JsonReader json(name, text);
    return Reader(name, json).Read();
}

std::unique_ptr<SelectionSource> OpenSnapshotSource(const std::filesystem::path& path) {
    const std::string name = DisplayPath(path);
    // Read as a stream: a large snapshot is never held whole, and one whose header is over the
    // cap is refused after its first line.
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw Error(ErrorCode::FileOpen, {name}, errno);
    JsonReader json(name, [&](char* data, std::size_t size) {
        file.read(data, std::streamsize(size));
        if (file.bad())
            throw Error(ErrorCode::FileRead, {name}, errno);
        return std::size_t(file.gcount());
    });
    return Reader(name, json).Read();
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
