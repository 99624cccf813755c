#include "TempDir.h"
#include "dxf/TableDxf.h"
#include "excel/Import.h"
#include "excel/Snapshot.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace sheetlift {
namespace {

namespace fs = std::filesystem;

const fs::path kData = SHEETLIFT_TEST_DATA;

struct Result {
    int code;
    std::string out;
    std::string err;
};

// Runs the CLI through the shell with the given arguments (already quoted) and stdin text.
Result RunCli(const std::string& args, const std::string& input = "") {
    const fs::path dir = fs::temp_directory_path();
    const fs::path in = dir / ("cli-in-" + std::to_string(::getpid()));
    const fs::path out = dir / ("cli-out-" + std::to_string(::getpid()));
    const fs::path err = dir / ("cli-err-" + std::to_string(::getpid()));
    WriteFileAtomic(in, input);
    const std::string command = std::string("'") + SHEETLIFT_CLI + "' " + args + " <'" +
                                in.string() + "' >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(out), ReadWholeFile(err)};
    fs::remove(in);
    fs::remove(out);
    fs::remove(err);
    return r;
}

class Cli : public test::TempDirTest {
  protected:
    Cli() : TempDirTest("sheetlift-cli-") {}
    std::string Q(const fs::path& p) const { return "'" + p.string() + "'"; }
};

// The DXF the export routine writes for the snapshot's table, for comparison with the CLI's.
std::string ExpectedDxf(const fs::path& snapshot, bool cellLines, bool declareCodepage) {
    auto source = OpenSnapshotSource(snapshot);
    CellTable table;
    TextGrid texts;
    TextGridSink sink(texts);
    ImportSelection(*source, sink, table, Settings{});
    return BuildTableDxf(table, texts, Settings{}, cellLines, DxfOptions{declareCodepage});
}

TEST_F(Cli, ConvertWritesWhatTheExportRoutineWrites) {
    const fs::path snap = dir_ / "parts.json";
    fs::copy_file(kData / "snapshots" / "parts-list.json", snap);
    Result r = RunCli("convert " + Q(snap));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir_ / "parts.dxf"), ExpectedDxf(snap, true, false));

    r = RunCli("convert " + Q(snap) + " -o " + Q(dir_ / "x.dxf") +
               " --no-cell-lines --declare-codepage");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir_ / "x.dxf"), ExpectedDxf(snap, false, true));

    // Settings from a file, with the cell lines switched off there and on by the flag.
    WriteFileAtomic(dir_ / "s.ini", "[Lumentab]\ncellLineDraw=0\n");
    r = RunCli("convert " + Q(snap) + " -o " + Q(dir_ / "y.dxf") + " --settings " +
               Q(dir_ / "s.ini"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir_ / "y.dxf"), ExpectedDxf(snap, false, false));
    r = RunCli("convert " + Q(snap) + " -o " + Q(dir_ / "y.dxf") + " --settings " +
               Q(dir_ / "s.ini") + " --cell-lines");
    EXPECT_EQ(ReadWholeFile(dir_ / "y.dxf"), ExpectedDxf(snap, true, false));
    // The code page declared by the settings file as by the flag.
    WriteFileAtomic(dir_ / "s.ini", "[Lumentab]\ndeclareCodepage=1\n");
    r = RunCli("convert " + Q(snap) + " -o " + Q(dir_ / "y.dxf") + " --settings " +
               Q(dir_ / "s.ini"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir_ / "y.dxf"), ExpectedDxf(snap, true, true));
}

