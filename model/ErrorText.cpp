#include "model/Error.h"

namespace sheetlift {

namespace {

// Both texts of a code: {1}, {2}, ... are its arguments, {reason} the system's reason.
struct Texts {
    const char* english;
    const char* japanese;
};

Texts TextsOf(ErrorCode code) {
    switch (code) {
    case ErrorCode::FileOpen:
        return {"Cannot open \"{1}\": {reason}", "「{1}」を開けません: {reason}"};
    case ErrorCode::FileRead:
        return {"Cannot read \"{1}\": {reason}", "「{1}」を読み込めません: {reason}"};
    case ErrorCode::FileWrite:
        return {"Cannot write \"{1}\": {reason}", "「{1}」に書き込めません: {reason}"};
    case ErrorCode::ExecutablePath:
        return {"Cannot find the program's own file: {reason}",
                "プログラム自身のファイルが見つかりません: {reason}"};
    case ErrorCode::NotRegularFile:
        return {"Cannot write \"{1}\": it is not a regular file (a folder, a device, a pipe or a "
                "socket), so it is left as it is",
                "「{1}」は通常のファイルではない (フォルダー、デバイス、パイプまたはソケット) "
                "ため、書き込みません"};
    case ErrorCode::OutputIsInput:
        return {"Will not write \"{1}\": it is the input file \"{2}\", which would be lost",
                "「{1}」は入力ファイル「{2}」と同じファイルです。入力が失われるため書き込みません"};
    case ErrorCode::NotRunning:
        return {"Cannot attach to {1}", "{1} に接続できません"};
    case ErrorCode::Automation:
        return {"{1}: {reason}", "{1}: {reason}"};
    case ErrorCode::SnapshotWithRange:
        return {"\"{1}\" is a snapshot of one selection: a sheet or range cannot be chosen",
                "「{1}」は一つの選択範囲の記録です。シートや範囲は選べません"};
    case ErrorCode::UnknownInputKind:
        return {"\"{1}\": unknown kind of file (expected a .xlsx or .xlsm workbook or a .json "
                "snapshot)",
                "「{1}」は読めない種類のファイルです (.xlsx か .xlsm のブック、または .json "
                "の記録を選んでください)"};
    case ErrorCode::SelectionNotOnSheet:
        return {"The selection (row {1}, column {2}, {3} x {4} cells) is not a range of the sheet",
                "選択範囲 (行 {1}、列 {2}、{3} x {4} セル) はシート内の範囲ではありません"};
    case ErrorCode::SelectionTooLarge:
        return {"The selection of {1} x {2} cells is larger than the {3} cells Sheetlift can take "
                "at once",
                "選択範囲 {1} x {2} セルは、一度に扱える {3} セルを超えています"};
    case ErrorCode::SnapshotNotJson:
        return {"{1}: not valid JSON ({2})", "{1}: 正しい JSON ではありません ({2})"};
    case ErrorCode::SnapshotNotObject:
        return {"{1}: expected a JSON object", "{1}: JSON のオブジェクトではありません"};
    case ErrorCode::SnapshotNotSnapshot:
        return {"{1}: not a selection snapshot (\"format\" is not \"sheetlift-selection\")",
                "{1}: 選択範囲の記録ではありません (\"format\" が \"sheetlift-selection\" "
                "ではありません)"};
    case ErrorCode::SnapshotVersion:
        return {"{1}: version: only version 1 is known",
                "{1}: version: 読めるのはバージョン 1 だけです"};
    case ErrorCode::SnapshotExpectedNumber:
        return {"{1}: {2}: expected a number", "{1}: {2}: 数値ではありません"};
    case ErrorCode::SnapshotExpectedWholeNumber:
        return {"{1}: {2}: expected a whole number from {3} to {4}",
                "{1}: {2}: {3} から {4} までの整数ではありません"};
    case ErrorCode::SnapshotExpectedText:
        return {"{1}: {2}: expected a text", "{1}: {2}: 文字列ではありません"};
    case ErrorCode::SnapshotExpectedBoolean:
        return {"{1}: {2}: expected true or false", "{1}: {2}: true か false ではありません"};
    case ErrorCode::SnapshotExpectedValue:
        return {"{1}: {2}: expected a number, a text, true, false or null",
                "{1}: {2}: 数値、文字列、true、false、null のどれでもありません"};
    case ErrorCode::SnapshotExpectedObject:
        return {"{1}: {2}: expected an object", "{1}: {2}: オブジェクトではありません"};
    case ErrorCode::SnapshotExpectedArray:
        return {"{1}: {2}: expected an array", "{1}: {2}: 配列ではありません"};
    case ErrorCode::SnapshotMissing:
        return {"{1}: {2}: missing \"{3}\"", "{1}: {2}: \"{3}\" がありません"};
    case ErrorCode::SnapshotMissingHeader:
        return {"{1}: missing \"{2}\"", "{1}: \"{2}\" がありません"};
    case ErrorCode::SnapshotNumberTooLarge:
        return {"{1}: {2}: the number {3} is too large", "{1}: {2}: 数値 {3} が大きすぎます"};
    case ErrorCode::SnapshotTextTooLong:
        return {"{1}: {2}: the text is longer than Excel's 32,767 characters",
                "{1}: {2}: 文字列が Excel の上限 32,767 文字を超えています"};
    case ErrorCode::SnapshotCellCount:
        return {"{1}: cells: holds {2} cells, but rows x columns is {3}",
                "{1}: cells: セルが {2} 個ありますが、rows x columns は {3} です"};
    case ErrorCode::SnapshotTooManyCells:
        return {"{1}: cells: holds more cells than rows x columns ({2})",
                "{1}: cells: セルが rows x columns ({2}) より多くあります"};
    case ErrorCode::SnapshotCellsOverCap:
        return {"{1}: cells: holds more than the {2} cells Sheetlift can take at once",
                "{1}: cells: 一度に扱える {2} セルを超えています"};
    case ErrorCode::SnapshotSelectionNotOnSheet:
        return {"{1}: the selection (row {2}, column {3}, {4} x {5} cells) is not a range of the "
                "sheet",
                "{1}: 選択範囲 (行 {2}、列 {3}、{4} x {5} セル) はシート内の範囲ではありません"};
    case ErrorCode::SnapshotSelectionTooLarge:
        return {"{1}: the selection of {2} x {3} cells is larger than the {4} cells Sheetlift can "
                "take at once",
                "{1}: 選択範囲 {2} x {3} セルは、一度に扱える {4} セルを超えています"};
    case ErrorCode::SnapshotCellNotRecorded:
        return {"{1}: the cell {2} is not part of the recorded selection",
                "{1}: セル {2} は記録された選択範囲にありません"};
    case ErrorCode::WorkbookEncrypted:
        return {"Cannot read the workbook \"{1}\": the workbook is encrypted (protected by a "
                "password to open); save it without a password first",
                "「{1}」のブックを読み込めません: ブックが暗号化されています "
                "(読み取りパスワード付き)。パスワードなしで保存し直してください"};
    case ErrorCode::WorkbookLegacyXls:
        return {"Cannot read the workbook \"{1}\": it is an Excel 97-2003 (.xls) file, not an "
                ".xlsx or .xlsm workbook",
                "「{1}」のブックを読み込めません: Excel 97-2003 (.xls) のファイルで、.xlsx や "
                ".xlsm のブックではありません"};
    case ErrorCode::WorkbookNotZip:
        return {"Cannot read the workbook \"{1}\": it is not an .xlsx or .xlsm workbook ({2})",
                "「{1}」のブックを読み込めません: .xlsx や .xlsm のブックではありません ({2})"};
    case ErrorCode::WorkbookNoWorkbookPart:
        return {"Cannot read the workbook \"{1}\": it is not an .xlsx or .xlsm workbook (no "
                "workbook part {2})",
                "「{1}」のブックを読み込めません: .xlsx や .xlsm のブックではありません "
                "(ブックのパート {2} がありません)"};
    case ErrorCode::WorkbookNoSheetPart:
        return {"Cannot read the workbook \"{1}\": it is not an .xlsx or .xlsm workbook (no sheet "
                "part {2})",
                "「{1}」のブックを読み込めません: .xlsx や .xlsm のブックではありません "
                "(シートのパート {2} がありません)"};
    case ErrorCode::WorkbookPartUnreadable:
        return {"Cannot read the workbook \"{1}\": its part {2} cannot be read ({3})",
                "「{1}」のブックを読み込めません: パート {2} を読み込めません ({3})"};
    case ErrorCode::WorkbookPartEncrypted:
        return {"Cannot read the workbook \"{1}\": its part {2} is encrypted",
                "「{1}」のブックを読み込めません: パート {2} が暗号化されています"};
    case ErrorCode::WorkbookPartDamaged:
        return {"Cannot read the workbook \"{1}\": its part {2} is damaged ({3})",
                "「{1}」のブックを読み込めません: パート {2} が壊れています ({3})"};
    case ErrorCode::WorkbookPartTooLarge:
        return {"Cannot read the workbook \"{1}\": its part {2} unpacks to more than 256 MiB (a "
                "damaged or hostile file)",
                "「{1}」のブックを読み込めません: パート {2} が展開すると 256 MiB を超えます "
                "(壊れたか悪意のあるファイル)"};
    case ErrorCode::WorkbookTooLargeInAll:
        return {"Cannot read the workbook \"{1}\": its part {2} unpacks to more than 1 GiB in all "
                "(a damaged or hostile file)",
                "「{1}」のブックを読み込めません: パート {2} までで展開後の合計が 1 GiB を超えます "
                "(壊れたか悪意のあるファイル)"};
    case ErrorCode::WorkbookPartRatio:
        return {"Cannot read the workbook \"{1}\": its part {2} unpacks to more than 200 times its "
                "packed size (a damaged or hostile file)",
                "「{1}」のブックを読み込めません: パート {2} が展開すると圧縮時の 200 倍を超えます "
                "(壊れたか悪意のあるファイル)"};
    case ErrorCode::WorkbookPartNotXml:
        return {"Cannot read the workbook \"{1}\": its part {2} is not well-formed XML ({3} at "
                "byte {4})",
                "「{1}」のブックを読み込めません: パート {2} が正しい XML ではありません ({4} "
                "バイト目: {3})"};
    case ErrorCode::WorkbookPartNotWorkbook:
        return {"Cannot read the workbook \"{1}\": its part {2} is not a workbook",
                "「{1}」のブックを読み込めません: パート {2} はブックではありません"};
    case ErrorCode::WorkbookBadRange:
        return {"Cannot read the workbook \"{1}\": bad range {2}",
                "「{1}」のブックを読み込めません: 範囲が正しくありません: {2}"};
    case ErrorCode::WorkbookRangeOtherSheet:
        return {"Cannot read the workbook \"{1}\": the range names the sheet \"{2}\" but the sheet "
                "\"{3}\" was asked for",
                "「{1}」のブックを読み込めません: "
                "範囲はシート「{2}」を指していますが、シート「{3}」が指定されています"};
    case ErrorCode::WorkbookNoSheets:
        return {"Cannot read the workbook \"{1}\": it has no sheets",
                "「{1}」のブックを読み込めません: シートがありません"};
    case ErrorCode::WorkbookNoSuchSheet:
        return {"Cannot read the workbook \"{1}\": it has no sheet named \"{2}\" (its sheets: {3})",
                "「{1}」のブックを読み込めません: シート「{2}」がありません (あるシート: {3})"};
    case ErrorCode::WorkbookSheetPartMissing:
        return {"Cannot read the workbook \"{1}\": the part of the sheet \"{2}\" is missing",
                "「{1}」のブックを読み込めません: シート「{2}」のパートがありません"};
    case ErrorCode::WorkbookChartSheet:
        return {"Cannot read the workbook \"{1}\": the sheet \"{2}\" is a chart sheet, not a "
                "worksheet with cells",
                "「{1}」のブックを読み込めません: "
                "シート「{2}」はグラフシートで、セルのあるワークシートではありません"};
    case ErrorCode::WorkbookNotWorksheet:
        return {"Cannot read the workbook \"{1}\": the sheet \"{2}\" is a {3}, not a worksheet "
                "with cells",
                "「{1}」のブックを読み込めません: シート「{2}」は {3} "
                "で、セルのあるワークシートではありません"};
    case ErrorCode::WorkbookTextTooLong:
        return {"Cannot read the workbook \"{1}\": its part {2} holds a text longer than Excel's "
                "32,767 characters",
                "「{1}」のブックを読み込めません: パート {2} に Excel の上限 32,767 "
                "文字を超える文字列があります"};
    case ErrorCode::WorkbookColumnRange:
        return {"Cannot read the workbook \"{1}\": its part {2} has a column range {3}-{4} outside "
                "Excel's columns 1-16384",
                "「{1}」のブックを読み込めません: パート {2} の列範囲 {3}-{4} が Excel の列 "
                "1-16384 の外にあります"};
    case ErrorCode::WorkbookSharedStringMissing:
        return {"Cannot read the workbook \"{1}\": its part {2} refers to a shared string that "
                "does not exist in cell {3}",
                "「{1}」のブックを読み込めません: パート {2} のセル {3} "
                "が存在しない共有文字列を参照しています"};
    case ErrorCode::WorkbookSheetSizePastLimits:
        return {"Cannot read the workbook \"{1}\": its part {2} has a sheet size past Excel's "
                "limits ({3})",
                "「{1}」のブックを読み込めません: パート {2} のシートの大きさが Excel "
                "の上限を超えています ({3})"};
    case ErrorCode::WorkbookRowPastLimit:
        return {"Cannot read the workbook \"{1}\": its part {2} has a row {3} past Excel's "
                "1,048,576 rows",
                "「{1}」のブックを読み込めません: パート {2} の行 {3} が Excel の 1,048,576 "
                "行を超えています"};
    case ErrorCode::WorkbookCellOutOfPlace:
        return {"Cannot read the workbook \"{1}\": its part {2} has a cell \"{3}\" out of place in "
                "row {4}",
                "「{1}」のブックを読み込めません: パート {2} の行 {4} "
                "にあるはずのないセル「{3}」があります"};
    case ErrorCode::WorkbookCellPastColumns:
        return {"Cannot read the workbook \"{1}\": its part {2} has a cell past Excel's 16,384 "
                "columns in row {3}",
                "「{1}」のブックを読み込めません: パート {2} の行 {3} に Excel の 16,384 "
                "列を超えるセルがあります"};
    case ErrorCode::WorkbookBadMerge:
        return {"Cannot read the workbook \"{1}\": its part {2} has a bad merged area {3}",
                "「{1}」のブックを読み込めません: パート {2} の結合範囲が正しくありません: {3}"};
    case ErrorCode::WorkbookSelectionTooLarge:
        return {"Cannot read the workbook \"{1}\": the selection of {2} x {3} cells is larger than "
                "the {4} cells Sheetlift can take at once",
                "「{1}」のブックを読み込めません: 選択範囲 {2} x {3} セルは、一度に扱える {4} "
                "セルを超えています"};
    case ErrorCode::WorkbookBadSavedSelection:
        return {"Cannot read the workbook \"{1}\": the saved selection of the sheet \"{2}\" is "
                "bad: {3}",
                "「{1}」のブックを読み込めません: "
                "シート「{2}」に保存された選択範囲が正しくありません: {3}"};
    case ErrorCode::WorkbookNotOneCell:
        return {"Cannot read the cell \"{1}\" of \"{2}\": not a single cell",
                "「{2}」のセル「{1}」を読み込めません: 一つのセルではありません"};
    case ErrorCode::WorkbookBadCellAddress:
        return {"Cannot read the cell \"{1}\" of \"{2}\": {3}",
                "「{2}」のセル「{1}」を読み込めません: {3}"};
    case ErrorCode::RangeNotRange:
        return {"\"{1}\" is not a cell address or range like A1:D9, B:D or 2:5",
                "「{1}」は A1:D9、B:D、2:5 のようなセル番地や範囲ではありません"};
    case ErrorCode::RangePastColumns:
        return {"\"{1}\": column past the last column XFD", "「{1}」: 最後の列 XFD より先の列です"};
    case ErrorCode::RangePastRows:
        return {"\"{1}\": row past the last row 1048576",
                "「{1}」: 最後の行 1048576 より先の行です"};
    case ErrorCode::RangeEmptySheet:
        return {"\"{1}\": empty sheet name", "「{1}」: シート名が空です"};
    case ErrorCode::SettingUnknownKey:
        return {"Unknown setting \"{1}\" (the settings are {2})",
                "設定「{1}」はありません (設定は {2} です)"};
    case ErrorCode::SettingNotNumber:
        return {"The setting {1} takes a number, not \"{2}\"",
                "設定 {1} には数値を指定してください (「{2}」は数値ではありません)"};
    case ErrorCode::SettingNotInteger:
        return {"The setting {1} takes a whole number, not \"{2}\"",
                "設定 {1} には整数を指定してください (「{2}」は整数ではありません)"};
    case ErrorCode::ReverseScaleNoValue:
        return {"Cannot derive a scale from the current value \"{1}\"",
                "現在の値「{1}」からは倍率を求められません"};
    case ErrorCode::ScaleNotNumber:
        return {"The scale \"{1}\" is not a number", "倍率「{1}」は数値ではありません"};
    case ErrorCode::TextNotUtf8:
        return {"the text is not valid UTF-8", "テキストが正しい UTF-8 ではありません"};
    case ErrorCode::StandardInputNotUtf8:
        return {"standard input is not valid UTF-8", "標準入力が正しい UTF-8 ではありません"};
    }
    return {"{1}", "{1}"};
}

std::string Fill(std::string_view text, const std::vector<std::string>& args, long systemError,
                 Language language) {
    std::string out;
    out.reserve(text.size() + 64);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{') {
            const std::size_t close = text.find('}', i);
            const std::string_view name = text.substr(i + 1, close - i - 1);
            if (name == "reason") {
                out += SystemReason(systemError, language);
            } else {
                const std::size_t n = std::size_t(name[0] - '1');
                if (n < args.size())
                    out += args[n];
            }
            i = close;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

Error::Error(ErrorCode code, std::vector<std::string> args, long systemError)
    : std::runtime_error(Fill(TextsOf(code).english, args, systemError, Language::English)),
      code_(code), args_(std::move(args)), systemError_(systemError) {}

std::string ErrorText(const Error& error, Language language) {
    const Texts texts = TextsOf(error.code());
    return Fill(language == Language::Japanese ? texts.japanese : texts.english, error.args(),
                error.systemError(), language);
}

} // namespace sheetlift
