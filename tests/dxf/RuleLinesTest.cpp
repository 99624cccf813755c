#include "dxf/RuleLines.h"

#include "DxfTestSupport.h"
#include "LiteralConsolidation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace sheetlift {
namespace {

using test::Entities;
using test::MakeTable;
using test::Merge;

std::vector<std::string> Lines(const std::function<void(DrawingSink&)>& draw) {
    std::vector<std::string> lines;
    for (const auto& e : Entities(test::DxfOfEntities(draw)))
        lines.push_back(e.Line());
    return lines;
}

std::vector<std::string> BorderOutput(const CellTable& t) {
    BorderLines lines;
    CollectBorderLines(t, MakeTableEdges(t), lines);
    ConsolidateBorderLines(lines);
    const auto out = Lines([&lines](DrawingSink& sink) { AddBorderLines(sink, lines); });
    EXPECT_TRUE(lines.bordLinesV.empty() && lines.bordLinesH.empty());
    return out;
}

TEST(SameWithin, ExactlyEpsCountsAsSame) {
    EXPECT_TRUE(SameWithin(1.0, 1.0000005, 1e-6));
    EXPECT_FALSE(SameWithin(1.0, 1.000002, 1e-6));
    EXPECT_TRUE(SameWithin(0, 1e-6, 1e-6));
    EXPECT_TRUE(SameWithin(-1e-6, 0, 1e-6));
    EXPECT_FALSE(SameWithin(0, 1.0000001e-6, 1e-6));
}

TEST(BorderLines, JoinAndDropDuplicates) {
    struct Case {
        const char* name;
        CellTable table;
        std::vector<std::string> want;
    };
    const auto borders = [](CellTable t, std::initializer_list<std::pair<int, int>> cells,
                            std::uint8_t bits) {
        for (const auto& [i, j] : cells)
            t.at(i, j).lineBits |= bits;
        return t;
    };
    CellTable merged = MakeTable(3, 3);
    Merge(merged, 0, 0, 2, 2);
    for (auto& c : merged.cellAttrs)
        c.lineBits = 15;
    const std::vector<Case> cases = {
        {"single cell, four borders",
         borders(MakeTable(1, 1), {{0, 0}}, 15),
         {"XLSBordLine: (0, 0)-(0, -6)", "XLSBordLine: (30, 0)-(30, -6)",
          "XLSBordLine: (0, 0)-(30, 0)", "XLSBordLine: (0, -6)-(30, -6)"}},
        {"three top borders in a row join",
         borders(MakeTable(1, 3), {{0, 0}, {0, 1}, {0, 2}}, kEdgeTop),
         {"XLSBordLine: (0, 0)-(90, 0)"}},
        {"shared edge reported by both cells",
         [&] {
             CellTable t = borders(MakeTable(1, 2), {{0, 0}}, kEdgeRight);
             return borders(t, {{0, 1}}, kEdgeLeft);
         }(),
         {"XLSBordLine: (30, 0)-(30, -6)"}},
        {"bottom of one row meets top of the next",
         [&] {
             CellTable t = borders(MakeTable(2, 2), {{0, 0}, {0, 1}}, kEdgeBottom);
             return borders(t, {{1, 0}, {1, 1}}, kEdgeTop);
         }(),
         {"XLSBordLine: (0, -6)-(60, -6)"}},
        {"horizontal borders only",
         borders(MakeTable(2, 1), {{0, 0}, {1, 0}}, kEdgeTop | kEdgeBottom),
         {"XLSBordLine: (0, 0)-(30, 0)", "XLSBordLine: (0, -6)-(30, -6)",
          "XLSBordLine: (0, -12)-(30, -12)"}},
        {"chain continuing an earlier segment is not joined",
         // Row 0 is collected first, so the right half of y = -6 comes before its left half.
         [&] {
             CellTable t = borders(MakeTable(2, 2), {{0, 1}}, kEdgeBottom);
             return borders(t, {{1, 0}}, kEdgeTop);
         }(),
         {"XLSBordLine: (30, -6)-(60, -6)", "XLSBordLine: (0, -6)-(30, -6)"}},
        {"merged area outline, nothing inside",
         merged,
         {"XLSBordLine: (0, 0)-(0, -18)", "XLSBordLine: (60, 0)-(60, -18)",
          "XLSBordLine: (90, 0)-(90, -18)", "XLSBordLine: (30, -12)-(30, -18)",
          "XLSBordLine: (0, 0)-(90, 0)", "XLSBordLine: (60, -6)-(90, -6)",
          "XLSBordLine: (0, -12)-(90, -12)", "XLSBordLine: (0, -18)-(90, -18)"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BorderOutput(c.table), c.want) << c.name;
}

TEST(CellGridLines, RunsOfUnmergedCellsThenBottomAndRightEdges) {
    const auto grid = [](const CellTable& t) {
        return Lines([&t](DrawingSink& sink) { AddCellGridLines(t, MakeTableEdges(t), sink); });
    };
    EXPECT_EQ(grid(MakeTable(2, 2)),
              (std::vector<std::string>{
                  "XLSCellLine: (0, 0)-(60, 0)", "XLSCellLine: (0, -6)-(60, -6)",
                  "XLSCellLine: (0, -12)-(60, -12)", "XLSCellLine: (0, 0)-(0, -12)",
                  "XLSCellLine: (30, 0)-(30, -12)", "XLSCellLine: (60, 0)-(60, -12)"}));

    CellTable t = MakeTable(1, 3);
    t.at(0, 1).cellMerge = true; // only the flag matters to the runs
    const auto lines = grid(t);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "XLSCellLine: (0, 0)-(30, 0)");
    EXPECT_EQ(lines[1], "XLSCellLine: (60, 0)-(90, 0)");
}

// --- Differential tests against the pairwise passes -------------------------------------------

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

::testing::AssertionResult SameArrays(const std::vector<TXlsxKeisen>& fast,
                                      const std::vector<TXlsxKeisen>& literal) {
    if (fast.size() != literal.size())
        return ::testing::AssertionFailure() << "sizes differ";
    for (std::size_t k = 0; k < fast.size(); ++k) {
        const TXlsxKeisen &a = fast[k], &b = literal[k];
        if (a.mark != b.mark || !SameBits(a.stpt.x, b.stpt.x) || !SameBits(a.stpt.y, b.stpt.y) ||
            !SameBits(a.edpt.x, b.edpt.x) || !SameBits(a.edpt.y, b.edpt.y))
            return ::testing::AssertionFailure()
                   << "segment " << k << ": fast mark " << a.mark << " end (" << a.edpt.x << ", "
                   << a.edpt.y << "), literal mark " << b.mark << " end (" << b.edpt.x << ", "
                   << b.edpt.y << ")";
    }
    return ::testing::AssertionSuccess();
}

// Sizes that put edges exactly eps, just under and just over eps apart, at small and large
// offsets, and hidden (zero) columns and rows.
constexpr double kSizes[] = {0,    0.4e-6,         0.5e-6, 0.6e-6, 1e-6,      0.9999999e-6, 1.1e-6,
                             2e-6, 1000.000000333, 3,      6,      0.1 + 0.2, 12.0001,      1e-7,
                             30};

CellTable RandomTable(std::mt19937& rng) {
    std::uniform_int_distribution<int> dim(1, 9), size(0, std::size(kSizes) - 1), bits(0, 63),
        pct(0, 99);
    const int rows = dim(rng), cols = dim(rng);
    CellTable t = MakeTable(rows, cols);
    // Merged areas that do not overlap.
    std::vector<char> used(std::size_t(rows) * cols);
    for (int n = pct(rng) % 4; n > 0; --n) {
        const int i = pct(rng) % rows, j = pct(rng) % cols;
        const int r = 1 + pct(rng) % 3, c = 1 + pct(rng) % 3;
        if (i + r > rows || j + c > cols)
            continue;
        bool free = true;
        for (int a = i; a < i + r; ++a)
            for (int b = j; b < j + c; ++b)
                free = free && !used[std::size_t(a) * cols + b];
        if (!free)
            continue;
        for (int a = i; a < i + r; ++a)
            for (int b = j; b < j + c; ++b)
                used[std::size_t(a) * cols + b] = 1;
        Merge(t, i, j, r, c);
    }
    std::vector<double> w(cols), h(rows);
    for (double& x : w)
        x = kSizes[size(rng)];
    for (double& y : h)
        y = kSizes[size(rng)];
    const int allBits = pct(rng) < 30 ? 15 : -1; // often every border, as tables usually have
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            TXlsxCellAttr& c = t.at(i, j);
            c.drawW = w[j];
            c.drawH = h[i];
            c.lineBits = std::uint8_t(allBits >= 0 ? allBits : bits(rng));
        }
    RecalcMergedSizes(t);
    return t;
}

TEST(ConsolidateBorderLines, MatchesPairwisePassesOnRandomTables) {
    std::mt19937 rng(20230211);
    for (int run = 0; run < 5000; ++run) {
        const CellTable t = RandomTable(rng);
        BorderLines fast;
        CollectBorderLines(t, MakeTableEdges(t), fast);
        BorderLines literal = fast;
        ConsolidateBorderLines(fast);
        test::LiteralConsolidateBorderLines(literal);
        ASSERT_TRUE(SameArrays(fast.bordLinesV, literal.bordLinesV)) << "run " << run << " V";
        ASSERT_TRUE(SameArrays(fast.bordLinesH, literal.bordLinesH)) << "run " << run << " H";
    }
}

} // namespace
} // namespace sheetlift
