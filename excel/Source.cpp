#include "excel/Source.h"

#include "model/NumberFormat.h"

namespace sheetlift {

std::string Value2Text(const CellValue& value) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(double number) const { return FormatGeneral(number); }
        std::string operator()(const std::string& text) const { return text; }
        std::string operator()(bool flag) const { return flag ? "True" : "False"; }
    };
    return std::visit(Visitor{}, value);
}

} // namespace sheetlift
