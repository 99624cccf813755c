// sheetlift-cli: the whole road without a window, for batch work and scripts.
#include "cad/CadBridge.h"
#include "cad/InsertCommand.h"
#include "cli/Arguments.h"
#include "dxf/TableDxf.h"
#include "dxf/TableSvg.h"
#include "excel/ExcelSource.h"
#include "excel/Import.h"
#include "excel/OpenSource.h"
#include "excel/Snapshot.h"
#include "model/AppPaths.h"
#include "model/FileIO.h"
#include "model/Profile.h"
#include "textconv/RangeText.h"
#include "textconv/TextFunctions.h"
#include "textconv/Utf8.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace sheetlift;

namespace {

// Bad usage: exit code 2 with the message and a hint.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Shows "row i / R" on a terminal for imports large enough to take a while.
class ProgressSink : public TextGridSink {
  public:
    explicit ProgressSink(TextGrid& texts) : TextGridSink(texts) {}
    void BeginGrid(int rows, int columns) override {
        TextGridSink::BeginGrid(rows, columns);
        show_ = ::isatty(STDERR_FILENO) && static_cast<long long>(rows) * columns > 5000;
    }
    void Progress(int row, int rows) override {
        if (show_ && (row % 50 == 0 || row == rows))
            std::fprintf(stderr, "\rImporting row %d / %d", row, rows);
    }
    void EndGrid() override {
        if (show_)
            std::fputc('\n', stderr);
    }

  private:
    bool show_ = false;
};

struct SourceArgs {
    std::string input;
    WorkbookOptions workbook;
    bool excel = false;

    void Add(CLI::App& cmd) {
        auto* file = cmd.add_option("INPUT", input, "Workbook (.xlsx, .xlsm) or snapshot (.json)");
        auto* live = cmd.add_flag("--excel", excel,
                                  "Read the selection of the running Excel (Windows) instead");
        file->excludes(live);
        cmd.add_option("--sheet", workbook.sheet, "Sheet to read (default: the active sheet)");
        cmd.add_option("--range", workbook.range,
                       "Range to read, e.g. A1:D9 (default: the saved selection)");
    }