TEST_F(Cli, PictureByExtensionOrFormat) {
    const fs::path snap = kData / "snapshots" / "parts-list.json";
    const struct {
        std::string args;
        const char* file;
        bool svg;
    } cases[] = {
        {" -o " + Q(dir_ / "a.svg"), "a.svg", true},
        {" -o " + Q(dir_ / "b.SVG"), "b.SVG", true},
        {" -o " + Q(dir_ / "c.picture") + " --format svg", "c.picture", true},
        {" -o " + Q(dir_ / "d.svg") + " --format dxf", "d.svg", false},
    };
    for (const auto& c : cases) {
        const Result r = RunCli("convert " + Q(snap) + c.args);
        ASSERT_EQ(r.code, 0) << c.args << r.err;
        const std::string bytes = ReadWholeFile(dir_ / c.file);
        EXPECT_EQ(bytes.starts_with("<?xml"), c.svg) << c.args;
        if (!c.svg) {
            EXPECT_EQ(bytes, ExpectedDxf(snap, true, false)) << c.args;
        }
    }
    for (const char* bad : {" --format pdf", " -o x.svg --insert", " -o x.svg --declare-codepage"})
        EXPECT_EQ(RunCli("convert " + Q(snap) + bad).code, 2) << bad;
}

// The drawing is written, and the cells whose texts lost characters are named.
TEST_F(Cli, WarnsOfCharactersTheCodePageCannotCarry) {
    std::string json = R"({"format":"sheetlift-selection","version":1,"workbook":"B","sheet":"S",)"
                       R"("row":3,"column":2,"rows":1,"columns":23,"cells":[)";
    for (int k = 0; k < 23; ++k)
        json += std::string(k ? "," : "") + R"({"columnWidth":8,"rowHeight":15,"fontSize":11,)" +
                R"("horizontalAlignment":1,"text":")" + (k == 1 ? "ok" : "\u2014") +
                R"(","value2":"","borders":{},"mergeCells":false,)" +
                R"("mergeArea":{"rows":1,"columns":1,"left":0,"top":0}})";
    json += "]}";
    WriteFileAtomic(dir_ / "dash.json", json);
    for (const char* output : {"dash.dxf", "dash.svg"}) {
        const Result r = RunCli("convert " + Q(dir_ / "dash.json") + " -o " + Q(dir_ / output));
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_TRUE(fs::exists(dir_ / output));
        EXPECT_NE(r.err.find("warning: the texts of 22 cells have characters"), std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find(": B3, D3, E3,"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(", V3 and 2 more\n"), std::string::npos) << r.err;
    }
}

TEST_F(Cli, SnapshotOfASnapshotIsTheSameSelection) {
    const fs::path snap = kData / "snapshots" / "parts-list.json";
    const Result r = RunCli("snapshot " + Q(snap) + " -o " + Q(dir_ / "again.json"));
    ASSERT_EQ(r.code, 0) << r.err;
    auto original = OpenSnapshotSource(snap);
    auto again = OpenSnapshotSource(dir_ / "again.json");
    EXPECT_EQ(SnapshotJson(*again), SnapshotJson(*original));
}

TEST_F(Cli, FailuresExplainThemselvesAndLeaveNoFile) {
    WriteFileAtomic(dir_ / "bad.json", "{\"format\":\"sheetlift-selection\"");
    WriteFileAtomic(dir_ / "x.txt", "hello");
    const std::pair<std::string, std::string> cases[] = {
        {"convert " + Q(dir_ / "missing.json"), "missing.json"},
        {"convert " + Q(dir_ / "bad.json"), "bad.json: not valid JSON"},
        {"convert " + Q(dir_ / "x.txt"), "unknown kind of file"},
        {"convert " + Q(kData / "snapshots" / "parts-list.json") + " -o " +
             Q(dir_ / "no" / "such" / "out.dxf"),
         "No such file or directory"},
        {"convert " + Q(kData / "snapshots" / "parts-list.json") + " --settings " +
             Q(dir_ / "none.ini") + " -o " + Q(dir_ / "o.dxf"),
         "none.ini"},
        {"text half \"$(printf '\\377')\"", "not valid UTF-8"},
        {"convert --excel -o " + Q(dir_ / "live.dxf"), "Excel.Application is not running"},
    };
    for (const auto& [args, message] : cases) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.code, 1) << args << "\n" << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_NE(entry.path().extension(), ".dxf") << entry.path();
    EXPECT_EQ(RunCli("text half", "\xff").code, 1);
}

