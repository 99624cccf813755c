#include "model/AppPaths.h"

#include "model/FileIO.h"

#include <gtest/gtest.h>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;

TEST(AppPaths, BesideAWritableProgramFolderElseTheUsersFolders) {
    const UserFolders user{"/home/u/.config", "/home/u/.local/share"};
    struct Case {
        bool writable;
        const char* settings;
        const char* drawing;
    } cases[] = {
        {true, "/opt/sheetlift/sheetlift.ini", "/opt/sheetlift/sheetlift.dxf"},
        {false, "/home/u/.config/sheetlift/sheetlift.ini",
         "/home/u/.local/share/sheetlift/sheetlift.dxf"},
    };
    for (const Case& c : cases) {
        const AppFiles files = LocateAppFiles("/opt/sheetlift", "sheetlift", c.writable, user);
        EXPECT_EQ(files.settings, fs::path(c.settings)) << c.writable;
        EXPECT_EQ(files.drawing, fs::path(c.drawing)) << c.writable;
    }
    // Beside the program the files carry its name, a dotted one included.
    EXPECT_EQ(LocateAppFiles("/t", "test.app", true, user).settings, fs::path("/t/test.app.ini"));
}

TEST(AppPaths, XdgFoldersFallBackToHomeWhenUnsetEmptyOrRelative) {
    struct Case {
        const char* configHome;
        const char* dataHome;
        const char* config;
        const char* data;
    } cases[] = {
        {nullptr, nullptr, "/h/.config", "/h/.local/share"},
        {"/x/conf", "/x/data", "/x/conf", "/x/data"},
        {"", "", "/h/.config", "/h/.local/share"},
        {"rel/conf", "./data", "/h/.config", "/h/.local/share"},
    };
    for (const Case& c : cases) {
        const UserFolders user = XdgUserFolders(c.configHome, c.dataHome, "/h");
        EXPECT_EQ(user.config, fs::path(c.config)) << (c.configHome ? c.configHome : "unset");
        EXPECT_EQ(user.data, fs::path(c.data)) << (c.dataHome ? c.dataHome : "unset");
    }
}

TEST(AppPaths, ThisTestProgramKeepsItsFilesInItsBuildFolder) {
    const fs::path folder = ExecutablePath().parent_path();
    ASSERT_TRUE(IsWritableFolder(folder));
    EXPECT_FALSE(IsWritableFolder(folder / "no such folder"));
    const AppFiles files = ProgramAppFiles("sheetlift");
    EXPECT_EQ(files.settings, folder / "sheetlift.ini");
    EXPECT_EQ(files.drawing, folder / "sheetlift.dxf");
}

} // namespace
} // namespace sheetlift
