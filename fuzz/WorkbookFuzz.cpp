// libFuzzer target: any bytes as a workbook must give a source or an Error, nothing else.
// Seeds: tests/data/*.xlsx examples/*.xlsx
#include "excel/WorkbookSource.h"
#include "model/CellTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sheetlift;
    try {
        auto source =
            OpenWorkbookBytes(std::string(reinterpret_cast<const char*>(data), size), "fuzz.xlsx");
        const SelectionRange range = source->Selection();
        // A corner of the selection is enough to reach every per-cell path.
        for (int i = 0; i < std::min(range.rows, 32); ++i)
            for (int j = 0; j < std::min(range.columns, 32); ++j)
                source->Cell(CellAddress(range.row + i, range.column + j));
    } catch (const Error&) {
    }
    return 0;
}
