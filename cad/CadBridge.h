// Hands the exported drawing to a running CAD. Where no CAD can be driven the DXF file itself is
// the result and this does nothing.
#pragma once

#include <filesystem>

namespace sheetlift {

// True while an IJCAD 2023 is running. Throws Error when IJCAD 2023 is not installed (its
// automation class is unknown). Always false where no CAD can be driven.
bool IsCadRunning();

// Brings the CAD window to the front, asks for the upper-left point and sends the "-INSERT"
// command for the file. Ends quietly when the file is missing, no CAD runs, or the CAD user
// cancels; throws Error when the CAD cannot be reached before the pick.
void InsertDxfIntoCad(const std::filesystem::path& dxfPath);

} // namespace sheetlift
