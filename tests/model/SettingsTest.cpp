#include "model/Settings.h"
#include "TempDir.h"
#include "model/Error.h"
#include "model/FileIO.h"
#include "model/Profile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;

class SettingsFile : public test::TempDirTest {
  protected:
    SettingsFile() : TempDirTest("sheetlift-settings-") {}
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        TempDirTest::TearDown();
    }
    fs::path Ini() const { return dir_ / "sheetlift.ini"; }
    void Write(const std::string& text) const { WriteFileAtomic(Ini(), text); }
    // The file as written, with the line ends of Unix: Windows writes CR LF, as its own
    // programs do.
    std::string Read() const {
        std::string text = ReadWholeFile(Ini());
#ifdef _WIN32
        std::erase(text, '\r');
#endif
        return text;
    }
};

const NumberLocale kDot{'.'};
const NumberLocale kComma{','};

TEST_F(SettingsFile, FirstStartLoadsDefaultsAndSavesThem) {
    Settings s;
    s.colXsc = 99;
    LoadSettings(Ini(), s, kDot);
    EXPECT_TRUE(s.cellLineDraw);
    EXPECT_EQ(s.colXsc, 20);
    EXPECT_EQ(s.rowYsc, 3);
    EXPECT_EQ(s.cadXsc, 3);
    EXPECT_EQ(s.cadYsc, 0.43);
    EXPECT_EQ(s.cadTsc, 0.27);
    EXPECT_EQ(s.cadTof, 0.8);
    EXPECT_EQ(s.cellLineColor, 252);
    EXPECT_EQ(s.xlsVerNum, 16);
    SaveSettings(Ini(), s, kDot);
    EXPECT_EQ(Read(), "[Lumentab]\ncolXsc=20\nrowYsc=3\ncadXsc=3\ncadYsc=0.43\ncadTsc=0.27\n"
                      "cadTof=0.8\ncellLineColor=252\ncellLineDraw=1\nxlsVerNum=16\n");
}

TEST_F(SettingsFile, ValuesThatDoNotConvertGiveTheDefaults) {
    struct Case {
        const char* line;
        bool cellLineDraw;
        double cadXsc;
        int xlsVerNum;
    };
    const Case cases[] = {
        {"cellLineDraw=0", false, 3, 16},  {"cellLineDraw=5", true, 3, 16},
        {"cellLineDraw=yes", true, 3, 16}, {"cellLineDraw=", true, 3, 16},
        {"cadXsc=abc", true, 3, 16},       {"cadXsc=", true, 3, 16},
        {"cadXsc=1.5x", true, 3, 16},      {"cadXsc= 2.5 ", true, 2.5, 16},
        {"xlsVerNum=14", true, 3, 14},     {"xlsVerNum=1.5", true, 3, 16},
    };
    for (const Case& c : cases) {
        Write(std::string("[Lumentab]\n") + c.line + "\n");
        Settings s;
        LoadSettings(Ini(), s, kDot);
        EXPECT_EQ(s.cellLineDraw, c.cellLineDraw) << c.line;
        EXPECT_EQ(s.cadXsc, c.cadXsc) << c.line;
        EXPECT_EQ(s.xlsVerNum, c.xlsVerNum) << c.line;
    }
}

