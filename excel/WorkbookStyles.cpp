#include "excel/WorkbookStyles.h"

#include "excel/CellFormat.h"

#include <unordered_map>

namespace sheetlift::workbook {

namespace {

int LineStyle(std::string_view style) {
    if (style.empty() || style == "none")
        return kLineStyleNone;
    if (style == "dashed" || style == "mediumDashed")
        return -4115;
    if (style == "dotted")
        return -4118;
    if (style == "double")
        return -4119;
    if (style == "dashDot" || style == "mediumDashDot")
        return 4;
    if (style == "dashDotDot" || style == "mediumDashDotDot")
        return 5;
    if (style == "slantDashDot")
        return 13;
    return 1; // thin, medium, thick, hair
}

int Alignment(std::string_view horizontal) {
    static const std::pair<std::string_view, int> kAlignments[] = {
        {"left", kAlignLeft},
        {"center", kAlignCenter},
        {"right", kAlignRight},
        {"fill", kAlignFill},
        {"justify", kAlignJustify},
        {"centerContinuous", kAlignCenterAcrossSelection},
        {"distributed", kAlignDistributed}};
    for (const auto& [name, value] : kAlignments)
        if (horizontal == name)
            return value;
    return kAlignGeneral;
}

} // namespace

void ReadStyles(Package& package, const std::string& name, Styles& styles) {
    auto data = package.Read(name);
    if (!data)
        return;
    pugi::xml_document doc;
    package.Parse(doc, *data, name);
    const pugi::xml_node root = doc.document_element();

    std::unordered_map<long, std::string> formats;
    ForEach(Child(root, "numFmts"), "numFmt", [&](pugi::xml_node f) {
        formats[f.attribute("numFmtId").as_int()] = f.attribute("formatCode").value();
    });
    struct Font {
        std::string name;
        double size;
    };
    std::vector<Font> fonts;
    ForEach(Child(root, "fonts"), "font", [&](pugi::xml_node f) {
        const double size = Number(Child(f, "sz").attribute("val"), 11);
        fonts.push_back(
            {Child(f, "name").attribute("val").value(), size > 0 && size < 1000 ? size : 11});
    });
    std::vector<std::array<int, 6>> borders;
    ForEach(Child(root, "borders"), "border", [&](pugi::xml_node b) {
        auto edge = [&](const char* name, const char* alternative) {
            pugi::xml_node e = Child(b, name);
            return LineStyle((e ? e : Child(b, alternative)).attribute("style").value());
        };
        const int diagonal = edge("diagonal", "diagonal");
        borders.push_back({edge("top", "top"), edge("bottom", "bottom"), edge("left", "start"),
                           edge("right", "end"),
                           IsTrue(b.attribute("diagonalDown")) ? diagonal : kLineStyleNone,
                           IsTrue(b.attribute("diagonalUp")) ? diagonal : kLineStyleNone});
    });
    const unsigned normalFont =
        Child(Child(root, "cellStyleXfs"), "xf").attribute("fontId").as_uint();
    if (normalFont < fonts.size()) {
        styles.defaultFont = fonts[normalFont].name;
        styles.defaultFontSize = fonts[normalFont].size;
    }
    ForEach(Child(root, "cellXfs"), "xf", [&](pugi::xml_node x) {
        Style style;
        const int formatId = x.attribute("numFmtId").as_int();
        const auto custom = formats.find(formatId);
        style.format = custom != formats.end() ? custom->second : BuiltinNumberFormat(formatId);
        const unsigned font = x.attribute("fontId").as_uint();
        style.fontSize = font < fonts.size() ? fonts[font].size : styles.defaultFontSize;
        const unsigned border = x.attribute("borderId").as_uint();
        if (border < borders.size())
            style.borders = borders[border];
        style.alignment = Alignment(Child(x, "alignment").attribute("horizontal").value());
        styles.cellFormats.push_back(std::move(style));
    });
}

} // namespace sheetlift::workbook
