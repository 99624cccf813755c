// Hands the exported drawing to a running CAD. Where no CAD can be driven the DXF file itself is
// the result and this does nothing.
#pragma once

#include <filesystem>

namespace sheetlift {

void InsertDxfIntoCad(const std::filesystem::path& dxfPath);

} // namespace sheetlift
