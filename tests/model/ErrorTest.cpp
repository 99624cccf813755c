#include "model/Error.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace sheetlift {
namespace {

TEST(ErrorTest, WordsOneErrorInEitherLanguage) {
    const Error e(ErrorCode::SelectionTooLarge, {"3000", "1000", "2000000"});
    EXPECT_EQ(e.code(), ErrorCode::SelectionTooLarge);
    EXPECT_STREQ(e.what(), "The selection of 3000 x 1000 cells is larger than the 2000000 cells "
                           "Sheetlift can take at once");
    EXPECT_EQ(ErrorText(e, Language::English), e.what());
    EXPECT_EQ(ErrorText(e, Language::Japanese),
              "選択範囲 3000 x 1000 セルは、一度に扱える 2000000 セルを超えています");
}

#ifndef _WIN32 // Windows words its reasons itself: Win32SeamsTest_win32.cpp
TEST(ErrorTest, FileErrorsNameTheFileAndTheSystemReason) {
    try {
        ReadWholeFile("/nonexistent/表.xlsx");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::FileOpen);
        EXPECT_EQ(e.systemError(), ENOENT);
        EXPECT_STREQ(e.what(), "Cannot open \"/nonexistent/表.xlsx\": No such file or directory");
        EXPECT_EQ(ErrorText(e, Language::Japanese),
                  "「/nonexistent/表.xlsx」を開けません: ファイルまたはフォルダーがありません");
    }
}
#endif

} // namespace
} // namespace sheetlift
