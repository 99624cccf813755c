#include "excel/Snapshot.h"
#include "FakeSource.h"
#include "TempDir.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

using testing::FakeSource;
using testing::RecordingSink;

FakeSource RichSource() {
    FakeSource src;
    src.range = {3, 2, 2, 3};
    src.cells["B3"] = src.fallback;
    src.cells["B3"].text = "部品名\n(型式)";
    src.cells["B3"].value2 = std::string("部品名\n(型式)");
    src.cells["B3"].borders = {1, 1, -4119, 13, -4142, 1};
    src.cells["C3"] = src.fallback;
    src.cells["C3"].text = "1,234";
    src.cells["C3"].value2 = 1234.0;
    src.cells["C3"].mergeCells = true;
    src.cells["C3"].mergeRows = 2;
    src.cells["C3"].mergeColumns = 2;
    src.cells["C3"].mergeLeft = 56.25;
    src.cells["D3"] = src.cells["C3"];
    src.cells["D3"].value2 = true;
    src.cells["C4"] = src.cells["C3"];
    src.cells["C4"].value2 = std::monostate{};
    src.cells["B4"] = src.fallback;
    src.cells["B4"].columnWidth = 0;
    src.cells["B4"].text = "emoji 😀 \"quoted\" \\ tab\t";
    return src;
}

bool SameCell(const SourceCell& a, const SourceCell& b) {
    return a.columnWidth == b.columnWidth && a.rowHeight == b.rowHeight &&
           a.horizontalAlignment == b.horizontalAlignment && a.fontSize == b.fontSize &&
           a.text == b.text && a.value2 == b.value2 && a.borders == b.borders &&
           a.mergeCells == b.mergeCells && a.mergeRows == b.mergeRows &&
           a.mergeColumns == b.mergeColumns && a.mergeLeft == b.mergeLeft &&
           a.mergeTop == b.mergeTop;
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST(Snapshot, RoundTripGivesTheSameSourceAndTable) {
    FakeSource src = RichSource();
    const std::string json = SnapshotJson(src);
    EXPECT_EQ(src.log.back(), "ScreenUpdating=1");
    auto copy = ParseSnapshot(json, "sel.json");
    EXPECT_EQ(copy->WorkbookName(), "Book1");
    EXPECT_EQ(copy->SheetName(), "Sheet1");
    const SelectionRange r = copy->Selection();
    EXPECT_EQ(std::tie(r.row, r.column, r.rows, r.columns), std::make_tuple(3, 2, 2, 3));
    for (const char* address : {"B3", "C3", "D3", "B4", "C4", "D4"})
        EXPECT_TRUE(SameCell(copy->Cell(address), src.Cell(address))) << address;
    // Recording the copy again gives the same text.
    EXPECT_EQ(SnapshotJson(*copy), json);
    EXPECT_THROW(copy->Cell("A1"), Error);
}

TEST(Snapshot, LeftOutBordersMeanNoLine) {
    const std::string json = R"({"format":"sheetlift-selection","version":1,"workbook":"b",
        "sheet":"s","row":1,"column":1,"rows":1,"columns":1,"cells":[
        {"columnWidth":8.43,"rowHeight":18.75,"horizontalAlignment":1,"fontSize":11,
         "text":"12","value2":12,"borders":{"top":1},"mergeCells":false,
         "mergeArea":{"rows":1,"columns":1,"left":0,"top":0}}]})";
    const SourceCell cell = ParseSnapshot(json, "x.json")->Cell("A1");
    EXPECT_EQ(cell.borders, (std::array<int, 6>{1, -4142, -4142, -4142, -4142, -4142}));
    EXPECT_EQ(std::get<double>(cell.value2), 12);
    // The longest text Excel holds is kept whole.
    std::string longest = json;
    longest.replace(longest.find("\"12\""), 4, "\"" + Repeat("😀", 16383) + "x\"");
    EXPECT_EQ(ParseSnapshot(longest, "x.json")->Cell("A1").text.size(), 16383u * 4 + 1);
}

