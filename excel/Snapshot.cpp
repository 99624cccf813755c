#include "excel/Snapshot.h"

#include "model/CellTable.h"
#include "model/FileIO.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace sheetlift {

namespace {

using nlohmann::json;
using ordered_json = nlohmann::ordered_json;

constexpr const char* kFormat = "sheetlift-selection";

struct BorderKey {
    BorderEdge edge;
    const char* name;
};
constexpr BorderKey kBorderKeys[] = {{kBorderTop, "top"},           {kBorderBottom, "bottom"},
                                     {kBorderLeft, "left"},         {kBorderRight, "right"},
                                     {kBorderDown, "diagonalDown"}, {kBorderUp, "diagonalUp"}};

// Reads one snapshot, naming the place of any problem.
class Reader {
  public:
    explicit Reader(std::string name) : name_(std::move(name)) {}

    [[noreturn]] void Fail(const std::string& where, const std::string& what) const {
        throw Error(name_ + ": " + (where.empty() ? "" : where + ": ") + what);
    }

    const json& Member(const json& obj, const std::string& where, const char* key) const {
        const auto it = obj.find(key);
        if (it == obj.end())
            Fail(where, std::string("missing \"") + key + "\"");
        return *it;
    }

    double Number(const json& obj, const std::string& where, const char* key) const {
        const json& v = Member(obj, where, key);
        if (!v.is_number())
            Fail(Join(where, key), "expected a number");
        return v.get<double>();
    }

    int Integer(const json& obj, const std::string& where, const char* key, long long min,
                long long max) const {
        const double v = Number(obj, where, key);
        if (v != std::floor(v) || v < double(min) || v > double(max))
            Fail(Join(where, key), "expected a whole number from " + std::to_string(min) + " to " +
                                       std::to_string(max));
        return int(v);
    }

    std::string Text(const json& obj, const std::string& where, const char* key) const {
        const json& v = Member(obj, where, key);
        if (!v.is_string())
            Fail(Join(where, key), "expected a text");
        return v.get<std::string>();
    }

    bool Boolean(const json& obj, const std::string& where, const char* key) const {
        const json& v = Member(obj, where, key);
        if (!v.is_boolean())
            Fail(Join(where, key), "expected true or false");
        return v.get<bool>();
    }

    static std::string Join(const std::string& where, const char* key) {
        return where.empty() ? key : where + "." + key;
    }

    SourceCell Cell(const json& c, const std::string& where) const {
        if (!c.is_object())
            Fail(where, "expected an object");
        constexpr int kBig = 1 << 30;
        SourceCell cell;
        cell.columnWidth = Number(c, where, "columnWidth");
        cell.rowHeight = Number(c, where, "rowHeight");
        cell.horizontalAlignment = Integer(c, where, "horizontalAlignment", -kBig, kBig);
        cell.fontSize = Number(c, where, "fontSize");
        cell.text = Text(c, where, "text");
        const json& v = Member(c, where, "value2");
        if (v.is_number())
            cell.value2 = v.get<double>();
        else if (v.is_string())
            cell.value2 = v.get<std::string>();
        else if (v.is_boolean())
            cell.value2 = v.get<bool>();
        else if (!v.is_null())
            Fail(Join(where, "value2"), "expected a number, a text, true, false or null");
        const json& borders = Member(c, where, "borders");
        const std::string bordersWhere = Join(where, "borders");
        if (!borders.is_object())
            Fail(bordersWhere, "expected an object");
        for (const BorderKey& key : kBorderKeys)
            if (borders.contains(key.name))
                cell.borders[key.edge] = Integer(borders, bordersWhere, key.name, -kBig, kBig);
        cell.mergeCells = Boolean(c, where, "mergeCells");
        const json& area = Member(c, where, "mergeArea");
        const std::string areaWhere = Join(where, "mergeArea");
        if (!area.is_object())
            Fail(areaWhere, "expected an object");
        cell.mergeRows = Integer(area, areaWhere, "rows", 1, kMaxSheetRows);
        cell.mergeColumns = Integer(area, areaWhere, "columns", 1, kMaxSheetColumns);
        cell.mergeLeft = Number(area, areaWhere, "left");
        cell.mergeTop = Number(area, areaWhere, "top");
        return cell;
    }

  private:
    std::string name_;
};

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
        throw Error(name_ + ": the cell " + address + " is not part of the recorded selection");
    }

  private:
    std::string workbook_;
    std::string sheet_;
    SelectionRange range_;
    std::vector<SourceCell> cells_;
    std::string name_;
};

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
    const Reader in(name);
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::parse_error& e) {
        std::string what = e.what();
        if (const auto pos = what.find("] "); pos != std::string::npos)
            what.erase(0, pos + 2);
        in.Fail("", "not valid JSON (" + what + ")");
    }
    if (!doc.is_object())
        in.Fail("", "expected a JSON object");
    if (!doc.contains("format") || doc["format"] != kFormat)
        in.Fail("",
                std::string("not a selection snapshot (\"format\" is not \"") + kFormat + "\")");
    if (in.Integer(doc, "", "version", 0, 1 << 30) != 1)
        in.Fail("version", "only version 1 is known");
    SelectionRange range;
    range.row = in.Integer(doc, "", "row", 1, kMaxSheetRows);
    range.column = in.Integer(doc, "", "column", 1, kMaxSheetColumns);
    range.rows = in.Integer(doc, "", "rows", 1, kMaxSheetRows);
    range.columns = in.Integer(doc, "", "columns", 1, kMaxSheetColumns);
    try {
        CheckSelection(range);
    } catch (const Error& e) {
        in.Fail("", e.what());
    }
    const json& cells = in.Member(doc, "", "cells");
    if (!cells.is_array())
        in.Fail("cells", "expected an array");
    const std::size_t count = std::size_t(range.rows) * std::size_t(range.columns);
    if (cells.size() != count)
        in.Fail("cells", "holds " + std::to_string(cells.size()) +
                             " cells, but rows x columns is " + std::to_string(count));
    std::vector<SourceCell> parsed;
    parsed.reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        parsed.push_back(in.Cell(cells[k], "cells[" + std::to_string(k) + "]"));
    return std::make_unique<SnapshotSource>(in.Text(doc, "", "workbook"), in.Text(doc, "", "sheet"),
                                            range, std::move(parsed), name);
}

std::unique_ptr<SelectionSource> OpenSnapshotSource(const std::filesystem::path& path) {
    return ParseSnapshot(ReadWholeFile(path), DisplayPath(path));
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
    head["format"] = kFormat;
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
