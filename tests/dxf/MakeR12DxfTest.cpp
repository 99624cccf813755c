#include "dxf/MakeR12Dxf_V.h"

#include "DxfTestSupport.h"
#include "textconv/Codepage.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

using test::Entities;

std::string EmptyDrawing(bool declareCodepage = false) {
    std::string list;
    AddDxfHeader(list, declareCodepage);
    AddDxfLtypeTable(list);
    AddDxfLayerTable(list);
    AddDxfEntitiesStart(list);
    AddDxfEnd(list);
    return list;
}

TEST(MakeR12Dxf, FileWithoutEntitiesEndsWithEofAndCrLfEverywhere) {
    const std::string file = EmptyDrawing();
    EXPECT_TRUE(file.starts_with("  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n"
                                 "  1\r\nAC1009\r\n  9\r\n$CELTYPE\r\n"));
    EXPECT_TRUE(file.ends_with("  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n"));
    std::size_t lfs = 0;
    for (std::size_t k = 0; k < file.size(); ++k)
        if (file[k] == '\n') {
            ++lfs;
            EXPECT_EQ(file[k - 1], '\r') << k;
        }
    EXPECT_EQ(lfs % 2, 0u);
    EXPECT_TRUE(Entities(file).empty());
}

TEST(MakeR12Dxf, HeaderStartsAfresh) {
    std::string list = "old drawing\r\n";
    AddDxfHeader(list);
    EXPECT_TRUE(list.starts_with("  0\r\nSECTION\r\n"));
}

TEST(MakeR12Dxf, CodepageIsDeclaredRightAfterAcadver) {
    std::string list;
    AddDxfHeader(list, true);
    EXPECT_NE(list.find("$ACADVER\r\n  1\r\nAC1009\r\n  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_932\r\n"
                        "  9\r\n$CELTYPE\r\n"),
              std::string::npos);
    AddDxfHeader(list, false);
    EXPECT_EQ(list.find("DWGCODEPAGE"), std::string::npos);
}

TEST(MakeR12Dxf, LineAtOriginWritesPlainZeros) {
    std::string list;
    AddDxfLine(list, {}, {-12.75, 0.1 + 0.2, 0.000025}, "L", "BYLAYER", 256);
    EXPECT_EQ(list, "  0\r\nLINE\r\n  8\r\nL\r\n  6\r\nBYLAYER\r\n 62\r\n256\r\n 48\r\n1.0\r\n"
                    " 10\r\n0\r\n 20\r\n0\r\n 30\r\n0\r\n"
                    " 11\r\n-12.75\r\n 21\r\n0.3\r\n 31\r\n2.5E-5\r\n");
}

TEST(MakeR12Dxf, PolylineWritesVerticesUpToLastIndexAndClosesByFlag) {
    const TAcadPoint points[] = {{0, 0, 5}, {1, 0, 5}, {1, -1, 5}, {0, -1, 5}, {9, 9, 9}};
    std::string list;
    AddDxfPolyline(list, points, 3, true, "XLSCellLine", "BYLAYER", 256);
    const auto entities = Entities("  2\r\nENTITIES\r\n" + list);
    ASSERT_EQ(entities.size(), 6u);
    EXPECT_EQ(entities[0].type, "POLYLINE");
    EXPECT_EQ(entities[0].Get("10") + entities[0].Get("30") + entities[0].Get("70"), "0.00.01");
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(entities[k].type, "VERTEX");
        EXPECT_EQ(entities[k].groups.size(), 4u); // layer, x, y, z "0.0": no colour, no type
        EXPECT_EQ(entities[k].Get("30"), "0.0");
    }
    EXPECT_EQ(entities[3].Get("10") + "," + entities[3].Get("20"), "1,-1");
    EXPECT_EQ(entities[5].type, "SEQEND");
    EXPECT_TRUE(entities[5].groups.empty());

    list.clear();
    AddDxfPolyline(list, points, 1, false, "XLSCellLine", "BYLAYER", 256);
    EXPECT_EQ(Entities("  2\r\nENTITIES\r\n" + list)[0].Get("70"), "0");
}

TEST(MakeR12Dxf, AlignCodeOverridesJustification) {
    struct Case {
        const char* code;
        int hJust, vJust; // passed by the caller
        const char* want; // "72/73"
    };
    const Case cases[] = {
        {"ML", 9, 9, "0/2"}, {"MC", 9, 9, "1/2"},  {"MR", 9, 9, "2/2"}, {"TL", 9, 9, "0/3"},
        {"BR", 9, 9, "2/1"}, {"XC", 9, 9, "1/9"},  {"MX", 9, 9, "9/2"}, {"A", 9, 9, "3/0"},
        {"F", 9, 9, "5/0"},  {"M", 9, 9, "4/0"},   {"L", 9, 9, "0/0"},  {"Z", 9, 9, "9/0"},
        {"", 7, 8, "7/8"},   {"MCL", 7, 8, "7/8"},
    };
    for (const Case& c : cases) {
        std::string list;
        AddDxfText(list, "x", {}, {}, 1, 1, 0, c.hJust, c.vJust, c.code, "L", 256);
        const auto e = Entities("  2\r\nENTITIES\r\n" + list).at(0);
        EXPECT_EQ(e.Get("72") + "/" + e.Get("73"), c.want) << c.code;
    }
}

TEST(MakeR12Dxf, TextEntityGroupsInOrder) {
    std::string list;
    AddDxfText(list, "a b", {2.4, -3, 0}, {2.4, -3, 0}, 3, 1.0, 0, 0, 0, "ML", "XLSCellText", 256);
    EXPECT_EQ(list, "  0\r\nTEXT\r\n  8\r\nXLSCellText\r\n  7\r\nSTANDARD\r\n 62\r\n256\r\n"
                    " 10\r\n2.4\r\n 20\r\n-3\r\n 30\r\n0\r\n 11\r\n2.4\r\n 21\r\n-3\r\n 31\r\n0\r\n"
                    "  1\r\na b\r\n 40\r\n3\r\n 41\r\n1\r\n 50\r\n0\r\n 51\r\n0.0\r\n"
                    " 71\r\n0\r\n 72\r\n0\r\n 73\r\n2\r\n");
}

} // namespace
} // namespace sheetlift
