// The window sets the C library's locale from the user's, and many users write numbers with a
// decimal comma. Numbers in workbooks and drawings must not follow it: under such a locale the
// workbooks give the same texts and the same drawing bytes.
#include "dxf/TableDxf.h"
#include "excel/CellFormat.h"
#include "excel/Import.h"
#include "excel/OpenSource.h"
#include "excel/Snapshot.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;

const fs::path kData = SHEETLIFT_TEST_DATA;

class CommaLocale : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        const std::string previous = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, kLocale)) {
            // Not installed: make it, as the Wine runs make theirs.
            made_ = fs::temp_directory_path() / ("sheetlift-locale-" + std::to_string(::getpid()));
            fs::create_directories(made_);
            const std::string command =
                "localedef -i de_DE -f UTF-8 '" + (made_ / kLocale).string() + "' >/dev/null 2>&1";
            if (std::system(command.c_str()) == 0)
                ::setenv("LOCPATH", made_.c_str(), 1);
        }
        std::setlocale(LC_ALL, previous.c_str());
    }
    static void TearDownTestSuite() {
        if (!made_.empty()) {
            ::unsetenv("LOCPATH");
            std::error_code ec;
            fs::remove_all(made_, ec);
        }
    }
    void SetUp() override {
        previous_ = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, kLocale))
            GTEST_SKIP() << "the locale " << kLocale << " cannot be made here (localedef)";
        ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    }
    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

  private:
    static constexpr const char* kLocale = "de_DE.UTF-8";
    static inline fs::path made_;
    std::string previous_;
};

TEST_F(CommaLocale, NumbersShowAsInEveryOtherLocale) {
    EXPECT_EQ(FormatNumber(123456789012, ""), "1.23457E+11");
    EXPECT_EQ(FormatNumber(0.000012345678, "General"), "1.23457E-05");
    EXPECT_EQ(FormatNumber(-1234567.891, "#,##0.00"), "-1,234,567.89");
    EXPECT_EQ(FormatNumber(0.000011574, "mm:ss.0"), "00:01.0");
    const auto serial = SerialFromIsoDate("2023-02-11T12:00:00.5");
    ASSERT_TRUE(serial);
    EXPECT_NEAR(*serial, 44968.5 + 0.5 / 86400, 1e-9);
}

TEST_F(CommaLocale, WorkbooksGiveTheirPinnedSnapshotAndDrawing) {
    const fs::path workbooks[] = {kData / "openpyxl-styles.xlsx", kData / "xlsxwriter-parts.xlsx",
                                  kData / "gnumeric-parts.xlsx"};
    for (const fs::path& input : workbooks) {
        const std::string name = input.stem().string();
        SCOPED_TRACE(name);
        auto source = OpenSelectionFile(input, {});
        EXPECT_EQ(SnapshotJson(*source), ReadWholeFile(kData / "expected" / (name + ".json")));
        CellTable table;
        TextGrid texts;
        TextGridSink sink(texts);
        ImportSelection(*source, sink, table, Settings{});
        EXPECT_EQ(BuildTableDxf(table, texts, Settings{}, true, {}),
                  ReadWholeFile(kData / "expected" / (name + ".dxf")));
    }
}

} // namespace
} // namespace sheetlift
