#include "dxf/MakeR12Dxf_V.h"

#include "model/NumberFormat.h"

#include <charconv>

namespace sheetlift {

namespace {

// One entry: its text and the line end.
void Put(std::string& list, std::string_view entry) {
    list += entry;
    list += "\r\n";
}

// A group-code line and its value line; `code` is already right-aligned ("  0", " 10").
void Pair(std::string& list, std::string_view code, std::string_view value) {
    Put(list, code);
    Put(list, value);
}

void PairNumber(std::string& list, std::string_view code, double value) {
    Put(list, code);
    AppendGeneral(list, value);
    list += "\r\n";
}

void PairInt(std::string& list, std::string_view code, std::int32_t value) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    Pair(list, code, std::string_view(buf, std::size_t(res.ptr - buf)));
}

void PairPoint(std::string& list, const char* codes[3], const TAcadPoint& p) {
    PairNumber(list, codes[0], p.x);
    PairNumber(list, codes[1], p.y);
    PairNumber(list, codes[2], p.z);
}

void ApplyAlignCode(std::string_view code, int& hJust, int& vJust) {
    const auto horizontal = [&hJust](char c) {
        switch (c) {
        case 'L':
            hJust = 0;
            break;
        case 'C':
            hJust = 1;
            break;
        case 'R':
            hJust = 2;
            break;
        default:
            break;
        }
    };
    if (code.size() == 2) {
        switch (code[0]) {
        case 'M':
            vJust = 2;
            break;
        case 'T':
            vJust = 3;
            break;
        case 'B':
            vJust = 1;
            break;
        default:
            break;
        }
        horizontal(code[1]);
    } else if (code.size() == 1) {
        horizontal(code[0]);
        switch (code[0]) {
        case 'A':
            hJust = 3;
            break;
        case 'M':
            hJust = 4;
            break;
        case 'F':
            hJust = 5;
            break;
        default:
            break;
        }
        vJust = 0;
    }
}

} // namespace

void AddDxfHeader(std::string& list, bool declareCodepage) {
    list.clear();
    Pair(list, "  0", "SECTION");
    Pair(list, "  2", "HEADER");
    Pair(list, "  9", "$ACADVER");
    Pair(list, "  1", "AC1009");
    if (declareCodepage) {
        Pair(list, "  9", "$DWGCODEPAGE");
        Pair(list, "  3", "ANSI_932");
    }
    Pair(list, "  9", "$CELTYPE");
    Pair(list, "  6", "BYLAYER");
    Pair(list, "  9", "$CECOLOR");
    Pair(list, " 62", "256");
    Pair(list, "  0", "ENDSEC");
    Pair(list, "  0", "SECTION");
    Pair(list, "  2", "TABLES");
}

void AddDxfLtypeTable(std::string& list) {
    Pair(list, "  0", "TABLE");
    Pair(list, "  2", "LTYPE");
    Pair(list, " 70", "     2");
    Pair(list, "  0", "LTYPE");
    Pair(list, "  2", "CONTINUOUS");
    Pair(list, " 70", "     0");
    Pair(list, "  3", "Solid line");
    Pair(list, " 72", "    65");
    Pair(list, " 73", "     0");
    Pair(list, " 40", "0.0");
    Pair(list, "  0", "ENDTAB");
}

void AddDxfLayerTable(std::string& list) {
    static constexpr std::string_view kLayers[][2] = {
        {"0", "     7"},
        {"XLSCellLine", "   252"},
        {"XLSCellText", "     7"},
        {"XLSBordLine", "     7"},
    };
    Pair(list, "  0", "TABLE");
    Pair(list, "  2", "LAYER");
    Pair(list, " 70", "     4");
    for (const auto& [name, colour] : kLayers) {
        Pair(list, "  0", "LAYER");
        Pair(list, "  2", name);
        Pair(list, " 70", "     0");
        Pair(list, " 62", colour);
        Pair(list, "  6", "CONTINUOUS");
    }
    Pair(list, "  0", "ENDTAB");
}

void AddDxfEntitiesStart(std::string& list) {
    Pair(list, "  0", "ENDSEC");
    Pair(list, "  0", "SECTION");
    Pair(list, "  2", "ENTITIES");
}

void AddDxfLine(std::string& list, const TAcadPoint& start, const TAcadPoint& end,
                std::string_view layer, std::string_view lineType, std::int32_t colour) {
    static const char* kStart[3] = {" 10", " 20", " 30"};
    static const char* kEnd[3] = {" 11", " 21", " 31"};
    Pair(list, "  0", "LINE");
    Pair(list, "  8", layer);
    Pair(list, "  6", lineType);
    PairInt(list, " 62", colour);
    Pair(list, " 48", "1.0");
    PairPoint(list, kStart, start);
    PairPoint(list, kEnd, end);
}

void AddDxfPolyline(std::string& list, std::span<const TAcadPoint> points, int lastIndex,
                    bool closed, std::string_view layer, std::string_view lineType,
                    std::int32_t colour) {
    Pair(list, "  0", "POLYLINE");
    Pair(list, "  8", layer);
    Pair(list, "  6", lineType);
    PairInt(list, " 62", colour);
    Pair(list, " 48", "1.0");
    Pair(list, " 66", "1");
    Pair(list, " 10", "0.0");
    Pair(list, " 20", "0.0");
    Pair(list, " 30", "0.0");
    Pair(list, " 70", closed ? "1" : "0");
    for (int k = 0; k <= lastIndex && std::size_t(k) < points.size(); ++k) {
        Pair(list, "  0", "VERTEX");
        Pair(list, "  8", layer);
        PairNumber(list, " 10", points[std::size_t(k)].x);
        PairNumber(list, " 20", points[std::size_t(k)].y);
        Pair(list, " 30", "0.0");
    }
    Pair(list, "  0", "SEQEND");
}

void AddDxfText(std::string& list, std::string_view text, const TAcadPoint& point1,
                const TAcadPoint& point2, double height, double widthFactor, double rotation,
                int hJust, int vJust, std::string_view alignCode, std::string_view layer,
                std::int32_t colour) {
    static const char* kPoint1[3] = {" 10", " 20", " 30"};
    static const char* kPoint2[3] = {" 11", " 21", " 31"};
    ApplyAlignCode(alignCode, hJust, vJust);
    Pair(list, "  0", "TEXT");
    Pair(list, "  8", layer);
    Pair(list, "  7", "STANDARD");
    PairInt(list, " 62", colour);
    PairPoint(list, kPoint1, point1);
    PairPoint(list, kPoint2, point2);
    Pair(list, "  1", text);
    PairNumber(list, " 40", height);
    PairNumber(list, " 41", widthFactor);
    PairNumber(list, " 50", rotation);
    Pair(list, " 51", "0.0");
    Pair(list, " 71", "0");
    PairInt(list, " 72", hJust);
    PairInt(list, " 73", vJust);
}

void AddDxfEnd(std::string& list) {
    Pair(list, "  0", "ENDSEC");
    Pair(list, "  0", "EOF");
}

} // namespace sheetlift
