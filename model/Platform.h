// What the program asks of the system it runs on.
#pragma once

#include "model/NumberFormat.h"

#include <filesystem>

namespace sheetlift {

// The running program's own file; the settings and DXF files sit beside it.
std::filesystem::path ExecutablePath();

// How the user's locale writes numbers (its decimal separator; "." when it is not one byte).
NumberLocale UserNumberLocale();

} // namespace sheetlift
