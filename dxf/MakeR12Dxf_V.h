// The R12 ASCII DXF writer: one operation per section or entity, each appending its group-code
// and value lines to the file text. It knows nothing of tables; the caller decides coordinates,
// layers, line types and colours.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sheetlift {

struct TAcadPoint {
    double x = 0;
    double y = 0;
    double z = 0;
};

// The file text is one string in which every entry is followed by CR LF. It stays UTF-8 until
// the finished file is encoded in the system's legacy code page (EncodeLegacy).

// Starts the file afresh: HEADER section, then opens TABLES. `declareCodepage` adds
// $DWGCODEPAGE ANSI_932 so that readers outside Japanese Windows decode the texts correctly.
void AddDxfHeader(std::string& list, bool declareCodepage = false);
void AddDxfLtypeTable(std::string& list);
void AddDxfLayerTable(std::string& list);
void AddDxfEntitiesStart(std::string& list);
void AddDxfLine(std::string& list, const TAcadPoint& start, const TAcadPoint& end,
                std::string_view layer, std::string_view lineType, std::int32_t colour);
// Writes points[0..lastIndex].
void AddDxfPolyline(std::string& list, std::span<const TAcadPoint> points, int lastIndex,
                    bool closed, std::string_view layer, std::string_view lineType,
                    std::int32_t colour);
// `alignCode` ("ML", "MC", "A", ...) overrides hJust and vJust when it is one or two characters
// long. The text must not contain line breaks.
void AddDxfText(std::string& list, std::string_view text, const TAcadPoint& point1,
                const TAcadPoint& point2, double height, double widthFactor, double rotation,
                int hJust, int vJust, std::string_view alignCode, std::string_view layer,
                std::int32_t colour);
void AddDxfEnd(std::string& list);

} // namespace sheetlift
