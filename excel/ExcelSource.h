// The selection of the running Excel ("Excel.Application"), read through OLE Automation.
#pragma once

#include "excel/Source.h"

#include <memory>

namespace sheetlift {

constexpr const char* kExcelProgId = "Excel.Application";

// A source over the running Excel; Attach throws AttachError when none runs (always, where
// there is no OLE Automation).
std::unique_ptr<SelectionSource> MakeExcelSource();

} // namespace sheetlift
