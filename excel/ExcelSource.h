// The selection of the running Excel ("Excel.Application"), read through OLE Automation.
#pragma once

#include "excel/Source.h"

#include <memory>

namespace sheetlift {

constexpr const char* kExcelProgId = "Excel.Application";

// Whether this platform can read a running Excel at all (OLE Automation). Where it cannot, the
// window reads saved workbooks and snapshots instead.
bool CanReadRunningExcel();

// A source over the running Excel; Attach throws AttachError when none runs (always, where
// there is no OLE Automation).
std::unique_ptr<SelectionSource> MakeExcelSource();

} // namespace sheetlift
