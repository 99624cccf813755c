#include "cad/InsertCommand.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

TEST(BuildInsertCommand, PathQuotedUnchangedAndPointToThreeDecimals) {
    EXPECT_EQ(BuildInsertCommand("D:\\Work\\app.dxf", 123.4567, -35.25),
              "-INSERT\r\"*D:\\Work\\app.dxf\"\r123.457,-35.250\rS 1 R 0 ");
    EXPECT_EQ(BuildInsertCommand("C:\\My Tables\\表 1.dxf", 10, 20),
              "-INSERT\r\"*C:\\My Tables\\表 1.dxf\"\r10.000,20.000\rS 1 R 0 ");
}

} // namespace
} // namespace sheetlift
