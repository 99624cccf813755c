#include "model/Platform.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

TEST(ExecutablePath, IsThisProgramsFile) {
    const auto path = ExecutablePath();
    EXPECT_TRUE(path.is_absolute()) << path;
    EXPECT_EQ(path.stem(), "test_model");
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
}

} // namespace
} // namespace sheetlift
