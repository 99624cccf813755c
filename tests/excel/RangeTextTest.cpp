#include "excel/Source.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

TEST(ParseRangeText, NormalisesAndChecksTheSheetLimits) {
    struct Case {
        const char* text;
        int row, column, rows, columns;
        const char* sheet;
    };
    const Case good[] = {
        {"A1:D9", 1, 1, 9, 4, ""},
        {"b2:a1", 1, 1, 2, 2, ""},
        {"C3", 3, 3, 1, 1, ""},
        {"$A$1:$B$2", 1, 1, 2, 2, ""},
        {"Sheet1!A1:D9", 1, 1, 9, 4, "Sheet1"},
        {"'It''s 表'!XFD1048576", 1048576, 16384, 1, 1, "It's 表"},
    };
    for (const Case& c : good) {
        SelectionRange r;
        std::string sheet;
        ASSERT_TRUE(ParseRangeText(c.text, r, sheet)) << c.text;
        EXPECT_EQ(std::tie(r.row, r.column, r.rows, r.columns),
                  std::tie(c.row, c.column, c.rows, c.columns))
            << c.text;
        EXPECT_EQ(sheet, c.sheet) << c.text;
    }
    for (const char* bad : {"", "XFE1", "A0", "A1048577", "1A", "A1:", ":B2", "A1:B2:C3", "!A1",
                            "A1B2", "AAAAAAAAAAAAAAAAAAAAAAAAAA1", "A99999999999999999999"}) {
        SelectionRange r;
        std::string sheet;
        EXPECT_FALSE(ParseRangeText(bad, r, sheet)) << bad;
    }
}

} // namespace
} // namespace sheetlift
