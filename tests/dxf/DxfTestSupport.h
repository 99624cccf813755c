// Small tables and a reader of the written group pairs, shared by the DXF tests.
#pragma once

#include "dxf/TableDxf.h"
#include "model/CellTable.h"
#include "model/Settings.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sheetlift::test {

// Scales that give round drawing sizes: colW 10 -> 30, rowH 12 -> 6, txtSize 12 -> 3.
inline Settings RoundSettings() {
    Settings s;
    s.cadXsc = 3;
    s.cadYsc = 0.5;
    s.cadTsc = 0.25;
    s.cadTof = 0.8;
    return s;
}

// rows x cols unmerged cells, laid out with RoundSettings().
inline CellTable MakeTable(int rows, int cols, std::uint16_t colW = 10, std::uint16_t rowH = 12) {
    CellTable t;
    t.cellRows = rows;
    t.cellCols = cols;
    t.cellAttrs.resize(std::size_t(rows) * cols);
    for (auto& c : t.cellAttrs) {
        c.colW = colW;
        c.rowH = rowH;
        c.txtSize = 12;
        c.mergerowYscount = 1;
        c.mergecolXscount = 1;
    }
    CalcCellLayout(t, RoundSettings());
    return t;
}

// Marks the area as the import does (every cell reports the whole area) and lays out again.
inline void Merge(CellTable& t, int i, int j, int rows, int cols) {
    for (int a = i; a < i + rows; ++a)
        for (int b = j; b < j + cols; ++b) {
            t.at(a, b).cellMerge = true;
            t.at(a, b).mergerowYscount = std::uint16_t(rows);
            t.at(a, b).mergecolXscount = std::uint16_t(cols);
        }
    CalcCellLayout(t, RoundSettings());
}

// The DXF of the entities that `draw` gives a writer, ENTITIES section start and end included.
inline std::string DxfOfEntities(const std::function<void(DrawingSink&)>& draw) {
    std::string bytes = "  2\r\nENTITIES\r\n";
    StringSink sink(bytes);
    DxfDrawingWriter writer(sink, {});
    draw(writer);
    writer.End();
    return bytes;
}

// One entity of the ENTITIES section: its type and its group pairs (code without blanks).
struct Entity {
    std::string type;
    std::vector<std::pair<std::string, std::string>> groups;

    std::string Get(std::string_view code) const {
        for (const auto& [c, v] : groups)
            if (c == code)
                return v;
        return "(missing " + std::string(code) + ")";
    }
    // "layer: (x1, y1)-(x2, y2)" for a LINE, as written.
    std::string Line() const {
        return Get("8") + ": (" + Get("10") + ", " + Get("20") + ")-(" + Get("11") + ", " +
               Get("21") + ")";
    }
};

// Splits a file at CR LF into entities; stops at the end of ENTITIES.
inline std::vector<Entity> Entities(std::string_view dxf) {
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < dxf.size();) {
        const std::size_t end = dxf.find("\r\n", from);
        if (end == std::string_view::npos)
            break;
        lines.emplace_back(dxf.substr(from, end - from));
        from = end + 2;
    }
    std::vector<Entity> entities;
    bool inEntities = false;
    for (std::size_t k = 0; k + 1 < lines.size(); k += 2) {
        std::string code = lines[k].substr(lines[k].find_first_not_of(' '));
        const std::string& value = lines[k + 1];
        if (code == "2" && value == "ENTITIES") {
            inEntities = true;
        } else if (code == "0" && inEntities) {
            if (value == "ENDSEC")
                break;
            entities.push_back({value, {}});
        } else if (inEntities && !entities.empty()) {
            entities.back().groups.emplace_back(code, value);
        }
    }
    return entities;
}

} // namespace sheetlift::test
