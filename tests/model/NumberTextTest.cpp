#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

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

// The value rounded to 15 digits by the standard library.
std::string Reference(double value) {
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    return std::string(buf, res.ptr);
}

double Read(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// The digits come from a fast path for the drawing's range; they must be the standard
// library's rounding for every value, ties included, at the right place.
TEST(FormatGeneral, DigitsAreTheCorrectlyRoundedOnes) {
    std::vector<double> values = {100000000000000.5,     100000000000001.5,  999999999999999.5,
                                  999999999999999.4,     0.1 + 0.2,          1e-7,
                                  9.9999999999999995e-8, 1e15 - 0.5,         2.5e-7,
                                  5.0000000000000005e-5, -18.060000000000002};
    std::mt19937_64 rng(1502);
    std::uniform_real_distribution<double> exponent(-9, 16);
    std::uniform_int_distribution<int> cells(1, 300);
    for (int k = 0; k < 200000; ++k)
        values.push_back(std::pow(10.0, exponent(rng)) * (k % 2 ? 1 : -1));
    for (int k = 0; k < 20000; ++k) { // sums of sizes, as edges are
        double sum = 0;
        for (int n = cells(rng); n > 0; --n)
            sum += 0.43 * cells(rng);
        values.push_back(-sum);
    }
    for (int k = 0; k < 20000; ++k) { // exact halves at the 16th digit
        const double base = 1e14 + double(rng() % 900000000000000ULL);
        values.push_back(base + 0.5);
        values.push_back((base + 0.5) / 1024);
    }
    for (int k = 0; k < 20000; ++k) { // whole thousandths and their neighbours
        const double thousandths = double(rng() % 2000000000) / 1000 * (k % 2 ? 1 : -1);
        values.push_back(thousandths);
        values.push_back(std::nextafter(thousandths, 0.0));
        values.push_back(std::nextafter(thousandths, 1e300));
        values.push_back(double(rng() % 1000000000000000ULL) / 1000);
    }
    for (const double v : values) {
        const std::string text = FormatGeneral(v);
        ASSERT_EQ(Read(text), Read(Reference(v))) << text << " " << Reference(v);
        ASSERT_LE(text.size(), kMaxGeneralLength);
    }
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