TEST_F(Cli, BadUsageExitsWithTwo) {
    const std::string snap = Q(kData / "snapshots" / "parts-list.json");
    const std::vector<std::string> usage = {"",
                                            "frobnicate",
                                            "convert",
                                            "convert " + snap + " --sheet S",
                                            "convert " + snap + " --cell-lines --no-cell-lines",
                                            "snapshot " + snap,
                                            "convert x.xlsx --range XFE1",
                                            "convert x.xlsx --range A0:B2",
                                            "text sideways abc",
                                            "insert-command a.dxf 1,5 2",
                                            "convert --excel",
                                            "convert " + snap + " --excel",
                                            "snapshot --excel --range A1 -o x.json",
                                            "convert " + snap + " -o ''",
                                            "convert " + snap + " --settings ''",
                                            "snapshot " + snap + " -o ''",
                                            "settings --settings ''",
                                            "settings cadXsc"};
    for (const std::string& args : usage) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.code, 2) << args << "\n" << r.err;
        EXPECT_FALSE(r.err.empty()) << args;
    }
    EXPECT_EQ(RunCli("--help").code, 0);
    const Result v = RunCli("--version");
    EXPECT_EQ(v.code, 0);
    EXPECT_NE(v.out.find("2023.02.11"), std::string::npos) << v.out;
}

TEST_F(Cli, TextModesAndInsertCommand) {
    EXPECT_EQ(RunCli("text digits '２０２３年'").out, "2023年\n");
    EXPECT_EQ(RunCli("text kana", "ｶﾞｲﾄﾞ\n").out, "ガイド\n"); // stdin: nothing added
    EXPECT_EQ(RunCli("text full-nonnumeric 1,234.5").out, "1,234.5\n");
    EXPECT_EQ(RunCli("text symbols '（Ａ｜Ｂ）'").out, "(ＡlＢ)\n");
    EXPECT_EQ(RunCli("insert-command 'D:\\Work\\app.dxf' 123.4567 -35.25").out,
              "-INSERT\\r\"*D:\\Work\\app.dxf\"\\r123.457,-35.250\\rS 1 R 0 \n");
}

TEST_F(Cli, RefusesToWriteOverItsInput) {
    const fs::path book = dir_ / "book.xlsx";
    fs::copy_file(kData / "libreoffice-parts.xlsx", book);
    const fs::path snap = dir_ / "sel.json";
    fs::copy_file(kData / "snapshots" / "parts-list.json", snap);
    fs::create_symlink("book.xlsx", dir_ / "link.xlsx");
    fs::create_hard_link(snap, dir_ / "hard.json");
    fs::create_directory(dir_ / "sub");
    const std::string bookBytes = ReadWholeFile(book), snapBytes = ReadWholeFile(snap);
    const struct {
        std::string args, output, input;
    } cases[] = {
        {"convert " + Q(book) + " -o " + Q(book), book.string(), book.string()},
        {"convert " + Q(book) + " -o " + Q(dir_ / "sub" / ".." / "book.xlsx"),
         (dir_ / "sub" / ".." / "book.xlsx").string(), book.string()},
        {"convert " + Q(book) + " -o " + Q(dir_ / "link.xlsx"), (dir_ / "link.xlsx").string(),
         book.string()},
        {"convert " + Q(snap) + " -o " + Q(dir_ / "hard.json"), (dir_ / "hard.json").string(),
         snap.string()},
        {"snapshot " + Q(snap) + " -o " + Q(snap), snap.string(), snap.string()},
        {"snapshot " + Q(book) + " -o " + Q(dir_ / "link.xlsx"), (dir_ / "link.xlsx").string(),
         book.string()},
    };
    for (const auto& c : cases) {
        const Result r = RunCli(c.args);
        EXPECT_EQ(r.code, 1) << c.args;
        EXPECT_EQ(r.err, "sheetlift-cli: Will not write \"" + c.output +
                             "\": it is the input file \"" + c.input + "\", which would be lost\n");
    }
    EXPECT_EQ(ReadWholeFile(book), bookBytes);
    EXPECT_EQ(ReadWholeFile(snap), snapBytes);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.xlsx"));
}

