// The styles part of a workbook: what each cell format (xf) gives a cell, and the default font.
#pragma once

#include "excel/Source.h"
#include "excel/WorkbookPackage.h"

#include <array>
#include <string>
#include <vector>

namespace sheetlift::workbook {

struct Style {
    std::string format;
    double fontSize = 11;
    int alignment = kAlignGeneral;
    std::array<int, 6> borders{kLineStyleNone, kLineStyleNone, kLineStyleNone,
                               kLineStyleNone, kLineStyleNone, kLineStyleNone};
};

struct Styles {
    std::vector<Style> cellFormats; // by xf index
    std::string defaultFont = "Calibri";
    double defaultFontSize = 11;
};

// Reads the styles part `name` into `styles`; a missing part leaves them as they are.
void ReadStyles(Package& package, const std::string& name, Styles& styles);

} // namespace sheetlift::workbook
