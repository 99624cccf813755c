#include "cad/CadBridge.h"

namespace sheetlift {

// No CAD automation exists here: the DXF file beside the executable is the result.
void InsertDxfIntoCad(const std::filesystem::path&) {}

} // namespace sheetlift
