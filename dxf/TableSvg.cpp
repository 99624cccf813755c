#include "dxf/TableSvg.h"

#include "model/FileIO.h"
#include "model/NumberText.h"

#include <algorithm>

namespace sheetlift {

namespace {

struct LayerStyle {
    DrawingLayer layer;
    std::string_view attributes;
};

// Painted in this order: cell lines, borders over them, texts on top. Colour 252 is the
// grey that CAD programs show for it; 7 is black on a white sheet.
constexpr LayerStyle kStyles[] = {
    {DrawingLayer::CellLine, R"( fill="none" stroke="#666666" stroke-width="0.18")"},
    {DrawingLayer::BordLine, R"( fill="none" stroke="#000000" stroke-width="0.25")"},
    {DrawingLayer::CellText,
     R"( fill="#000000" font-family="IPAGothic, 'IPAゴシック', 'MS Gothic', sans-serif")"
     R"( xml:space="preserve")"},
};

void Number(std::string& out, double value) {
    AppendGeneral(out, value);
}

// "x,y" with y turned so that the table's rows run down the picture.
void Point(std::string& out, const TAcadPoint& p) {
    Number(out, p.x);
    out += ',';
    Number(out, -p.y);
}

void Escaped(std::string& out, std::string_view text) {
    std::size_t from = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c != '&' && c != '<' && c != '>')
            continue;
        out.append(text.substr(from, k - from));
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;";
        from = k + 1;
    }
    out.append(text.substr(from));
}

} // namespace

SvgDrawingWriter::SvgDrawingWriter(ByteSink& out, const SvgOptions& options)
    : out_(out), options_(options) {}

std::string* SvgDrawingWriter::Group(DrawingLayer layer) {
    const auto index = std::size_t(layer);
    return options_.layerShown[index] ? &groups_[index] : nullptr;
}

void SvgDrawingWriter::Begin() {
    for (std::string& g : groups_)
        g.clear();
    extent_ = DrawingExtent();
}

void SvgDrawingWriter::Line(const DrawingLine& line) {
    std::string* g = Group(line.layer);
    if (!g)
        return;
    extent_.Add(line);
    *g += "<line x1=\"";
    Number(*g, line.start.x);
    *g += "\" y1=\"";
    Number(*g, -line.start.y);
    *g += "\" x2=\"";
    Number(*g, line.end.x);
    *g += "\" y2=\"";
    Number(*g, -line.end.y);
    *g += "\"/>\n";
}

void SvgDrawingWriter::Outline(const DrawingOutline& outline) {
    std::string* g = Group(outline.layer);
    if (!g)
        return;
    extent_.Add(outline);
    *g += "<polygon points=\"";
    for (std::size_t k = 0; k < outline.corners.size(); ++k) {
        if (k > 0)
            *g += ' ';
        Point(*g, outline.corners[k]);
    }
    *g += "\"/>\n";
}

void SvgDrawingWriter::Text(const DrawingText& text) {
    // Encoded even when hidden, so that the cells it cannot carry are known either way.
    const std::string_view shown = texts_.Shown(text);
    std::string* g = Group(text.layer);
    if (!g)
        return;
    extent_.Add(text.point, text.height);
    *g += "<text x=\"";
    Number(*g, text.point.x);
    // The point is the middle of the text's height: the baseline lies half a height below.
    *g += "\" y=\"";
    Number(*g, text.height / 2 - text.point.y);
    *g += "\" font-size=\"";
    Number(*g, text.height);
    *g += text.align == TextAlign::MiddleCentre  ? "\" text-anchor=\"middle\">"
          : text.align == TextAlign::MiddleRight ? "\" text-anchor=\"end\">"
                                                 : "\">";
    Escaped(*g, shown);
    *g += "</text>\n";
}

void SvgDrawingWriter::End() {
    if (extent_.empty)
        extent_.Add(0, 0);
    const double width = extent_.maxX - extent_.minX, height = extent_.maxY - extent_.minY;
    const double margin = std::max(1.0, 0.02 * std::max(width, height));
    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    Number(head, width + 2 * margin);
    head += "mm\" height=\"";
    Number(head, height + 2 * margin);
    head += "mm\" viewBox=\"";
    Number(head, extent_.minX - margin);
    head += ' ';
    Number(head, -extent_.maxY - margin);
    head += ' ';
    Number(head, width + 2 * margin);
    head += ' ';
    Number(head, height + 2 * margin);
    head += "\">\n";
    out_.Write(head);
    for (const LayerStyle& style : kStyles) {
        std::string open = "<g id=\"";
        open += LayerName(style.layer);
        open += '"';
        open += style.attributes;
        open += ">\n";
        out_.Write(open);
        out_.Write(groups_[std::size_t(style.layer)]);
        out_.Write("</g>\n");
        groups_[std::size_t(style.layer)] = std::string();
    }
    out_.Write("</svg>\n");
}

namespace {

SvgResult WriteSvg(const CellTable& table, const TextGrid& texts, const Settings& settings,
                   bool cellLineDraw, const SvgOptions& options, ByteSink& out) {
    SvgDrawingWriter writer(out, options);
    SvgResult result;
    result.written = DrawTable(table, texts, settings, cellLineDraw, writer);
    result.lostCells = CellNames(table, writer.LostCells());
    return result;
}

} // namespace

std::string BuildTableSvg(const CellTable& table, const TextGrid& texts, const Settings& settings,
                          bool cellLineDraw, const SvgOptions& options, SvgResult* result) {
    std::string bytes;
    StringSink sink(bytes);
    SvgResult written = WriteSvg(table, texts, settings, cellLineDraw, options, sink);
    if (result)
        *result = std::move(written);
    return bytes;
}

SvgResult WriteTableSvg(const CellTable& table, const TextGrid& texts, const Settings& settings,
                        bool cellLineDraw, const std::filesystem::path& path,
                        const SvgOptions& options) {
    if (table.empty())
        return SvgResult();
    SafeFileWriter file(path);
    FileSink sink(file);
    SvgResult result = WriteSvg(table, texts, settings, cellLineDraw, options, sink);
    file.Commit();
    return result;
}

} // namespace sheetlift