TEST_F(Cli, SettingsPrintsAndChangesTheFile) {
    const fs::path ini = dir_ / "s.ini";
    Result r = RunCli("settings --settings " + Q(ini));
    EXPECT_EQ(r.code, 1); // a file named on purpose must be there
    EXPECT_NE(r.err.find("s.ini\": No such file or directory"), std::string::npos) << r.err;

    // Created when missing; names in any case; values written as the file reads them back.
    r = RunCli("settings --settings " + Q(ini) + " cadxsc=1.50 cellLineDraw=0 " +
               "colXsc=1.7976931348623157e308 declarecodepage=7");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(ini), "[Lumentab]\ncadXsc=1.5\ncellLineDraw=0\n"
                                  "colXsc=1.7976931348623157E308\ndeclareCodepage=1\n");
    r = RunCli("settings --settings " + Q(ini));
    EXPECT_EQ(r.out, "colXsc=1.7976931348623157E308\nrowYsc=3\ncadXsc=1.5\ncadYsc=0.43\n"
                     "cadTsc=0.27\ncadTof=0.8\ncellLineColor=252\ncellLineDraw=0\nxlsVerNum=16\n"
                     "declareCodepage=1\n");

    // Only the given keys change, in place; the rest of the file stays byte for byte.
    WriteFileAtomic(ini,
                    "\xEF\xBB\xBF; mine\r\n[lumentab]\r\nCADXSC=2\r\nodd\r\n[Other]\r\nx=1\r\n");
    r = RunCli("settings --settings " + Q(ini) + " cadXsc=4 rowYsc=5");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(ini), "\xEF\xBB\xBF; mine\r\n[lumentab]\r\nCADXSC=4\r\nodd\r\n"
                                  "rowYsc=5\r\n[Other]\r\nx=1\r\n");

    // Refused before anything is written.
    const std::string before = ReadWholeFile(ini);
    const std::pair<std::string, std::string> refused[] = {
        {"cadXsc=5 bogus=1", "Unknown setting \"bogus\""},
        {"cadXsc=abc", "The setting cadXsc takes a number, not \"abc\""},
        {"cadXsc=1,5", "takes a number"},
        {"xlsVerNum=1.5", "The setting xlsVerNum takes a whole number, not \"1.5\""},
        {"cellLineDraw=yes", "takes a whole number"},
    };
    for (const auto& [args, message] : refused) {
        r = RunCli("settings --settings " + Q(ini) + " " + args);
        EXPECT_EQ(r.code, 1) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadWholeFile(ini), before);
    EXPECT_EQ(RunCli("settings --settings " + Q(dir_ / "new.ini")).code, 1);
}

TEST_F(Cli, ASettingsFileThatCannotBeReadIsAnError) {
    fs::create_directory(dir_ / "folder.ini");
    const std::string snap = Q(kData / "snapshots" / "parts-list.json");
    for (const std::string& args :
         {"convert " + snap + " -o " + Q(dir_ / "o.dxf") + " --settings " + Q(dir_ / "folder.ini"),
          "settings --settings " + Q(dir_ / "folder.ini"),
          "settings --settings " + Q(dir_ / "folder.ini") + " cadXsc=1"}) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.code, 1) << args;
        EXPECT_NE(r.err.find("folder.ini\": Is a directory"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir_ / "o.dxf"));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.ini"));
}

} // namespace
} // namespace sheetlift