TEST(Snapshot, BadInputNamesTheFileAndThePlace) {
    FakeSource src = RichSource();
    const std::string good = SnapshotJson(src);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = good;
        const auto pos = s.find(from);
        EXPECT_NE(pos, std::string::npos) << from;
        return s.replace(pos, from.size(), to);
    };
    const std::pair<std::string, std::string> cases[] = {
        {"{", "not valid JSON"},
        {"[]", "expected a JSON object"},
        {R"({"format":"other"})", "not a selection snapshot"},
        {replaced("\"version\":1", "\"version\":2"), "version: only version 1"},
        {replaced("\"rows\":2,", "\"rows\":3,"), "cells: holds 6 cells, but rows x columns is 9"},
        {replaced("\"rows\":2,", "\"rows\":-2,"), "rows: expected a whole number"},
        {replaced("\"rows\":2,", "\"rows\":2.5,"), "rows: expected a whole number"},
        {replaced("\"rows\":2,\"columns\":3", "\"rows\":100000,\"columns\":1000"),
         "larger than the 2000000 cells"},
        {replaced("\"rowHeight\":18.75", "\"rowHeight\":\"18.75\""),
         "cells[0].rowHeight: expected a number"},
        {replaced("\"mergeCells\":false", "\"mergeCells\":0"),
         "cells[0].mergeCells: expected true or false"},
        {replaced("\"value2\":1234.0", "\"value2\":[1]"), "cells[1].value2: expected a number"},
        {replaced("\"top\":1,", "\"top\":\"thin\","), "cells[0].borders.top: expected a number"},
        {replaced("\"text\":\"1,234\",", ""), "cells[1]: missing \"text\""},
        {replaced("\"workbook\":\"Book1\"", "\"workbook\":7"), "workbook: expected a text"},
        {"{\"format\":\"sheetlift-selection\",\"version\":1,\"text\":\"\xff\"}", "not valid JSON"},
        {replaced("\"columnWidth\":8.43", "\"columnWidth\":1e400"),
         "cells[0].columnWidth: the number 1e400 is too large"},
        {replaced("\"rows\":2,", "\"rows\":-1e999,"), "rows: the number -1e999 is too large"},
        {replaced("\"left\":56.25", "\"left\":1e400"),
         "cells[1].mergeArea.left: the number 1e400 is too large"},
        {replaced("\"text\":\"1,234\"", "\"text\":\"" + std::string(32768, 'x') + "\""),
         "cells[1].text: the text is longer than Excel's 32,767 characters"},
        // A character beyond the basic plane counts twice, as in Excel.
        {replaced("\"value2\":1234.0", "\"value2\":\"" + Repeat("😀", 16384) + "\""),
         "cells[1].value2: the text is longer than Excel's 32,767 characters"},
        {replaced("\"mergeArea\":{\"rows\":1,", "\"mergeArea\":{"),
         "cells[0].mergeArea: missing \"rows\""},
        {replaced("\"sheet\":\"Sheet1\",", ""), "missing \"sheet\""},
        {replaced("\"borders\":{", "\"borders\":[{"), "cells[0].borders: expected an object"},
        {replaced("{\"columnWidth\"", "7,{\"columnWidth\""), "cells[0]: expected an object"},
        {replaced("]}", ",{}]}"), "cells: holds more cells than rows x columns (6)"},
        {replaced("\"cells\":[", "\"cells\":{\"a\":["), "cells: expected an array"},
    };
    for (const auto& [json, message] : cases) {
        try {
            ParseSnapshot(json, "bad.json");
            ADD_FAILURE() << "accepted: " << message;
        } catch (const Error& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind("bad.json: ", 0), 0u) << what;
            EXPECT_NE(what.find(message), std::string::npos) << what;
        }
    }
}

// A snapshot whose header comes after its cells, with members Sheetlift does not know.
TEST(Snapshot, HeaderAfterTheCellsAndUnknownMembers) {
    FakeSource src = RichSource();
    const std::string json = SnapshotJson(src);
    const std::size_t cells = json.find(",\"cells\":");
    const std::string moved = "{\"note\":{\"nested\":[1,{\"rows\":\"x\"}]}," +
                              json.substr(cells + 1, json.size() - cells - 3) + "," +
                              json.substr(1, cells - 1) + ",\"extra\":[[]]}";
    auto copy = ParseSnapshot(moved, "moved.json");
    EXPECT_EQ(SnapshotJson(*copy), json);
}

// The header is checked before any cell is read: a cap exceeded is reported even though the
// cells that follow are not even JSON.
TEST(Snapshot, OverCapHeaderIsRefusedBeforeTheCells) {
    const std::string json = R"({"format":"sheetlift-selection","version":1,"workbook":"b",
        "sheet":"s","row":1,"column":1,"rows":1048576,"columns":16384,"cells":[ this is not read)";
    try {
        ParseSnapshot(json, "big.json");
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::SnapshotSelectionTooLarge);
        EXPECT_STREQ(e.what(), "big.json: the selection of 1048576 x 16384 cells is larger than "
                               "the 2000000 cells Sheetlift can take at once");
        EXPECT_EQ(ErrorText(e, Language::Japanese),
                  "big.json: 選択範囲 1048576 x 16384 セルは、一度に扱える 2000000 "
                  "セルを超えています");
    }
}

class SnapshotFile : public test::TempDirTest {
  protected:
    SnapshotFile() : TempDirTest("snapshot-") {}
};

TEST_F(SnapshotFile, ReadFromTheFileAsFromItsText) {
    FakeSource src = RichSource();
    const std::string json = SnapshotJson(src);
    WriteFileAtomic(dir_ / "sel.json", json);
    EXPECT_EQ(SnapshotJson(*OpenSnapshotSource(dir_ / "sel.json")), json);
    WriteFileAtomic(dir_ / "bad.json", json.substr(0, json.size() / 2));
    EXPECT_THROW(
        {
            try {
                OpenSnapshotSource(dir_ / "bad.json");
            } catch (const Error& e) {
                EXPECT_EQ(std::string(e.what()).rfind(
                              DisplayPath(dir_ / "bad.json") + ": not valid JSON", 0),
                          0u)
                    << e.what();
                throw;
            }
        },
        Error);
    try {
        OpenSnapshotSource(dir_ / "missing.json");
        ADD_FAILURE() << "opened a missing file";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::FileOpen);
    }
}

} // namespace
} // namespace sheetlift
