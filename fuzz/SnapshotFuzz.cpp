// libFuzzer target: any bytes as a snapshot must give a source or an Error, nothing else; a
// snapshot that reads is imported and drawn as the command line would.
// Seeds: tests/data/snapshots/*.json tests/data/expected/*.json
#include "dxf/TableDxf.h"
#include "excel/Import.h"
#include "excel/Snapshot.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sheetlift;
    try {
        auto source =
            ParseSnapshot(std::string(reinterpret_cast<const char*>(data), size), "fuzz.json");
        CellTable table;
        TextGrid texts;
        TextGridSink sink(texts);
        ImportSelection(*source, sink, table, Settings{});
        BuildTableDxf(table, texts, Settings{}, true, DxfOptions{});
    } catch (const Error&) {
    }
    return 0;
}
