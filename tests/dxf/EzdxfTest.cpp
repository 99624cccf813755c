// Runs representative exports through a real reader: Debian's ezdxf.
#include "dxf/TableDxf.h"

#include "DxfTestSupport.h"
#include "TempDir.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;
using test::MakeTable;
using test::Merge;
using test::RoundSettings;

struct Sample {
    std::string name;
    CellTable table;
    TextGrid texts;
    bool cellLineDraw;
    bool declareCodepage;
    nlohmann::json layers;
    nlohmann::json texts_; // [text, x, y] per TEXT, in file order
};

Sample Japanese(bool declare) {
    // 3 x 4, a 2 x 2 merged area, every border, two diagonals, multi-line texts.
    CellTable t = MakeTable(3, 4);
    Merge(t, 1, 1, 2, 2);
    for (auto& c : t.cellAttrs)
        c.lineBits = 15;
    t.at(0, 0).lineBits |= kDiagonalDown;
    t.at(2, 3).lineBits |= kDiagonalUp;
    t.at(0, 1).txtAlign = 2;
    t.at(1, 1).txtAlign = 3;
    TextGrid g(3, 4);
    g.SetText(0, 0, "表");
    g.SetText(0, 1, "ｶﾅ～全角\r\nline 2");
    g.SetText(1, 1, "結合\n\nセル");
    g.SetText(2, 3, "\\ ￥ ￢");
    return {declare ? "japanese-declared" : "japanese-cp932",
            std::move(t),
            std::move(g),
            true,
            declare,
            // Grid: row tops 1 + 2 + 2 (the area splits rows 1 and 2), bottom, one run per
            // column, right edge, and the area's outline. Borders: two diagonals, vertical lines
            // at x = 0, 30, 60 (row 0 only), 90, 120, horizontal ones at y = 0, -6, -12 (two
            // pieces beside the area), -18.
            {{"XLSCellLine", 5 + 1 + 4 + 1 + 1}, {"XLSBordLine", 2 + 5 + 5}, {"XLSCellText", 6}},
            {{"表", 2.4, -3},
             {"ｶﾅ～全角", 45, -1.5},
             {"line 2", 45, -4.5},
             {"結合", 90 - 2.4, -9},
             {"セル", 90 - 2.4, -15},
             {"\\ ￥ ￢", 90 + 2.4, -15}}};
}

Sample Plain() {
    CellTable t = MakeTable(2, 2);
    TextGrid g(2, 2);
    g.SetText(1, 1, "A");
    return {"plain",
            std::move(t),
            std::move(g),
            false,
            false,
            nlohmann::json{{"XLSCellText", 1}},
            nlohmann::json{{"A", 30 + 2.4, -9}}};
}

class Ezdxf : public test::TempDirTest {
  protected:
    Ezdxf() : TempDirTest("sheetlift-ezdxf-") {}
};

TEST_F(Ezdxf, ReadsAndAuditsExports) {
    for (Sample& s : std::vector<Sample>{Japanese(true), Japanese(false), Plain()}) {
        WriteTableDxf(s.table, s.texts, RoundSettings(), s.cellLineDraw, dir_ / (s.name + ".dxf"),
                      {s.declareCodepage});
        const nlohmann::json want = {
            {"declared", s.declareCodepage}, {"layers", s.layers}, {"texts", s.texts_}};
        WriteFileAtomic(dir_ / (s.name + ".json"), want.dump());
    }
    const std::string command =
        "/usr/bin/python3 '" SHEETLIFT_TEST_DATA "/../dxf/ezdxf_check.py' '" + dir_.string() + "'";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << command;
}

} // namespace
} // namespace sheetlift
