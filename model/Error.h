// The one error type. It carries what went wrong as a code with its details (the values the
// message names, the system's error number), so that each front end words it in its own language:
// what() is the English text that the command line prints, ErrorText(e, Language::Japanese) the
// window's. Every code has its text in both languages in model/ErrorText.cpp.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace sheetlift {

// The texts name args()[0] as {1}, args()[1] as {2}, ... and the system's reason as {reason}.
enum class ErrorCode {
    // Files: {1} the file.
    FileOpen,
    FileRead,
    FileWrite,
    ExecutablePath, // the program's own file, no {1}
    NotRegularFile, // {1} the file that exists and is not a regular file
    OutputIsInput,  // {1} the output, {2} the input it resolves to
    // Sources: {1} the file or the program identifier.
    NotRunning,          // {1} the automation server's program identifier
    Automation,          // {1} the member or call that failed
    SnapshotWithRange,   // {1} the snapshot
    UnknownInputKind,    // {1} the file
    SelectionNotOnSheet, // {1} row, {2} column, {3} rows, {4} columns
    SelectionTooLarge,   // {1} rows, {2} columns, {3} the cap
    // Snapshots: {1} the snapshot; {2} the place in it ("cells[12].rowHeight") unless told.
    SnapshotNotJson,             // {2} the parser's account
    SnapshotNotObject,           // no place
    SnapshotNotSnapshot,         // no place
    SnapshotVersion,             // no place
    SnapshotExpectedNumber,      //
    SnapshotExpectedWholeNumber, // {3} the least, {4} the greatest
    SnapshotExpectedText,        //
    SnapshotExpectedBoolean,     //
    SnapshotExpectedValue,       // value2
    SnapshotExpectedObject,      //
    SnapshotExpectedArray,       //
    SnapshotMissing,             // {2} the object, {3} the missing member
    SnapshotMissingHeader,       // {2} the missing member of the header
    SnapshotNumberTooLarge,      // {3} the number as written
    SnapshotTextTooLong,         //
    SnapshotCellCount,           // {2} cells given, {3} rows x columns
    SnapshotTooManyCells,        // {2} rows x columns
    SnapshotCellsOverCap,        // {2} the cap
    SnapshotSelectionNotOnSheet, // {2} row, {3} column, {4} rows, {5} columns
    SnapshotSelectionTooLarge,   // {2} rows, {3} columns, {4} the cap
    SnapshotCellNotRecorded,     // {2} the cell's address
    // Workbooks: {1} the workbook; {2} the part ("xl/worksheets/sheet1.xml") unless told.
    WorkbookEncrypted,           // no part
    WorkbookLegacyXls,           // no part
    WorkbookNotZip,              // {2} libzip's reason
    WorkbookNoWorkbookPart,      //
    WorkbookNoSheetPart,         //
    WorkbookPartUnreadable,      // {3} libzip's reason
    WorkbookPartEncrypted,       //
    WorkbookPartDamaged,         // {3} libzip's reason
    WorkbookPartTooLarge,        //
    WorkbookTooLargeInAll,       //
    WorkbookPartRatio,           //
    WorkbookPartNotXml,          // {3} pugixml's reason, {4} the byte
    WorkbookPartNotWorkbook,     //
    WorkbookBadRange,            // {2} what is wrong with the range
    WorkbookRangeOtherSheet,     // {2} the sheet of the range, {3} the sheet asked for
    WorkbookNoSheets,            // no part
    WorkbookNoSuchSheet,         // {2} the sheet asked for, {3} the sheets there are
    WorkbookSheetPartMissing,    // {2} the sheet
    WorkbookChartSheet,          // {2} the sheet
    WorkbookNotWorksheet,        // {2} the sheet, {3} its kind as the file names it
    WorkbookTextTooLong,         //
    WorkbookColumnRange,         // {3} first, {4} last column
    WorkbookSharedStringMissing, // {3} the cell
    WorkbookSheetSizePastLimits, // {3} what is wrong with it
    WorkbookRowPastLimit,        // {3} the row
    WorkbookCellOutOfPlace,      // {3} the cell's reference, {4} the row
    WorkbookCellPastColumns,     // {3} the row
    WorkbookBadMerge,            // {3} what is wrong with it
    WorkbookBadSavedSelection,   // {2} the sheet, {3} what is wrong with it
    WorkbookSelectionTooLarge,   // {2} rows, {3} columns, {4} the cap
    WorkbookNotOneCell,          // {1} the address asked for, {2} the workbook
    WorkbookBadCellAddress,      // {1} the address, {2} the workbook, {3} what is wrong
    // Values typed by the user or given on the command line.
    RangeNotRange,       // {1} the text
    RangePastColumns,    // {1} the text
    RangePastRows,       // {1} the text
    RangeEmptySheet,     // {1} the text
    SettingUnknownKey,   // {1} the key
    SettingNotNumber,    // {1} the key, {2} the value
    SettingNotInteger,   // {1} the key, {2} the value
    ReverseScaleNoValue, // {1} the current value
    ScaleNotNumber,      // {1} the scale
    TextNotUtf8,
    StandardInputNotUtf8,
};

enum class Language { English, Japanese };

class Error : public std::runtime_error {
  public:
    // `systemError`: errno, or a Win32 error or HRESULT on Windows; 0 when the system gave none.
    explicit Error(ErrorCode code, std::vector<std::string> args = {}, long systemError = 0);

    ErrorCode code() const noexcept { return code_; }
    const std::vector<std::string>& args() const noexcept { return args_; }
    long systemError() const noexcept { return systemError_; }

  private:
    ErrorCode code_;
    std::vector<std::string> args_;
    long systemError_;
};

// The error's message in `language`.
std::string ErrorText(const Error& error, Language language);

// The system's description of an error number in `language` (strerror / FormatMessageW).
std::string SystemReason(long systemError, Language language);

} // namespace sheetlift
