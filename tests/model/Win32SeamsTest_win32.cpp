// The Win32 seams of the model: user locale numbers and UTF-16 file names.
#include "TempDir.h"
#include "model/Error.h"
#include "model/FileIO.h"
#include "model/UserLocale.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;

// Sets the user's decimal separator for one test and puts the old one back.
class UserDecimal {
  public:
    explicit UserDecimal(const wchar_t* separator) {
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old_, 8);
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator);
    }
    ~UserDecimal() { SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old_); }

  private:
    wchar_t old_[8] = {};
};

TEST(UserNumberLocale, FollowsTheUsersDecimalSeparator) {
    EXPECT_EQ(UserNumberLocale().decimalSeparator, '.'); // Japanese default
    {
        UserDecimal comma(L",");
        EXPECT_EQ(UserNumberLocale().decimalSeparator, ',');
    }
    {
        UserDecimal unusable(L"\u066B"); // not one byte: numbers keep the full stop
        EXPECT_EQ(UserNumberLocale().decimalSeparator, '.');
    }
    EXPECT_EQ(UserNumberLocale().decimalSeparator, '.');
}

TEST(ExecutablePath, IsThisProgramsFile) {
    const auto path = ExecutablePath();
    EXPECT_TRUE(path.is_absolute()) << path;
    EXPECT_EQ(path.filename(), "test_model.exe");
}

class Win32Files : public test::TempDirTest {
  protected:
    Win32Files() : TempDirTest(L"sheetlift-表計算-") {}
};

TEST_F(Win32Files, JapaneseNamesRoundTripAndReplaceAtomically) {
    const fs::path file = dir_ / L"図面 ①.dxf";
    WriteFileAtomic(file, "first");
    WriteFileAtomic(file, std::string("second\0\r\n", 9));
    EXPECT_EQ(ReadWholeFile(file), std::string("second\0\r\n", 9));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    EXPECT_TRUE(DisplayPath(file).ends_with("\\図面 ①.dxf")) << DisplayPath(file);
}

TEST_F(Win32Files, FailuresNameTheFileAndKeepTheOldOne) {
    const fs::path file = dir_ / L"設定.ini";
    WriteFileAtomic(file, "old");
    // A file held open without sharing cannot be replaced (as when another program has it).
    HANDLE lock = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        WriteFileAtomic(file, "new");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("設定.ini\""), std::string::npos) << e.what();
    }
    CloseHandle(lock);
    EXPECT_EQ(ReadWholeFile(file), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

    try {
        ReadWholeFile(dir_ / L"無い.ini");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("無い.ini\": "), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("(0x00000002)"), std::string::npos) << e.what();
    }
}

TEST_F(Win32Files, NonRegularTargetsAreRefusedAndLeftAlone) {
    fs::create_directory(dir_ / L"フォルダー");
    for (const fs::path& target :
         {dir_ / L"フォルダー", fs::path(L"NUL"), fs::path(L"\\\\.\\NUL")}) {
        try {
            WriteFileAtomic(target, "data");
            ADD_FAILURE() << target << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.code(), ErrorCode::NotRegularFile) << e.what();
        }
    }
    EXPECT_TRUE(fs::is_directory(dir_ / L"フォルダー"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(Win32Files, ReplacedFilesKeepTheirAttributesAndUncommittedWritesLeaveNothing) {
    const fs::path file = dir_ / L"設定.ini";
    WriteFileAtomic(file, "old");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    WriteFileAtomic(file, "new");
    EXPECT_EQ(ReadWholeFile(file), "new");
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    {
        SafeFileWriter writer(file);
        writer.Write(std::string(300000, 'x'));
    }
    {
        SafeFileWriter writer(dir_ / L"新規.dxf");
        writer.Write("x");
    }
    EXPECT_EQ(ReadWholeFile(file), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

} // namespace
} // namespace sheetlift
