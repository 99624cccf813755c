// The SVG picture against the DXF file of the same tables: counts, texts and points through
// ezdxf (svg_check.py), and what the picture itself promises.
#include "dxf/TableDxf.h"
#include "dxf/TableSvg.h"

#include "DxfTestSupport.h"
#include "TempDir.h"
#include "excel/Import.h"
#include "excel/OpenSource.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;
using test::MakeTable;
using test::Merge;
using test::RoundSettings;

const fs::path kData = SHEETLIFT_TEST_DATA;

class SvgPictures : public test::TempDirTest {
  protected:
    SvgPictures() : TempDirTest("sheetlift-svg-") {}

    void Write(const std::string& name, const CellTable& t, const TextGrid& texts,
               const Settings& settings) {
        WriteTableDxf(t, texts, settings, true, dir_ / (name + ".dxf"));
        WriteTableSvg(t, texts, settings, true, dir_ / (name + ".svg"));
    }
    void WriteSelection(const std::string& name, const fs::path& file) {
        auto source = OpenSelectionFile(file);
        CellTable table;
        TextGrid texts;
        TextGridSink sink(texts);
        ImportSelection(*source, sink, table, Settings{});
        Write(name, table, texts, Settings{});
    }
};

// Every alignment, a merged area, both diagonals, texts with markup characters, spaces,
// several lines, a control character and characters code page 932 cannot carry.
CellTable Mixed(TextGrid& g) {
    CellTable t = MakeTable(3, 4);
    Merge(t, 1, 1, 2, 2);
    for (auto& c : t.cellAttrs)
        c.lineBits = 15;
    t.at(0, 0).lineBits |= kDiagonalDown | kDiagonalUp;
    t.at(0, 1).txtAlign = 2;
    t.at(0, 2).txtAlign = 3;
    g = TextGrid(3, 4);
    g.SetText(0, 0, "a < b & c > d");
    g.SetText(0, 1, "中央\n  二行目 ");
    g.SetText(0, 2, "右\tタブ");
    g.SetText(1, 1, "結合\n\nセル");
    g.SetText(2, 3, "😀 — é");
    return t;
}

TEST_F(SvgPictures, MatchTheDxfThroughEzdxfAndRender) {
    TextGrid g;
    const CellTable mixed = Mixed(g);
    Write("mixed", mixed, g, RoundSettings());
    for (const auto& entry : fs::directory_iterator(kData / "expected"))
        if (entry.path().extension() == ".json")
            WriteSelection(entry.path().stem().string(), entry.path());
    WriteSelection("parts-list", kData / "snapshots" / "parts-list.json");
    WriteSelection("render-parts-table", kData / ".." / ".." / "examples" / "parts-table.xlsx");
    const std::string command =
        "/usr/bin/python3 '" SHEETLIFT_TEST_DATA "/../dxf/svg_check.py' '" + dir_.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(Svg, PictureOfAMixedTable) {
    TextGrid g;
    const CellTable t = Mixed(g);
    SvgResult result;
    const std::string svg = BuildTableSvg(t, g, RoundSettings(), true, {}, &result);
    const auto has = [&svg](const std::string& part) {
        return svg.find(part) != std::string::npos;
    };
    // 120 x 18 drawing units, a margin of 2.4, one unit a millimetre, y down.
    EXPECT_TRUE(has(R"(width="124.8mm" height="22.8mm" viewBox="-2.4 -2.4 124.8 22.8")"));
    EXPECT_TRUE(has(R"(<g id="XLSCellLine" fill="none" stroke="#666666")"));
    EXPECT_TRUE(has(R"(<text x="2.4" y="4.5" font-size="3">a &lt; b &amp; c &gt; d</text>)"));
    EXPECT_TRUE(has(R"(<text x="45" y="3" font-size="3" text-anchor="middle">中央</text>)"));
    EXPECT_TRUE(has(R"(text-anchor="middle">  二行目 </text>)"));
    EXPECT_TRUE(has(R"(<text x="87.6" y="4.5" font-size="3" text-anchor="end">右 タブ</text>)"));
    EXPECT_TRUE(has(R"(<polygon points="30,6 90,6 90,18 30,18"/>)"));
    // Both diagonals of the crossed cell, the one from the top-left first.
    EXPECT_TRUE(has(R"(<line x1="0" y1="0" x2="30" y2="6"/>)"
                    "\n"
                    R"(<line x1="0" y1="6" x2="30" y2="0"/>)"));
    // As the DXF file will show it.
    EXPECT_TRUE(has(">? ? e</text>")) << svg;
    EXPECT_EQ(result.lostCells, std::vector<std::string>{"D3"});

    SvgOptions textsOnly;
    textsOnly.layerShown = {false, true, false};
    const std::string texts = BuildTableSvg(t, g, RoundSettings(), true, textsOnly);
    EXPECT_EQ(texts.find("<line"), std::string::npos);
    EXPECT_EQ(texts.find("<polygon"), std::string::npos);
    EXPECT_NE(texts.find("<g id=\"XLSBordLine\""), std::string::npos) << "every layer's group";
    EXPECT_EQ(BuildTableSvg(CellTable{}, TextGrid{}, RoundSettings(), true), "");
}

} // namespace
} // namespace sheetlift
