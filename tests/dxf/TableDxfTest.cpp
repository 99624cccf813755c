#include "dxf/TableDxf.h"

#include "DxfTestSupport.h"
#include "TempDir.h"
#include "model/Error.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;
using test::Entities;
using test::Entity;
using test::MakeTable;
using test::Merge;
using test::RoundSettings;

std::string Build(const CellTable& t, const TextGrid& texts, bool cellLineDraw = false,
                  DxfResult* result = nullptr) {
    return BuildTableDxf(t, texts, RoundSettings(), cellLineDraw, {}, result);
}

TextGrid Texts(const CellTable& t, std::initializer_list<std::tuple<int, int, std::string>> set) {
    TextGrid g(t.cellRows, t.cellCols);
    for (const auto& [i, j, text] : set)
        g.SetText(i, j, text);
    return g;
}

std::vector<Entity> OfType(const std::string& dxf, std::string_view type) {
    std::vector<Entity> out;
    for (auto& e : Entities(dxf))
        if (e.type == type)
            out.push_back(e);
    return out;
}

// "text @ (x, y) 72/73" for every TEXT, as written.
std::vector<std::string> TextPlaces(const std::string& dxf) {
    std::vector<std::string> out;
    for (const auto& e : OfType(dxf, "TEXT"))
        out.push_back(e.Get("1") + " @ (" + e.Get("10") + ", " + e.Get("20") + ") " + e.Get("72") +
                      "/" + e.Get("73"));
    return out;
}

class TempDir : public test::TempDirTest {
  protected:
    TempDir() : TempDirTest("sheetlift-dxf-") {}
};

// The worked examples, written out by hand from the format tables.
TEST(TableDxf, WorkedExamplesByteForByte) {
    struct Case {
        const char* file;
        std::function<std::string()> build;
    };
    const Case cases[] = {
        {"one-cell-lines.dxf",
         [] {
             CellTable t = MakeTable(1, 1);
             t.at(0, 0).txtAlign = 1;
             return Build(t, Texts(t, {{0, 0, "A"}}), true);
         }},
        {"one-cell.dxf",
         [] {
             CellTable t = MakeTable(1, 1);
             t.at(0, 0).txtAlign = 1;
             return Build(t, Texts(t, {{0, 0, "A"}}), false);
         }},
        {"merged-2x2.dxf",
         [] {
             CellTable t = MakeTable(2, 2);
             Merge(t, 0, 0, 2, 2);
             for (auto& c : t.cellAttrs)
                 c.lineBits = 15;
             return Build(t, Texts(t, {{0, 0, "A"}}), true);
         }},
        {"three-lines.dxf",
         [] {
             CellTable t = MakeTable(1, 1, 10, 40);
             t.at(0, 0).txtAlign = 2;
             return Build(t, Texts(t, {{0, 0, "A\r\nB\r\nC"}}), false);
         }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.build(), ReadWholeFile(fs::path(SHEETLIFT_TEST_DATA) / "dxf" / c.file))
            << c.file;
}

TEST(TableDxf, TextPlacementByAlignment) {
    const std::pair<int, const char*> cases[] = {
        {0, "A @ (2.4, -3) 0/2"},
        {1, "A @ (2.4, -3) 0/2"},
        {2, "A @ (15, -3) 1/2"},
        {3, "A @ (27.6, -3) 2/2"},
    };
    for (const auto& [align, want] : cases) {
        CellTable t = MakeTable(1, 1);
        t.at(0, 0).txtAlign = std::uint8_t(align);
        EXPECT_EQ(TextPlaces(Build(t, Texts(t, {{0, 0, "A"}}))), std::vector<std::string>{want})
            << align;
    }
}

TEST(TableDxf, LinesOfATextAndCarriageReturns) {
    struct Case {
        const char* text;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"A\nB\nC", {"A @ (2.4, -7) 0/2", "B @ (2.4, -10) 0/2", "C @ (2.4, -13) 0/2"}},
        {"A\n\nB", {"A @ (2.4, -7) 0/2", "B @ (2.4, -13) 0/2"}},
        {"a b\n c ", {"a b @ (2.4, -8.5) 0/2", " c  @ (2.4, -11.5) 0/2"}},
        {"A\r\nB", {"A @ (2.4, -8.5) 0/2", "B @ (2.4, -11.5) 0/2"}},
        {"A\rB", {"AB @ (2.4, -10) 0/2"}}, // a lone CR would break the value line
        {"\r", {}},
        {"\n", {}},
    };
    for (const Case& c : cases) {
        CellTable t = MakeTable(1, 1, 10, 40); // middle at y = -10
        EXPECT_EQ(TextPlaces(Build(t, Texts(t, {{0, 0, c.text}}))), c.want) << c.text;
    }
}

