// The command line that inserts the exported drawing into the CAD, exploded, at a picked point.
#pragma once

#include <string>

namespace sheetlift {

// "-INSERT\r\"*PATH\"\rX,Y\rS 1 R 0 " with X and Y to three decimals (UTF-8).
std::string BuildInsertCommand(const std::string& dxfPath, double x, double y);

} // namespace sheetlift
