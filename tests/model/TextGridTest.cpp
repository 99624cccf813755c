#include "model/TextGrid.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

// Texts live in one block: changing them over and over packs the block, and a text set from
// another cell's (a view into the same block) arrives whole.
TEST(TextGrid, KeepsEveryTextThroughChangesAndPacking) {
    TextGrid grid(3, 2);
    EXPECT_EQ(grid.Text(2, 1), "");
    for (int round = 0; round < 2000; ++round)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 2; ++j)
                grid.SetText(i, j, std::string(1000, char('a' + (round + i + j) % 26)));
    grid.SetText(0, 0, "部品");
    grid.SetText(1, 1, grid.Text(0, 0));
    grid.SetText(2, 0, grid.Text(2, 0).substr(0, 3));
    EXPECT_EQ(grid.Text(0, 0), "部品");
    EXPECT_EQ(grid.Text(1, 1), "部品");
    EXPECT_EQ(grid.Text(2, 0), std::string(3, char('a' + (1999 + 2) % 26)));
    EXPECT_EQ(grid.Text(0, 1), std::string(1000, char('a' + (1999 + 1) % 26)));
    const std::string huge(std::size_t(1) << 24, 'x'); // beyond what a cell's slot can say
    grid.SetText(0, 1, huge);
    EXPECT_EQ(grid.Text(0, 1), huge);
    grid.SetText(0, 1, "short");
    EXPECT_EQ(grid.Text(0, 1), "short");
    grid.Resize(1, 1);
    EXPECT_EQ(grid.Text(0, 0), "");
}

} // namespace
} // namespace sheetlift