// No control character but the line feed that splits lines reaches a value line: readers
// stop at a NUL or refuse the file.
TEST(TableDxf, ControlCharactersBecomeSpaces) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string("A\0B", 3), "A B @ (2.4, -10) 0/2"},
        {"A\tB\x1b[0m", "A B [0m @ (2.4, -10) 0/2"},
        {"\x01\x1f", "   @ (2.4, -10) 0/2"},
        {"\x7f", "\x7f @ (2.4, -10) 0/2"}, // DEL is not a C0 control and reads fine
    };
    for (const auto& [text, want] : cases) {
        CellTable t = MakeTable(1, 1, 10, 40);
        const std::string dxf = Build(t, Texts(t, {{0, 0, text}}));
        EXPECT_EQ(TextPlaces(dxf), std::vector<std::string>{want}) << want;
        for (const char c : dxf)
            EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\r' || c == '\n') << want;
    }
}

// Characters without a place in the code page are still replaced, and the cells are named as
// the sheet names them, once each, in drawing order.
TEST(TableDxf, CellsWhoseCharactersTheCodePageCannotCarry) {
    CellTable t = MakeTable(3, 3);
    t.firstRow = 5;
    t.firstColumn = 2; // the table starts at B5
    DxfResult result;
    const std::string dxf = Build(t,
                                  Texts(t, {{0, 0, "表 ok"},
                                            {0, 2, "😀\n—"},
                                            {1, 1, "cafe\u0301 café"},
                                            {2, 0, "−5 \u00a0"},
                                            {2, 2, "～＼"}}),
                                  false, &result);
    EXPECT_EQ(result.lostCells, (std::vector<std::string>{"D5", "C6", "B7"}));
    std::vector<std::string> texts;
    for (const auto& e : OfType(dxf, "TEXT"))
        texts.push_back(e.Get("1"));
    EXPECT_EQ(texts[1], "?");
    EXPECT_EQ(texts.size(), 6u);
}

TEST(TableDxf, MergedAreaBoxPlacesOutlineAndText) {
    CellTable t = MakeTable(3, 3);
    Merge(t, 0, 0, 2, 2);
    const std::string dxf = Build(t, Texts(t, {{0, 0, "M"}, {1, 1, "covered"}}), true);
    const auto polylines = OfType(dxf, "POLYLINE");
    ASSERT_EQ(polylines.size(), 1u);
    std::vector<std::string> corners;
    for (const auto& v : OfType(dxf, "VERTEX"))
        corners.push_back(v.Get("10") + "," + v.Get("20"));
    EXPECT_EQ(corners, (std::vector<std::string>{"0,0", "60,0", "60,-12", "0,-12"}));
    // A covered cell's text is still written, in its own rectangle, as the grid shows it.
    EXPECT_EQ(TextPlaces(dxf),
              (std::vector<std::string>{"M @ (2.4, -6) 0/2", "covered @ (32.4, -9) 0/2"}));
    EXPECT_TRUE(OfType(Build(t, Texts(t, {}), false), "POLYLINE").empty());
}

TEST(TableDxf, Diagonals) {
    CellTable t = MakeTable(2, 3);
    Merge(t, 0, 1, 2, 2);
    t.at(0, 0).lineBits = kDiagonalDown | kDiagonalUp; // an X: both, top-left first
    t.at(1, 0).lineBits = kDiagonalUp;
    t.at(0, 1).lineBits = kDiagonalUp;   // the merged area's box
    t.at(1, 2).lineBits = kDiagonalDown; // covered: nothing
    std::vector<std::string> lines;
    for (const auto& e : OfType(Build(t, Texts(t, {})), "LINE"))
        lines.push_back(e.Line());
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "XLSBordLine: (0, 0)-(30, -6)", "XLSBordLine: (0, -6)-(30, 0)",
                         "XLSBordLine: (30, -12)-(90, 0)", "XLSBordLine: (0, -12)-(30, -6)"}));
}

