#include "dxf/Drawing.h"

#include "dxf/RuleLines.h"

#include <algorithm>

namespace sheetlift {

namespace {

// The reference point and alignment of a cell's text in its box: left- and right-aligned texts
// keep cadTof text heights from the box's edge, all sit on the box's vertical middle.
struct TextPlacement {
    TAcadPoint point;
    TextAlign align;
};

TextPlacement PlaceText(const TXlsxCellAttr& cell, double left, double top, double w, double h,
                        double cadTof) {
    const double y = top - h / 2;
    switch (cell.txtAlign) {
    case 2:
        return {{left + w / 2, y, 0}, TextAlign::MiddleCentre};
    case 3:
        return {{left + w - cell.drawTH * cadTof, y, 0}, TextAlign::MiddleRight};
    default:
        return {{left + cell.drawTH * cadTof, y, 0}, TextAlign::MiddleLeft};
    }
}

class TableDrawer {
  public:
    TableDrawer(const CellTable& table, const TextGrid& texts, const Settings& settings,
                bool cellLineDraw, DrawingSink& sink)
        : table_(table), texts_(texts), cadTof_(settings.cadTof), cellLineDraw_(cellLineDraw),
          sink_(sink), edges_(MakeTableEdges(table)) {}

    void Draw() {
        sink_.Begin();
        if (cellLineDraw_)
            AddCellGridLines(table_, edges_, sink_);
        for (int i = 0; i < table_.cellRows; ++i)
            for (int j = 0; j < table_.cellCols; ++j)
                DrawCell(i, j);
        BorderLines border;
        CollectBorderLines(table_, edges_, border);
        ConsolidateBorderLines(border);
        AddBorderLines(sink_, border);
        sink_.End();
    }

  private:
    // The box of a merged area's top-left cell is the whole area; every other cell's is its own
    // rectangle.
    void DrawCell(int i, int j) {
        const TXlsxCellAttr& p = table_.at(i, j);
        const bool mergedBox = p.drawMW > 0 && p.drawMH > 0;
        const double w = mergedBox ? p.drawMW : p.drawW;
        const double h = mergedBox ? p.drawMH : p.drawH;
        const double left = edges_.x[j];
        const double top = edges_.y[i];
        const TAcadPoint topLeft{left, top, 0}, topRight{left + w, top, 0};
        const TAcadPoint bottomRight{left + w, top - h, 0}, bottomLeft{left, top - h, 0};
        if (mergedBox && cellLineDraw_)
            sink_.Outline({{topLeft, topRight, bottomRight, bottomLeft}, DrawingLayer::CellLine});
        // A cell crossed with both diagonals (an X) draws both, the top-left one first.
        if (!p.mark && (p.lineBits & kDiagonalDown))
            sink_.Line({topLeft, bottomRight, DrawingLayer::BordLine});
        if (!p.mark && (p.lineBits & kDiagonalUp))
            sink_.Line({bottomLeft, topRight, DrawingLayer::BordLine});
        if (i < texts_.rows() && j < texts_.cols() && !texts_.Text(i, j).empty())
            DrawText(i, j, PlaceText(p, left, top, w, h, cadTof_));
    }

    // One TEXT per line feed separated line, centred as a block on the reference point with a
    // pitch of one text height. Carriage returns are dropped: left in a value line, one would
    // break the file for every reader. Other control characters become spaces: readers that
    // treat the value as a C string stop at a NUL, others refuse the file, and a space keeps
    // the words apart where a tab stood.
    void DrawText(int i, int j, const TextPlacement& place) {
        const double height = table_.at(i, j).drawTH;
        const std::string_view text = texts_.Text(i, j);
        const int lines = 1 + int(std::count(text.begin(), text.end(), '\n'));
        DrawingText out{{}, place.point, height, place.align, DrawingLayer::CellText,
                        i,  j,           1,      lines};
        out.point.y += double(lines - 1) * 0.5 * height;
        for (std::size_t from = 0;; ++out.line) {
            const std::size_t lf = std::min(text.find('\n', from), text.size());
            line_.clear();
            for (std::size_t k = from; k < lf; ++k) {
                const char c = text[k];
                if (c != '\r')
                    line_ += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
            }
            if (!line_.empty()) {
                out.text = line_;
                sink_.Text(out);
            }
            if (lf == text.size())
                break;
            from = lf + 1;
            out.point.y -= height;
        }
    }

    const CellTable& table_;
    const TextGrid& texts_;
    const double cadTof_;
    const bool cellLineDraw_;
    DrawingSink& sink_;
    const TableEdges edges_;
    std::string line_; // the current text line, reused to avoid an allocation per line
};

} // namespace

std::string_view LayerName(DrawingLayer layer) {
    switch (layer) {
    case DrawingLayer::CellLine:
        return "XLSCellLine";
    case DrawingLayer::CellText:
        return "XLSCellText";
    case DrawingLayer::BordLine:
        break;
    }
    return "XLSBordLine";
}

std::string_view AlignCode(TextAlign align) {
    switch (align) {
    case TextAlign::MiddleCentre:
        return "MC";
    case TextAlign::MiddleRight:
        return "MR";
    case TextAlign::MiddleLeft:
        break;
    }
    return "ML";
}

void DrawingExtent::Add(double x, double y) {
    if (empty) {
        minX = maxX = x;
        minY = maxY = y;
        empty = false;
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

void DrawingExtent::Add(const DrawingLine& line) {
    Add(line.start.x, line.start.y);
    Add(line.end.x, line.end.y);
}

void DrawingExtent::Add(const DrawingOutline& outline) {
    for (const TAcadPoint& p : outline.corners)
        Add(p.x, p.y);
}

void DrawingExtent::Add(const TAcadPoint& point, double height) {
    Add(point.x, point.y + height / 2);
    Add(point.x, point.y - height / 2);
}

bool DrawTable(const CellTable& table, const TextGrid& texts, const Settings& settings,
               bool cellLineDraw, DrawingSink& sink) {
    if (table.empty())
        return false;
    TableDrawer(table, texts, settings, cellLineDraw, sink).Draw();
    return true;
}

void DrawingRecorder::Line(const DrawingLine& line) {
    d_.extent.Add(line);
    d_.lines.push_back(line);
}

void DrawingRecorder::Outline(const DrawingOutline& outline) {
    d_.extent.Add(outline);
    d_.outlines.push_back(outline);
}

void DrawingRecorder::Text(const DrawingText& text) {
    d_.extent.Add(text.point, text.height);
    d_.texts.push_back({text.point, text.height, text.align, text.layer, text.row, text.column,
                        d_.chars.size(), text.text.size()});
    d_.chars += text.text;
}

} // namespace sheetlift
