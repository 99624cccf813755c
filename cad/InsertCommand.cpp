#include "cad/InsertCommand.h"

#include "model/NumberText.h"

namespace sheetlift {

std::string BuildInsertCommand(const std::string& dxfPath, double x, double y) {
    return "-INSERT\r\"*" + dxfPath + "\"\r" + FormatFixed3(x) + "," + FormatFixed3(y) +
           "\rS 1 R 0 ";
}

} // namespace sheetlift
