// Workbooks written by real spreadsheet programs, all the way to the drawing: the snapshot of
// what the file reports and the DXF are pinned in tests/data/expected (scripts/update-expected
// rewrites them), and the DXF made from the snapshot must equal the one made from the file.
#include "dxf/TableDxf.h"
#include "excel/Import.h"
#include "excel/OpenSource.h"
#include "excel/Snapshot.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;

const fs::path kData = SHEETLIFT_TEST_DATA;

std::string Dxf(SelectionSource& source) {
    CellTable table;
    TextGrid texts;
    TextGridSink sink(texts);
    ImportSelection(source, sink, table, Settings{});
    return BuildTableDxf(table, texts, Settings{}, true, {});
}

TEST(EndToEnd, WorkbooksGiveTheirPinnedSnapshotAndDrawing) {
    struct Case {
        fs::path input;
        const char* range;
    };
    const Case cases[] = {
        {kData / "openpyxl-styles.xlsx", ""},
        {kData / "libreoffice-parts.xlsx", "部品表!A1:F10"},
        {kData / ".." / ".." / "examples" / "parts-table.xlsx", ""},
        {kData / "libreoffice-selection.xlsx", ""},
        {kData / "xlsxwriter-parts.xlsx", ""},
        {kData / "gnumeric-parts.xlsx", ""},
    };
    for (const Case& c : cases) {
        const std::string name = c.input.stem().string();
        SCOPED_TRACE(name);
        const std::string expectedJson = ReadWholeFile(kData / "expected" / (name + ".json"));
        const std::string expectedDxf = ReadWholeFile(kData / "expected" / (name + ".dxf"));
        auto workbook = OpenSelectionFile(c.input, {"", c.range});
        EXPECT_EQ(SnapshotJson(*workbook), expectedJson);
        EXPECT_EQ(Dxf(*workbook), expectedDxf);
        auto snapshot = ParseSnapshot(expectedJson, name + ".json");
        EXPECT_EQ(Dxf(*snapshot), expectedDxf);
    }
}

TEST(EndToEnd, RecordedSelectionGivesItsPinnedDrawing) {
    auto snapshot = OpenSnapshotSource(kData / "snapshots" / "parts-list.json");
    EXPECT_EQ(Dxf(*snapshot), ReadWholeFile(kData / "expected" / "parts-list.dxf"));
}

} // namespace
} // namespace sheetlift
