#include "model/NumberFormat.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

TEST(FormatGeneral, FixedAndExponentForms) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {3, "3"},
        {-12.75, "-12.75"},
        {0.1 + 0.2, "0.3"},
        {0.0001, "0.0001"},
        {0.000025, "2.5E-5"},
        {1234567890123456, "1.23456789012346E15"},
        {999999999999999, "999999999999999"},
        {1e15, "1E15"},
        {20, "20"},
        {0.43, "0.43"},
        {100, "100"},
        {2.4, "2.4"},
        {-3.0000000000000004, "-3"},
        {1.5e-300, "1.5E-300"},
        {123456.789, "123456.789"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatGeneral(value), text) << value;
    EXPECT_EQ(FormatGeneral(0.43, ','), "0,43");
}

TEST(FormatFixed3, RoundsToThreeDecimals) {
    EXPECT_EQ(FormatFixed3(123.4567), "123.457");
    EXPECT_EQ(FormatFixed3(-35.25), "-35.250");
    EXPECT_EQ(FormatFixed3(5, ','), "5,000");
}

TEST(ParseNumber, WholeTextWithTheLocaleSeparator) {
    EXPECT_EQ(ParseNumber("12.5"), 12.5);
    EXPECT_EQ(ParseNumber(" -0.5 "), -0.5);
    EXPECT_EQ(ParseNumber("+3"), 3);
    EXPECT_EQ(ParseNumber("1E3"), 1000);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("0,5", ','), 0.5);
    for (const char* bad : {"", " ", "abc", "1.5x", "1,5", "1e", "--1", "1e999", "."})
        EXPECT_FALSE(ParseNumber(bad)) << bad;
    EXPECT_FALSE(ParseNumber("0.5", ','));
    EXPECT_EQ(ParseInteger(" 14 "), 14);
    EXPECT_EQ(ParseInteger("-3"), -3);
    for (const char* bad : {"", "1.5", "x", "+-1", "99999999999"})
        EXPECT_FALSE(ParseInteger(bad)) << bad;
}

} // namespace
} // namespace sheetlift
