#include "dxf/TableDxf.h"

#include "dxf/MakeR12Dxf_V.h"
#include "dxf/RuleLines.h"
#include "model/FileIO.h"
#include "textconv/Codepage.h"
#include "textconv/LegacyCodepage.h"
#include "textconv/Utf8.h"

#include <array>

namespace sheetlift {

namespace {

constexpr std::int32_t kColourByLayer = 256;
// Longest string value that R12-era readers accept.
constexpr std::size_t kMaxDxfString = 255;

// Bytes of `line` in code page 932, never more than twice its UTF-8 bytes.
std::size_t EncodedLength(std::string_view line) {
    if (line.size() <= kMaxDxfString / 2)
        return line.size();
    std::size_t length = 0;
    for (std::size_t pos = 0; pos < line.size();) {
        const auto code = Cp932Code(NextCodePoint(line, pos));
        length += code && *code > 0xFF ? 2 : 1;
    }
    return length;
}

struct TextPlacement {
    TAcadPoint point;
    std::string_view alignCode;
};

TextPlacement PlaceText(const TXlsxCellAttr& cell, double left, double top, double w, double h,
                        double cadTof) {
    const double y = top - h / 2;
    switch (cell.txtAlign) {
    case 2:
        return {{left + w / 2, y, 0}, "MC"};
    case 3:
        return {{left + w - cell.drawTH * cadTof, y, 0}, "MR"};
    default:
        return {{left + cell.drawTH * cadTof, y, 0}, "ML"};
    }
}

class TableWriter {
  public:
    TableWriter(const CellTable& table, const TextGrid& texts, const Settings& settings,
                bool cellLineDraw, std::vector<std::string>* warnings)
        : table_(table), texts_(texts), settings_(settings), cellLineDraw_(cellLineDraw),
          warnings_(warnings), edges_(MakeTableEdges(table)) {}

    void Write(std::string& list) {
        if (cellLineDraw_)
            AddCellGridLines(table_, edges_, list);
        for (int i = 0; i < table_.cellRows; ++i)
            for (int j = 0; j < table_.cellCols; ++j)
                WriteCell(list, i, j);
        BorderLines border;
        CollectBorderLines(table_, edges_, border);
        ConsolidateBorderLines(border);
        AddBorderLines(list, border);
    }

  private:
    void WriteCell(std::string& list, int i, int j) {
        const TXlsxCellAttr& p = table_.at(i, j);
        const bool mergedBox = p.drawMW > 0 && p.drawMH > 0;
        const double w = mergedBox ? p.drawMW : p.drawW;
        const double h = mergedBox ? p.drawMH : p.drawH;
        const double left = edges_.x[j];
        const double top = edges_.y[i];
        const TAcadPoint topLeft{left, top, 0}, topRight{left + w, top, 0};
        const TAcadPoint bottomRight{left + w, top - h, 0}, bottomLeft{left, top - h, 0};
        if (mergedBox && cellLineDraw_) {
            const std::array<TAcadPoint, 4> outline{topLeft, topRight, bottomRight, bottomLeft};
            AddDxfPolyline(list, outline, 3, true, "XLSCellLine", "BYLAYER", kColourByLayer);
        }
        if (!p.mark) {
            if (p.lineBits & kDiagonalDown)
                AddDxfLine(list, topLeft, bottomRight, "XLSBordLine", "BYLAYER", kColourByLayer);
            else if (p.lineBits & kDiagonalUp)
                AddDxfLine(list, bottomLeft, topRight, "XLSBordLine", "BYLAYER", kColourByLayer);
        }
        if (i < texts_.rows() && j < texts_.cols() && !texts_.Text(i, j).empty())
            WriteText(list, i, j, PlaceText(p, left, top, w, h, settings_.cadTof));
    }

    // One TEXT per line feed separated line, centred as a block on the reference point with a
    // pitch of one text height. Carriage returns are dropped everywhere: left in a value line,
    // one would break the file for every reader.
    void WriteText(std::string& list, int i, int j, const TextPlacement& place) {
        const TXlsxCellAttr& p = table_.at(i, j);
        const std::string_view text = texts_.Text(i, j);
        std::size_t lineCount = 1;
        for (char c : text)
            lineCount += c == '\n';
        TAcadPoint at = place.point;
        at.y += double(lineCount - 1) * 0.5 * p.drawTH;
        std::size_t lineNo = 1;
        for (std::size_t from = 0;; ++lineNo) {
            const std::size_t lf = std::min(text.find('\n', from), text.size());
            line_.clear();
            for (std::size_t k = from; k < lf; ++k)
                if (text[k] != '\r')
                    line_ += text[k];
            if (!line_.empty()) {
                CheckLength(i, j, lineNo, lineCount);
                AddDxfText(list, line_, at, at, p.drawTH, 1.0, 0, 0, 0, place.alignCode,
                           "XLSCellText", kColourByLayer);
            }
            if (lf == text.size())
                break;
            from = lf + 1;
            at.y -= p.drawTH;
        }
    }

    void CheckLength(int i, int j, std::size_t lineNo, std::size_t lineCount) {
        const std::size_t length = EncodedLength(line_);
        if (!warnings_ || length <= kMaxDxfString)
            return;
        std::string message = "Row " + std::to_string(i + 1) + ", column " + std::to_string(j + 1);
        if (lineCount > 1)
            message += ", line " + std::to_string(lineNo);
        message += ": the text is " + std::to_string(length) +
                   " bytes long; it is written in full, but CAD programs that read R12 DXF "
                   "accept at most 255 bytes and may drop it or the rest of the drawing";
        warnings_->push_back(std::move(message));
    }

    const CellTable& table_;
    const TextGrid& texts_;
    const Settings& settings_;
    const bool cellLineDraw_;
    std::vector<std::string>* warnings_;
    const TableEdges edges_;
    std::string line_; // the current text line, reused to avoid an allocation per line
};

} // namespace

std::string BuildTableDxf(const CellTable& table, const TextGrid& texts, const Settings& settings,
                          bool cellLineDraw, const DxfOptions& options,
                          std::vector<std::string>* warnings) {
    if (table.empty())
        return {};
    std::string list;
    AddDxfHeader(list, options.declareCodepage);
    AddDxfLtypeTable(list);
    AddDxfLayerTable(list);
    AddDxfEntitiesStart(list);
    TableWriter(table, texts, settings, cellLineDraw, warnings).Write(list);
    AddDxfEnd(list);
    return EncodeLegacy(std::move(list));
}

DxfResult WriteTableDxf(const CellTable& table, const TextGrid& texts, const Settings& settings,
                        bool cellLineDraw, const std::filesystem::path& path,
                        const DxfOptions& options) {
    DxfResult result;
    if (table.empty())
        return result;
    WriteFileAtomic(path,
                    BuildTableDxf(table, texts, settings, cellLineDraw, options, &result.warnings));
    result.written = true;
    return result;
}

} // namespace sheetlift
