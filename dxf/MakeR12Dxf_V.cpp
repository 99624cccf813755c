#include "dxf/MakeR12Dxf_V.h"

#include "model/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstring>

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

// Writes an entity's lines straight into room made at the end of the list, which it gives
// back when done: entities are most of the file, and appending them line by line costs more
// than formatting their numbers. `most` bounds what is written.
class EntityText {
  public:
    EntityText(std::string& list, std::size_t most) : list_(list), start_(list.size()) {
        list_.resize(start_ + most);
        p_ = list_.data() + start_;
    }
    ~EntityText() { list_.resize(std::size_t(p_ - list_.data())); }
    EntityText(const EntityText&) = delete;
    EntityText& operator=(const EntityText&) = delete;

    // Fixed text, group codes and line ends included.
    template <std::size_t N> EntityText& operator<<(const char (&text)[N]) {
        std::memcpy(p_, text, N - 1);
        p_ += N - 1;
        return *this;
    }
    EntityText& operator<<(std::string_view text) {
        std::memcpy(p_, text.data(), text.size());
        p_ += text.size();
        return *this;
    }
    EntityText& operator<<(double value) {
        p_ = WriteGeneral(p_, value);
        return *this;
    }
    EntityText& operator<<(std::int32_t value) {
        p_ = std::to_chars(p_, p_ + kMaxInt, value).ptr;
        return *this;
    }

    static constexpr std::size_t kMaxInt = 11; // "-2147483648"
    static constexpr std::size_t kMaxNumber = kMaxGeneralLength;

  private:
    std::string& list_;
    const std::size_t start_;
    char* p_;
};

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
    EntityText e(list, 160 + layer.size() + lineType.size() + 6 * EntityText::kMaxNumber);
    e << "  0\r\nLINE\r\n  8\r\n"
      << layer << "\r\n  6\r\n"
      << lineType << "\r\n 62\r\n"
      << colour << "\r\n 48\r\n1.0\r\n 10\r\n"
      << start.x << "\r\n 20\r\n"
      << start.y << "\r\n 30\r\n"
      << start.z << "\r\n 11\r\n"
      << end.x << "\r\n 21\r\n"
      << end.y << "\r\n 31\r\n"
      << end.z << "\r\n";
}

void AddDxfPolyline(std::string& list, std::span<const TAcadPoint> points, int lastIndex,
                    bool closed, std::string_view layer, std::string_view lineType,
                    std::int32_t colour) {
    const std::size_t count =
        lastIndex < 0 ? 0 : std::min(std::size_t(lastIndex) + 1, points.size());
    EntityText e(list, 200 + layer.size() + lineType.size() +
                           count * (50 + layer.size() + 2 * EntityText::kMaxNumber));
    e << "  0\r\nPOLYLINE\r\n  8\r\n"
      << layer << "\r\n  6\r\n"
      << lineType << "\r\n 62\r\n"
      << colour << "\r\n 48\r\n1.0\r\n 66\r\n1\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n0.0\r\n 70\r\n"
      << (closed ? "1" : "0") << "\r\n";
    for (std::size_t k = 0; k < count; ++k)
        e << "  0\r\nVERTEX\r\n  8\r\n"
          << layer << "\r\n 10\r\n"
          << points[k].x << "\r\n 20\r\n"
          << points[k].y << "\r\n 30\r\n0.0\r\n";
    e << "  0\r\nSEQEND\r\n";
}

void AddDxfText(std::string& list, std::string_view text, const TAcadPoint& point1,
                const TAcadPoint& point2, double height, double widthFactor, double rotation,
                int hJust, int vJust, std::string_view alignCode, std::string_view layer,
                std::int32_t colour) {
    ApplyAlignCode(alignCode, hJust, vJust);
    EntityText e(list, 200 + text.size() + layer.size() + 9 * EntityText::kMaxNumber +
                           3 * EntityText::kMaxInt);
    e << "  0\r\nTEXT\r\n  8\r\n"
      << layer << "\r\n  7\r\nSTANDARD\r\n 62\r\n"
      << colour << "\r\n 10\r\n"
      << point1.x << "\r\n 20\r\n"
      << point1.y << "\r\n 30\r\n"
      << point1.z << "\r\n 11\r\n"
      << point2.x << "\r\n 21\r\n"
      << point2.y << "\r\n 31\r\n"
      << point2.z << "\r\n  1\r\n"
      << text << "\r\n 40\r\n"
      << height << "\r\n 41\r\n"
      << widthFactor << "\r\n 50\r\n"
      << rotation << "\r\n 51\r\n0.0\r\n 71\r\n0\r\n 72\r\n"
      << std::int32_t(hJust) << "\r\n 73\r\n"
      << std::int32_t(vJust) << "\r\n";
}

void AddDxfEnd(std::string& list) {
    Pair(list, "  0", "ENDSEC");
    Pair(list, "  0", "EOF");
}

} // namespace sheetlift
