#include "excel/CellFormat.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

struct NumberCase {
    double value;
    const char* format;
    const char* text;
};

class WorkbookNumberFormat : public testing::TestWithParam<NumberCase> {};

TEST_P(WorkbookNumberFormat, ShowsWhatExcelShows) {
    const auto& c = GetParam();
    EXPECT_EQ(FormatNumber(c.value, c.format), c.text) << c.value << " in " << c.format;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkbookNumberFormat,
    testing::Values(
        // General: 11 characters at most.
        NumberCase{0, "General", "0"}, NumberCase{12, "General", "12"},
        NumberCase{-3.5, "General", "-3.5"}, NumberCase{1.0 / 3, "General", "0.333333333"},
        NumberCase{2.0 / 3, "General", "0.666666667"}, NumberCase{0.1 + 0.2, "General", "0.3"},
        NumberCase{12345678901, "General", "12345678901"},
        NumberCase{123456789012, "General", "1.23457E+11"},
        NumberCase{-123456789012, "General", "-1.23457E+11"},
        NumberCase{-1.0 / 3, "General", "-0.333333333"},
        NumberCase{1234567.891234, "General", "1234567.891"},
        NumberCase{0.00001, "General", "0.00001"},
        NumberCase{0.000012345678, "General", "1.23457E-05"},
        NumberCase{0.000123456789, "General", "0.000123457"}, NumberCase{1e-10, "General", "1E-10"},
        NumberCase{1e100, "General", "1E+100"}, NumberCase{99999999999.6, "General", "1E+11"},
        // Fixed, thousands, rounding as Excel (half up on 15 digits).
        NumberCase{1234.5, "0", "1235"}, NumberCase{2.675, "0.00", "2.68"},
        NumberCase{-2.5, "0", "-3"}, NumberCase{0.5, "#", "1"}, NumberCase{0, "#,##0", "0"},
        NumberCase{1234567.891, "#,##0", "1,234,568"},
        NumberCase{-1234567.891, "#,##0.00", "-1,234,567.89"},
        NumberCase{1234567, "#,##0,", "1,235"}, NumberCase{1.5, "0.0#", "1.5"},
        NumberCase{1.5, "0.0?", "1.5 "}, NumberCase{12.5, ".00", "12.50"},
        NumberCase{1234, "000000", "001234"}, NumberCase{1234567, "000-0000", "123-4567"},
        // Percent and scientific.
        NumberCase{0.256, "0%", "26%"}, NumberCase{0.256, "0.0%", "25.6%"},
        NumberCase{12345.678, "0.00E+00", "1.23E+04"}, NumberCase{0.00012, "0.00E+00", "1.20E-04"},
        NumberCase{9.999, "0.00E+00", "1.00E+01"}, NumberCase{12345, "##0.0E+0", "12.3E+3"},
        // Literals and sections.
        NumberCase{5, "0\"個\"", "5個"}, NumberCase{5, "\"¥\"#,##0", "¥5"},
        NumberCase{-1200, "[$¥-411]#,##0;[Red]-[$¥-411]#,##0", "-¥1,200"},
        NumberCase{-3, "0;(0)", "(3)"}, NumberCase{0, "0;(0);\"zero\"", "zero"},
        NumberCase{0, "#,##0;-#,##0;\"-\"", "-"}, NumberCase{3, "0_);(0)", "3 "},
        NumberCase{7, "\"abc\"", "abc"}, NumberCase{42, "@", "42"},
        // Dates and times (serial 44968 is 2023-02-11, a Saturday).
        NumberCase{44968, "yyyy/m/d", "2023/2/11"}, NumberCase{44968, "yyyy/mm/dd", "2023/02/11"},
        NumberCase{44968, "yyyy\"年\"m\"月\"d\"日\"", "2023年2月11日"},
        NumberCase{44968, "[$-411]ggge\"年\"m\"月\"d\"日\"", "令和5年2月11日"},
        NumberCase{44968, "[$-411]ge.m.d", "R5.2.11"}, NumberCase{32516, "ggge", "平成1"},
        NumberCase{32515, "gge", "昭64"}, NumberCase{44968, "m/d(aaa)", "2/11(土)"},
        NumberCase{44968, "d-mmm-yy dddd", "11-Feb-23 Saturday"},
        NumberCase{60, "yyyy-mm-dd", "1900-02-29"}, NumberCase{61, "yyyy-mm-dd", "1900-03-01"},
        NumberCase{44968.5451388889, "h:mm", "13:05"},
        NumberCase{44968.5451388889, "yyyy/m/d h:mm", "2023/2/11 13:05"},
        NumberCase{0.5451388889, "h:mm AM/PM", "1:05 PM"},
        NumberCase{0.5451388889, "[$-411]AM/PM h:mm", "午後 1:05"},
        NumberCase{0.5451388889, "h\"時\"mm\"分\"", "13時05分"},
        NumberCase{1.5, "[h]:mm:ss", "36:00:00"}, NumberCase{0.000011574, "mm:ss.0", "00:01.0"},
        // What the formatter does not handle shows General, never fails.
        NumberCase{1.5, "# ?/?", "1.5"}, NumberCase{150, "[>100]0;0", "150"},
        NumberCase{3, "[DBNum1]0", "3"}, NumberCase{-1, "yyyy/m/d", "-1"},
        NumberCase{3, "[Red", "3"}, NumberCase{3, "\"unterminated", "unterminated"},
        NumberCase{3, "", "3"},
        // A percentage past the largest double (this once crashed the reader).
        NumberCase{6.8e306, "0%", "6.8E+306"}));