TEST(TableDxf, EntityOrderGridCellsThenBorders) {
    CellTable t = MakeTable(2, 2);
    Merge(t, 1, 0, 1, 2);
    t.at(0, 0).lineBits = kEdgeTop | kEdgeLeft | kDiagonalDown;
    std::string order;
    for (const auto& e : Entities(Build(t, Texts(t, {{0, 1, "x"}}), true)))
        order += e.type.substr(0, 1) + (e.type == "LINE" ? e.Get("8").substr(3, 1) : "") + " ";
    // Grid: row 0, row 1 (merged: none), bottom, column 0 (row 0 run), column 1, right edge;
    // cell (0, 0) diagonal, (0, 1) text, (1, 0) outline; borders: vertical, horizontal.
    EXPECT_EQ(order, "LC LC LC LC LC LB T P V V V V S LB LB ");
}

TEST(TableDxf, OverlongTextLineIsWrittenAndReported) {
    const std::string kanji = "表"; // two bytes in code page 932
    const auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int k = 0; k < n; ++k)
            out += s;
        return out;
    };
    struct Case {
        std::string text;
        std::size_t warnings;
    };
    const Case cases[] = {
        {std::string(255, 'x'), 0},
        {std::string(256, 'x'), 1},
        {repeat(kanji, 127), 0},
        {repeat(kanji, 128), 1},
        {"short\n" + repeat(kanji, 200) + "\n" + std::string(300, 'y'), 2},
    };
    for (const Case& c : cases) {
        CellTable t = MakeTable(3, 2);
        DxfResult result;
        const std::string dxf = Build(t, Texts(t, {{2, 1, c.text}}), false, &result);
        EXPECT_EQ(result.warnings.size(), c.warnings) << c.text.size();
        std::size_t longest = 0;
        for (const auto& e : OfType(dxf, "TEXT"))
            longest = std::max(longest, e.Get("1").size());
        EXPECT_EQ(longest > 255, c.warnings > 0) << "written in full";
    }
    CellTable t = MakeTable(3, 2);
    DxfResult result;
    Build(t, Texts(t, {{2, 1, "a\n" + repeat(kanji, 200)}}), false, &result);
    ASSERT_EQ(result.warnings.size(), 1u);
    const std::string& warning = result.warnings[0];
    EXPECT_NE(warning.find("Row 3, column 2, line 2"), std::string::npos) << warning;
    EXPECT_NE(warning.find("400 bytes"), std::string::npos) << warning;
}

TEST(TableDxf, TextsBeyondTheGridAreEmpty) {
    CellTable t = MakeTable(2, 2);
    TextGrid small(1, 1);
    small.SetText(0, 0, "A");
    EXPECT_EQ(OfType(Build(t, small), "TEXT").size(), 1u);
}

TEST_F(TempDir, WritesTheFileAndReplacesIt) {
    CellTable t = MakeTable(1, 1);
    const fs::path path = dir_ / "表.dxf";
    WriteFileAtomic(path, "previous drawing");
    const DxfResult first = WriteTableDxf(t, Texts(t, {{0, 0, "A"}}), RoundSettings(), true, path);
    EXPECT_TRUE(first.written);
    const std::string bytes = ReadWholeFile(path);
    EXPECT_EQ(bytes, Build(t, Texts(t, {{0, 0, "A"}}), true));
    WriteTableDxf(t, Texts(t, {{0, 0, "A"}}), RoundSettings(), true, path);
    EXPECT_EQ(ReadWholeFile(path), bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TempDir, EmptyTableWritesNoFile) {
    const fs::path path = dir_ / "none.dxf";
    const DxfResult result = WriteTableDxf(CellTable{}, TextGrid{}, RoundSettings(), true, path);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(Build(CellTable{}, TextGrid{}), "");
}

TEST_F(TempDir, FailureNamesTheFile) {
    CellTable t = MakeTable(1, 1);
    WriteFileAtomic(dir_ / "file", "x");
    const fs::path path = dir_ / "file" / "out.dxf"; // a folder that is a file
    try {
        WriteTableDxf(t, Texts(t, {}), RoundSettings(), true, path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(DisplayPath(path)), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace sheetlift
