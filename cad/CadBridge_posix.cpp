#include "cad/CadBridge.h"

namespace sheetlift {

// No CAD automation exists here: the DXF file beside the executable is the result.
bool IsCadRunning() {
    return false;
}

void InsertDxfIntoCad(const std::filesystem::path&) {}

} // namespace sheetlift