TEST_F(SettingsFile, CommaLocaleReadsAndWritesCommas) {
    Write("[Lumentab]\ncadYsc=0,5\ncadTsc=0.25\n");
    Settings s;
    LoadSettings(Ini(), s, kComma);
    EXPECT_EQ(s.cadYsc, 0.5);
    EXPECT_EQ(s.cadTsc, 0.27); // a full stop is not this user's separator
    s.cadTof = 1.25;
    s.cellLineDraw = false;
    SaveSettings(Ini(), s, kComma);
    const std::string text = Read();
    EXPECT_NE(text.find("cadYsc=0,5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("cadTof=1,25\n"), std::string::npos) << text;
    EXPECT_NE(text.find("cellLineDraw=0\n"), std::string::npos) << text;
}

TEST_F(SettingsFile, SavingKeepsOtherSectionsKeysAndComments) {
    Write("; written by hand\n[Other]\nname=value\n\n[Lumentab]\n; scale\ncolXsc=10\n"
          "extra=keep\nxlsVerNum=14\n");
    Settings s;
    LoadSettings(Ini(), s, kDot);
    EXPECT_EQ(s.colXsc, 10);
    SaveSettings(Ini(), s, kDot);
    const std::string text = Read();
    for (const char* kept : {"; written by hand", "[Other]", "name=value", "; scale", "extra=keep",
                             "xlsVerNum=14", "colXsc=10", "cadYsc=0.43"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n" << text;
#ifndef _WIN32 // Windows writes the file its own way
    EXPECT_EQ(text, "; written by hand\n[Other]\nname=value\n\n[Lumentab]\n; scale\ncolXsc=10\n"
                    "extra=keep\nxlsVerNum=14\nrowYsc=3\ncadXsc=3\ncadYsc=0.43\ncadTsc=0.27\n"
                    "cadTof=0.8\ncellLineColor=252\ncellLineDraw=1\n");
#endif
}

TEST_F(SettingsFile, SavedValuesReadBackAsTheSameValues) {
    struct Case {
        double value;
        const char* written;
    };
    const Case cases[] = {
        {0.43, "0.43"},
        {20, "20"},
        {1.7976931348623157e308, "1.7976931348623157E308"}, // 15 digits would overflow
        {0.1 + 0.2, "0.30000000000000004"},
        {1.0 / 3, "0.3333333333333333"},
        {2.5e-5, "2.5E-5"},
        {4.9406564584124654e-324, "4.94065645841247E-324"}, // reads back as the same
    };
    for (const Case& c : cases) {
        Settings s;
        s.colXsc = c.value;
        SaveSettings(Ini(), s, kDot);
        EXPECT_NE(Read().find(std::string("colXsc=") + c.written + "\n"), std::string::npos)
            << Read();
        Settings back;
        LoadSettings(Ini(), back, kDot);
        EXPECT_EQ(back.colXsc, c.value) << c.written;
    }
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsAnErrorNotTheDefaults) {
    fs::create_directory(Ini());
    Settings s;
    try {
        LoadSettings(Ini(), s, kDot);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(DisplayPath(Ini())), std::string::npos) << e.what();
    }
    EXPECT_THROW(SaveSettings(Ini(), s, kDot), Error);
    EXPECT_TRUE(fs::is_directory(Ini()));
}

TEST_F(SettingsFile, DeclareCodepageIsWrittenOnceSetAndReadBack) {
    Settings s;
    SaveSettings(Ini(), s, kDot);
    EXPECT_EQ(Read().find("declareCodepage"), std::string::npos); // never set: the usual keys
    s.declareCodepage = true;
    SaveSettings(Ini(), s, kDot);
    Settings loaded;
    LoadSettings(Ini(), loaded, kDot);
    EXPECT_TRUE(loaded.declareCodepage);
    loaded.declareCodepage = false;
    SaveSettings(Ini(), loaded, kDot);
    EXPECT_NE(Read().find("declareCodepage=0"), std::string::npos);
}

TEST_F(SettingsFile, KeysOfAnotherSectionKeepTheRest) {
    EXPECT_EQ(ProfileFile(Ini()).Get("Window", "left"), std::nullopt); // no file yet
    Write("[Lumentab]\ncolXsc=10\n");
    ProfileFile file(Ini());
    file.Set("Window", "left", "12");
    file.Set("Window", "maximized", "1");
    file.Save();
    EXPECT_EQ(ProfileFile(Ini()).Get("Window", "left"), "12");
    EXPECT_EQ(ProfileFile(Ini()).Get("Window", "top"), std::nullopt);
    EXPECT_EQ(ProfileFile(Ini()).Get("Lumentab", "colXsc"), "10");
    EXPECT_EQ(Read(), "[Lumentab]\ncolXsc=10\n[Window]\nleft=12\nmaximized=1\n");
}

TEST_F(SettingsFile, OldWindowsFilesLoad) {
    // CRLF line ends, a UTF-8 byte-order mark, and another section in the ANSI code page.
    Write("\xEF\xBB\xBF[Lumentab]\r\ncolXsc=12\r\nrowYsc=4\r\n");
    Settings s;
    LoadSettings(Ini(), s, kDot);
    EXPECT_EQ(s.colXsc, 12);
    EXPECT_EQ(s.rowYsc, 4);
    Write("[\x83\x81\x83\x82]\r\n\x96\xBC=\x92\x6C\r\n[Lumentab]\r\ncadXsc=7\r\n");
    LoadSettings(Ini(), s, kDot);
    EXPECT_EQ(s.cadXsc, 7);
    SaveSettings(Ini(), s, kDot);
    EXPECT_NE(Read().find("\x96\xBC=\x92\x6C"), std::string::npos);
}

#ifndef _WIN32 // a Windows folder has no write permission to take away
TEST_F(SettingsFile, UnwritableFolderRaisesAndKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    Write("[Lumentab]\ncolXsc=10\n");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    Settings s;
    try {
        SaveSettings(Ini(), s, kDot);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(Ini().string()), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Permission denied"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Read(), "[Lumentab]\ncolXsc=10\n");
}
#endif

TEST_F(SettingsFile, SaveIntoAMissingFolderNamesTheFileAndTheReason) {
    const fs::path path = dir_ / "missing" / "sheetlift.ini";
    try {
        SaveSettings(path, Settings{}, kDot);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
#ifdef _WIN32 // the reason is worded in the user's language; its code is always there
        const char* reason = "(0x00000003)"; // ERROR_PATH_NOT_FOUND
#else
        const char* reason = "No such file or directory";
#endif
        EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_empty(dir_));
}

} // namespace
} // namespace sheetlift