TEST(WorkbookTextFormat, UsesTheTextSection) {
    EXPECT_EQ(FormatText("abc", "@"), "abc");
    EXPECT_EQ(FormatText("abc", "0;0;0;\"[\"@\"]\""), "[abc]");
    EXPECT_EQ(FormatText("abc", "0.00"), "abc");
    EXPECT_EQ(FormatText("abc", "\"型式:\"@"), "型式:abc");
}

TEST(WorkbookBuiltinFormats, AreThoseOfAJapaneseExcel) {
    EXPECT_EQ(BuiltinNumberFormat(0), "");
    EXPECT_EQ(BuiltinNumberFormat(14), "yyyy/m/d");
    EXPECT_EQ(FormatNumber(44968, BuiltinNumberFormat(58)), "令和5年2月11日");
    EXPECT_EQ(FormatNumber(1234.5, BuiltinNumberFormat(4)), "1,234.50");
    EXPECT_EQ(BuiltinNumberFormat(999), "");
}

TEST(WorkbookIsoDates, BecomeExcelSerials) {
    const struct {
        const char* text;
        bool date1904;
        std::optional<double> serial;
    } cases[] = {
        {"2023-02-11", false, 44968},
        {"2023-02-11T13:05:00Z", false, 44968 + 13.0 / 24 + 5.0 / 1440},
        {"2023-02-11T12:00:00.5+09:00", false, 44968.5 + 0.5 / 86400},
        {"1900-01-01", false, 1},
        {"1900-02-28", false, 59},
        {"1900-03-01", false, 61}, // after the 1900-02-29 Excel counts
        {"1904-01-02", true, 1},
        {"18:00:00", false, 0.75},
        {"1899-12-31", false, std::nullopt},
        {"1903-12-31", true, std::nullopt},
        {"2023-13-01", false, std::nullopt},
        {"noon", false, std::nullopt},
        {"", false, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto serial = SerialFromIsoDate(c.text, c.date1904);
        ASSERT_EQ(serial.has_value(), c.serial.has_value()) << c.text;
        if (serial) {
            EXPECT_NEAR(*serial, *c.serial, 1e-9) << c.text;
        }
    }
}

} // namespace
} // namespace sheetlift