    std::unique_ptr<SelectionSource> Open() const {
        if (excel) {
            if (!workbook.sheet.empty() || !workbook.range.empty())
                throw UsageError("--sheet and --range apply to workbooks, not to --excel");
            return MakeExcelSource();
        }
        if (input.empty())
            throw UsageError("give an INPUT file or --excel");
        const bool snapshot = fs::path(input).extension() == ".json";
        if (snapshot && (!workbook.sheet.empty() || !workbook.range.empty()))
            throw UsageError("--sheet and --range apply to workbooks, not to a snapshot");
        if (!workbook.range.empty()) {
            try {
                ParseRangeText(workbook.range);
            } catch (const Error& e) {
                throw UsageError(std::string("--range: ") + e.what());
            }
        }
        return OpenSelectionFile(fs::u8path(input), workbook);
    }
};

// "B3, C4 and 2 more": the first 20 cells and how many others.
std::string CellList(const std::vector<std::string>& cells) {
    constexpr std::size_t kShown = 20;
    std::string list;
    for (std::size_t k = 0; k < cells.size() && k < kShown; ++k)
        list += (k > 0 ? ", " : "") + cells[k];
    if (cells.size() > kShown)
        list += " and " + std::to_string(cells.size() - kShown) + " more";
    return list;
}

void WarnLostCharacters(const std::vector<std::string>& cells) {
    if (cells.empty())
        return;
    std::cerr << "warning: the texts of " << cells.size()
              << (cells.size() == 1 ? " cell" : " cells")
              << " have characters that the drawing's code page cannot carry; they are written "
                 "as \"?\" or a similar character: "
              << CellList(cells) << "\n";
}

enum class Format { Dxf, Svg };

// --format when given, else the output's extension; DXF unless it says SVG.
Format OutputFormat(const std::string& format, const std::string& output) {
    if (format == "dxf")
        return Format::Dxf;
    if (format == "svg")
        return Format::Svg;
    if (!format.empty())
        throw UsageError("--format: \"" + format + "\" is neither dxf nor svg");
    std::string extension = fs::u8path(output).extension().string();
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".svg" ? Format::Svg : Format::Dxf;
}

// The settings file: the one given, which must exist when `mustExist`, else sheetlift.ini
// beside the program.
fs::path SettingsPath(const std::string& settingsFile, bool mustExist) {
    if (settingsFile.empty())
        return ProgramAppFiles("sheetlift").settings;
    const fs::path path = fs::u8path(settingsFile);
    std::error_code ec;
    if (mustExist && fs::status(path, ec).type() == fs::file_type::not_found)
        throw Error(ErrorCode::FileOpen, {settingsFile}, ENOENT);
    return path;
}

// Writing the output over the input would destroy what is being read: the same file by any
// name (another spelling, a symbolic or a hard link) is refused.
void CheckNotInput(const std::string& output, const SourceArgs& args) {
    std::error_code ec;
    if (!args.input.empty() && fs::equivalent(fs::u8path(output), fs::u8path(args.input), ec))
        throw Error(ErrorCode::OutputIsInput, {output, args.input});
}

int Convert(const SourceArgs& args, std::string output, const std::string& format,
            const std::string& settingsFile, std::optional<bool> cellLines, bool declareCodepage,
            bool insert) {
    if (args.excel && output.empty())
        throw UsageError("--excel needs -o: there is no input file to name the drawing after");
    const Format kind = OutputFormat(format, output);
    if (kind == Format::Svg && (insert || declareCodepage))
        throw UsageError(std::string(insert ? "--insert" : "--declare-codepage") +
                         " applies to DXF output, not to SVG");
    if (output.empty())
        output = DisplayPath(
            fs::u8path(args.input).replace_extension(kind == Format::Svg ? ".svg" : ".dxf"));
    CheckNotInput(output, args);
    Settings settings;
    LoadSettings(SettingsPath(settingsFile, true), settings, {});
    const bool cellLineDraw = cellLines.value_or(settings.cellLineDraw);

    auto source = args.Open();
    CellTable table;
    TextGrid texts;
    ProgressSink sink(texts);
    ImportSelection(*source, sink, table, settings);
    source.reset(); // the table holds the cells now: free the source's copy before drawing

    if (kind == Format::Svg) {
        const SvgResult result =
            WriteTableSvg(table, texts, settings, cellLineDraw, fs::u8path(output));
        WarnLostCharacters(result.lostCells);
    } else {
        const DxfResult result =
            WriteTableDxf(table, texts, settings, cellLineDraw, fs::u8path(output),
                          DxfOptions{declareCodepage || settings.declareCodepage});
        for (const std::string& warning : result.warnings)
            std::cerr << "warning: " << warning << "\n";
        WarnLostCharacters(result.lostCells);
    }
    std::cout << "Wrote " << output << " (" << table.cellRows << " x " << table.cellCols
              << " cells)\n";
    if (insert)
        InsertDxfIntoCad(fs::u8path(output));
    return 0;
}

int Snapshot(const SourceArgs& args, const std::string& output) {
    CheckNotInput(output, args);
    auto source = args.Open();
    WriteFileAtomic(fs::u8path(output), SnapshotJson(*source));
    return 0;
}

// Prints the settings, or changes the given ones (all checked before any is written).
int SettingsCommand(const std::string& settingsFile, const std::vector<std::string>& changes) {
    const fs::path path = SettingsPath(settingsFile, changes.empty());
    if (changes.empty()) {
        Settings settings;
        LoadSettings(path, settings, {});
        for (const auto& [key, value] : SettingsTexts(settings, {}))
            std::cout << key << "=" << value << "\n";
        return 0;
    }
    std::vector<std::pair<std::string, std::string>> values;
    for (const std::string& change : changes) {
        const std::size_t eq = change.find('=');
        if (eq == std::string::npos)
            throw UsageError("\"" + change + "\": give each setting as KEY=VALUE");
        values.push_back(SettingText(change.substr(0, eq), change.substr(eq + 1), {}));
    }
    ProfileFile file(path);
    for (const auto& [key, value] : values)
        file.Set(kSettingsSection, key, value);
    file.Save();
    return 0;
}

int Text(const std::string& mode, const std::vector<std::string>& words) {
    static const std::map<std::string, TextRoutine> kModes = {
        {"full", ToFullWidth},          {"full-nonnumeric", ToFullWidthUnlessNumeric},
        {"kana", HalfKanaToFull},       {"half", ToHalfWidth},
        {"digits", FullDigitsToHalf},   {"alpha", FullAlphaToHalf},
        {"symbols", FullSymbolsToHalf},
    };
    const auto it = kModes.find(mode);
    if (it == kModes.end())
        throw UsageError("unknown mode \"" + mode +
                         "\" (full, full-nonnumeric, kana, half, digits, alpha, symbols)");
    if (words.size() > 1)
        throw UsageError("give the text as one argument (quote it) or on standard input");
    if (!words.empty()) {
        if (!IsValidUtf8(words[0]))
            throw Error(ErrorCode::TextNotUtf8);
        std::cout << it->second(words[0]) << "\n";
        return 0;
    }
    const std::string input((std::istreambuf_iterator<char>(std::cin)),
                            std::istreambuf_iterator<char>());
    if (!IsValidUtf8(input))
        throw Error(ErrorCode::StandardInputNotUtf8);
    std::cout << it->second(input);
    return 0;
}

int InsertCommandText(const std::string& path, const std::string& x, const std::string& y) {
    const auto px = ParseNumber(x);
    const auto py = ParseNumber(y);
    if (!px || !py)
        throw UsageError("X and Y must be numbers with a full stop as decimal separator");
    std::string command = BuildInsertCommand(path, *px, *py);
    std::string shown;
    for (char c : command)
        shown += c == '\r' ? std::string("\\r") : std::string(1, c);
    std::cout << shown << "\n";
    return 0;
}

int BadUsage(const char* message) {
    std::cerr << "sheetlift-cli: " << message << "\nRun with --help for usage.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Sheetlift: turns a spreadsheet selection into an R12 DXF table drawing.",
                 "sheetlift-cli"};
    app.set_version_flag("--version", "sheetlift-cli " SHEETLIFT_VERSION);
    app.require_subcommand(1);
    app.allow_windows_style_options(false); // on Windows too, "/x" is a path, never an option

