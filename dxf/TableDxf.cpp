#include "dxf/TableDxf.h"

#include "dxf/MakeR12Dxf_V.h"
#include "model/FileIO.h"

namespace sheetlift {

namespace {

constexpr std::int32_t kColourByLayer = 256;
constexpr std::string_view kByLayer = "BYLAYER";
// Longest string value that R12-era readers accept.
constexpr std::size_t kMaxDxfString = 255;
// The writer hands its bytes on in pieces of about this size.
constexpr std::size_t kBufferSize = 64 * 1024;

std::string LongTextWarning(const DrawingText& text, std::size_t length) {
    std::string message =
        "Row " + std::to_string(text.row + 1) + ", column " + std::to_string(text.column + 1);
    if (text.lines > 1)
        message += ", line " + std::to_string(text.line);
    message += ": the text is " + std::to_string(length) +
               " bytes long; it is written in full, but CAD programs that read R12 DXF "
               "accept at most 255 bytes and may drop it or the rest of the drawing";
    return message;
}

} // namespace

DxfDrawingWriter::DxfDrawingWriter(ByteSink& out, const DxfOptions& options)
    : out_(out), options_(options) {
    buffer_.reserve(kBufferSize + 4096);
}

void DxfDrawingWriter::Begin() {
    AddDxfHeader(buffer_, options_.declareCodepage);
    AddDxfLtypeTable(buffer_);
    AddDxfLayerTable(buffer_);
    AddDxfEntitiesStart(buffer_);
}

void DxfDrawingWriter::Line(const DrawingLine& line) {
    AddDxfLine(buffer_, line.start, line.end, LayerName(line.layer), kByLayer, kColourByLayer);
    Flush(kBufferSize);
}

void DxfDrawingWriter::Outline(const DrawingOutline& outline) {
    AddDxfPolyline(buffer_, outline.corners, 3, true, LayerName(outline.layer), kByLayer,
                   kColourByLayer);
    Flush(kBufferSize);
}

void DxfDrawingWriter::Text(const DrawingText& text) {
    const std::string_view bytes = texts_.Encode(text);
    if (bytes.size() > kMaxDxfString)
        warnings_.push_back(LongTextWarning(text, bytes.size()));
    AddDxfText(buffer_, bytes, text.point, text.point, text.height, 1.0, 0, 0, 0,
               AlignCode(text.align), LayerName(text.layer), kColourByLayer);
    Flush(kBufferSize);
}

void DxfDrawingWriter::End() {
    AddDxfEnd(buffer_);
    Flush(0);
}

void DxfDrawingWriter::Flush(std::size_t above) {
    if (buffer_.size() <= above)
        return;
    out_.Write(buffer_);
    buffer_.clear();
}

namespace {

DxfResult WriteDxf(const CellTable& table, const TextGrid& texts, const Settings& settings,
                   bool cellLineDraw, const DxfOptions& options, ByteSink& out) {
    DxfDrawingWriter writer(out, options);
    DxfResult result;
    result.written = DrawTable(table, texts, settings, cellLineDraw, writer);
    result.warnings = writer.Warnings();
    result.lostCells = CellNames(table, writer.LostCells());
    return result;
}

} // namespace

std::string BuildTableDxf(const CellTable& table, const TextGrid& texts, const Settings& settings,
                          bool cellLineDraw, const DxfOptions& options, DxfResult* result) {
    std::string bytes;
    StringSink sink(bytes);
    DxfResult written = WriteDxf(table, texts, settings, cellLineDraw, options, sink);
    if (result)
        *result = std::move(written);
    return bytes;
}

DxfResult WriteTableDxf(const CellTable& table, const TextGrid& texts, const Settings& settings,
                        bool cellLineDraw, const std::filesystem::path& path,
                        const DxfOptions& options) {
    if (table.empty())
        return DxfResult();
    // Written as it is built: memory stays the same however large the drawing.
    SafeFileWriter file(path);
    FileSink sink(file);
    DxfResult result = WriteDxf(table, texts, settings, cellLineDraw, options, sink);
    file.Commit();
    return result;
}

} // namespace sheetlift