    SourceArgs convertArgs;
    std::string output;
    std::string settingsFile;
    bool cellLinesOn = false;
    bool cellLinesOff = false;
    bool declareCodepage = false;
    std::string format;
    CLI::App* convert =
        app.add_subcommand("convert", "Convert a workbook or snapshot to DXF (or SVG)");
    convertArgs.Add(*convert);
    auto* convertOut = convert->add_option(
        "-o,--output", output, "Drawing file; .svg writes a picture (default: INPUT with .dxf)");
    convert->add_option("--format", format, "dxf or svg (default: by the output's extension)");
    auto* convertSettings =
        convert->add_option("--settings", settingsFile,
                            "Settings file (default: sheetlift.ini beside the program, or in "
                            "~/.config/sheetlift when its folder is not writable, if any)");
    auto* on = convert->add_flag("--cell-lines", cellLinesOn, "Draw the cell lines");
    auto* off = convert->add_flag("--no-cell-lines", cellLinesOff, "Do not draw the cell lines");
    on->excludes(off);
    bool insert = false;
    convert->add_flag("--insert", insert,
                      "Insert the drawing into the running IJCAD 2023 at a point picked there "
                      "(Windows)");
    convert->add_flag("--declare-codepage", declareCodepage,
                      "Declare the Japanese code page ($DWGCODEPAGE ANSI_932) in the header");

    SourceArgs snapshotArgs;
    std::string snapshotOut;
    CLI::App* snapshot = app.add_subcommand("snapshot", "Record a selection as JSON");
    snapshotArgs.Add(*snapshot);
    auto* snapshotOutOption =
        snapshot->add_option("-o,--output", snapshotOut, "Snapshot file (.json)")->required();

    std::string settingsOnly;
    std::vector<std::string> changes;
    CLI::App* settingsCmd =
        app.add_subcommand("settings", "Print the settings, or change some of them");
    auto* settingsOnlyOption = settingsCmd->add_option("--settings", settingsOnly,
                                                       "Settings file (default: as for convert)");
    settingsCmd->add_option("KEY=VALUE", changes,
                            "Settings to change (the file is created when missing)");

    std::string mode;
    std::vector<std::string> words;
    CLI::App* text = app.add_subcommand("text", "Convert text between half and full width");
    text->add_option("MODE", mode, "full, full-nonnumeric, kana, half, digits, alpha or symbols")
        ->required();
    text->add_option("TEXT", words, "Text to convert (default: standard input)");

    std::string dxfPath, x, y;
    CLI::App* insertCommand = app.add_subcommand("insert-command", "Print the CAD insert command");
    insertCommand->add_option("DXFPATH", dxfPath)->required();
    insertCommand->add_option("X", x)->required();
    insertCommand->add_option("Y", y)->required();

    try {
        std::vector<std::string> args = Utf8Arguments(argc, argv);
        std::vector<char*> pointers;
        for (std::string& arg : args)
            pointers.push_back(arg.data());
        app.parse(int(pointers.size()), pointers.data());
        // An empty name given on purpose is a mistake, not a request for the default.
        for (const auto& [option, value] : {std::pair{convertOut, &output},
                                            {convertSettings, &settingsFile},
                                            {snapshotOutOption, &snapshotOut},
                                            {settingsOnlyOption, &settingsOnly}})
            if (option->count() > 0 && value->empty())
                throw UsageError(option->get_name() + ": the file name is empty");
        if (convert->parsed())
            return Convert(convertArgs, output, format, settingsFile,
                           cellLinesOn    ? std::optional<bool>(true)
                           : cellLinesOff ? std::optional<bool>(false)
                                          : std::nullopt,
                           declareCodepage, insert);
        if (snapshot->parsed())
            return Snapshot(snapshotArgs, snapshotOut);
        if (settingsCmd->parsed())
            return SettingsCommand(settingsOnly, changes);
        if (text->parsed())
            return Text(mode, words);
        return InsertCommandText(dxfPath, x, y);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return BadUsage(e.what());
    } catch (const UsageError& e) {
        return BadUsage(e.what());
    } catch (const AttachError& e) {
        std::cerr << "sheetlift-cli: cannot read the selection: " << e.progId()
                  << " is not running\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "sheetlift-cli: " << e.what() << "\n";
        return 1;
    }
}
