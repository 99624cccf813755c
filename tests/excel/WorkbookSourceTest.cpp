#include "excel/WorkbookSource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <map>

namespace sheetlift {
namespace {

using testing::HasSubstr;

const std::string kData = SHEETLIFT_TEST_DATA;

// A zip package from part names and contents, built in memory.
std::string MakeZip(const std::map<std::string, std::string>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* zip = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_source_keep(buffer);
    for (const auto& [name, data] : parts)
        zip_file_add(zip, name.c_str(), zip_source_buffer(zip, data.data(), data.size(), 0),
                     ZIP_FL_ENC_UTF_8);
    zip_close(zip);
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    std::string bytes(std::size_t(zip_source_tell(buffer)), '\0');
    zip_source_seek(buffer, 0, SEEK_SET);
    zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

const char* const kNs =
    R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";

// A one-sheet workbook ("Sheet1") with the given <sheetData> body and extra sheet elements.
std::map<std::string, std::string> Workbook(const std::string& sheetData,
                                            const std::string& afterData = "") {
    return {
        {"xl/workbook.xml", std::string("<workbook ") + kNs +
                                "><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"
                                "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", std::string("<worksheet ") + kNs + "><sheetData>" + sheetData +
                                         "</sheetData>" + afterData + "</worksheet>"}};
}

std::unique_ptr<SelectionSource> Open(const std::map<std::string, std::string>& parts,
                                      const WorkbookOptions& options = {}) {
    return OpenWorkbookBytes(MakeZip(parts), "Book1.xlsx", options);
}

std::string OpenError(const std::string& bytes, const WorkbookOptions& options = {}) {
    try {
        OpenWorkbookBytes(bytes, "Book1.xlsx", options);
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

void ExpectRange(const SelectionRange& r, int row, int column, int rows, int columns) {
    EXPECT_EQ(r.row, row);
    EXPECT_EQ(r.column, column);
    EXPECT_EQ(r.rows, rows);
    EXPECT_EQ(r.columns, columns);
}

TEST(WorkbookRangeText, ParsesAndNormalises) {
    ExpectRange(ParseRangeText("B3").range, 3, 2, 1, 1);
    ExpectRange(ParseRangeText("$A$1:$D$9").range, 1, 1, 9, 4);
    ExpectRange(ParseRangeText("B2:A1").range, 1, 1, 2, 2);
    ExpectRange(ParseRangeText("xfd1048576").range, 1048576, 16384, 1, 1);
    EXPECT_EQ(ParseRangeText("Sheet1!A1:D9").sheet, "Sheet1");
    EXPECT_EQ(ParseRangeText("'It''s 表'!A1").sheet, "It's 表");
    for (const char* bad : {"XFE1", "A1048577", "A0", "1:3", "A1:", "A1:B2:C3", "", "!A1", "A 1"})
        EXPECT_THROW(ParseRangeText(bad), Error) << bad;
    EXPECT_THAT([] { ParseRangeText("XFE1"); },
                testing::ThrowsMessage<Error>(HasSubstr("column past the last column XFD")));
}

TEST(WorkbookSource, ReadsTheOpenpyxlWorkbookAsExcelWould) {
    auto source = OpenWorkbookSource(kData + "/openpyxl-styles.xlsx");
    EXPECT_EQ(source->WorkbookName(), "openpyxl-styles.xlsx");
    EXPECT_EQ(source->SheetName(), "Data"); // the active, second sheet
    ExpectRange(source->Selection(), 2, 2, 7, 5);

    const SourceCell b2 = source->Cell("B2");
    EXPECT_EQ(b2.text, "部品名\n（二行目）");
    EXPECT_EQ(b2.horizontalAlignment, kAlignCenter);
    EXPECT_EQ(b2.fontSize, 10.5);
    EXPECT_DOUBLE_EQ(b2.columnWidth, 20);
    EXPECT_TRUE(b2.mergeCells);
    EXPECT_EQ(b2.mergeRows, 2);
    EXPECT_EQ(b2.mergeColumns, 3);
    EXPECT_DOUBLE_EQ(b2.mergeLeft, 48);
    EXPECT_DOUBLE_EQ(b2.mergeTop, 15);
    EXPECT_EQ(b2.borders[kBorderTop], 1);

    const SourceCell d3 = source->Cell("D3"); // inside the merged area, nothing of its own
    EXPECT_TRUE(d3.mergeCells);
    EXPECT_DOUBLE_EQ(d3.mergeLeft, 48);
    EXPECT_DOUBLE_EQ(d3.rowHeight, 30);
    EXPECT_EQ(source->Cell("C2").columnWidth, 0); // hidden column
    EXPECT_EQ(source->Cell("E4").rowHeight, 0);   // hidden row
    EXPECT_DOUBLE_EQ(source->Cell("E5").mergeTop, 60);
    EXPECT_DOUBLE_EQ(source->Cell("E5").mergeLeft, 204.75); // 48 + 108.75 + 0 + 48
    EXPECT_DOUBLE_EQ(source->Cell("E5").columnWidth, 8.43);

    // The text of an uncalculated formula is empty, as its cached value is missing.
    EXPECT_EQ(source->Cell("G2").text, "");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(source->Cell("G2").value2));
}

TEST(WorkbookSource, ShowsNumbersThroughTheirFormats) {
    auto source = OpenWorkbookSource(kData + "/openpyxl-styles.xlsx");
    const char* const texts[] = {
        "1234.5", "1235",      "1,234.50",      "25.6%",         "1.23E+04", "abc",         "(3)",
        "zero",   "2023/2/11", "2023年2月11日", "令和1年5月1日", "13:05",    "1.23457E+11", "TRUE"};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(source->Cell("A" + std::to_string(6 + i)).text, texts[i]) << "row " << 6 + i;
    EXPECT_EQ(std::get<double>(source->Cell("A6").value2), 1234.5);
    EXPECT_EQ(std::get<double>(source->Cell("A14").value2), 44968);
    EXPECT_EQ(std::get<bool>(source->Cell("A19").value2), true);
    EXPECT_EQ(std::get<std::string>(source->Cell("A11").value2), "abc");
}

TEST(WorkbookSource, ReadsEveryBorderStyleAndAlignment) {
    auto source = OpenWorkbookSource(kData + "/openpyxl-styles.xlsx");
    const int styles[] = {1, 1, 1, 1, -4115, -4118, -4119, 4, 5, 13, -4115, 4};
    for (int i = 0; i < 12; ++i) {
        const auto cell = source->Cell("D" + std::to_string(6 + i));
        EXPECT_EQ(cell.borders[kBorderLeft], styles[i]) << cell.text;
        EXPECT_EQ(cell.borders[kBorderRight], styles[i]) << cell.text;
    }
    EXPECT_EQ(source->Cell("E6").borders[kBorderDown], 1);
    EXPECT_EQ(source->Cell("E6").borders[kBorderUp], kLineStyleNone);
    EXPECT_EQ(source->Cell("E7").borders[kBorderUp], -4115);
    // E6's left edge is D6's right edge.
    EXPECT_EQ(source->Cell("E6").borders[kBorderLeft], 1);
    const int alignments[] = {kAlignGeneral,
                              kAlignLeft,
                              kAlignCenter,
                              kAlignRight,
                              kAlignFill,
                              kAlignJustify,
                              kAlignCenterAcrossSelection,
                              kAlignDistributed};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(source->Cell("F" + std::to_string(6 + i)).horizontalAlignment, alignments[i]);
}

TEST(WorkbookSource, ReadsTheLibreOfficeWorkbook) {
    auto source = OpenWorkbookSource(kData + "/libreoffice-parts.xlsx", {"部品表", "A1:F10"});
    EXPECT_EQ(source->SheetName(), "部品表");
    ExpectRange(source->Selection(), 1, 1, 10, 6);
    const auto title = source->Cell("A1");
    EXPECT_EQ(title.text, "部品表");
    EXPECT_TRUE(title.mergeCells);
    EXPECT_EQ(title.mergeColumns, 6);
    EXPECT_EQ(title.fontSize, 10);
    EXPECT_EQ(source->Cell("A2").fontSize, 12);
    EXPECT_EQ(title.horizontalAlignment, kAlignCenter);
    EXPECT_EQ(title.borders[kBorderTop], 1);
    EXPECT_EQ(source->Cell("A2").mergeRows, 2);
    EXPECT_EQ(source->Cell("C4").text, "ブラケット\n（左右対称）");
    EXPECT_EQ(source->Cell("F4").text, "1,250");
    EXPECT_EQ(source->Cell("A5").rowHeight, 0); // the hidden row
    EXPECT_EQ(source->Cell("C10").text, "2023/2/11");
    EXPECT_EQ(source->Cell("D10").borders[kBorderDown], 1);
    const auto total = source->Cell("E10");
    EXPECT_EQ(total.borders[kBorderBottom], -4115);
    EXPECT_EQ(total.borders[kBorderTop], 1);
    EXPECT_EQ(total.borders[kBorderLeft], 1); // D10's right edge
    EXPECT_EQ(source->Cell("F10").horizontalAlignment, kAlignRight);
    EXPECT_DOUBLE_EQ(source->Cell("A4").rowHeight, 32.4);
    // Default sheet and selection: the first sheet, as LibreOffice saved it.
    EXPECT_EQ(OpenWorkbookSource(kData + "/libreoffice-parts.xlsx")->SheetName(), "Cover");
}

TEST(WorkbookSource, RangeAndSheetOptions) {
    const auto parts =
        Workbook(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>x</t></is></c></row>)",
                 R"(<sheetViews><sheetView workbookViewId="0">)"
                 R"(<selection activeCell="C4" sqref="C4:D5 F1"/></sheetView></sheetViews>)");
    ExpectRange(Open(parts)->Selection(), 4, 3, 2, 2); // the first range of a saved selection
    ExpectRange(Open(parts, {"", "B2:A1"})->Selection(), 1, 1, 2, 2);
    ExpectRange(Open(parts, {"", "Sheet1!E5"})->Selection(), 5, 5, 1, 1);
    ExpectRange(Open(Workbook(""))->Selection(), 1, 1, 1, 1); // no view: A1
    EXPECT_THAT(OpenError(MakeZip(parts), {"Other", ""}),
                HasSubstr("has no sheet named \"Other\" (its sheets: Sheet1)"));
    EXPECT_THAT(OpenError(MakeZip(parts), {"", "XFE1"}), HasSubstr("column past"));
    EXPECT_THAT(OpenError(MakeZip(parts), {"Sheet1", "Other!A1"}), HasSubstr("names the sheet"));
}

TEST(WorkbookSource, CellsWithoutElementTakeTheRowOrColumnStyle) {
    auto parts = Workbook(R"(<row r="2" s="1" customFormat="1"/>)");
    parts["xl/worksheets/sheet1.xml"].insert(
        parts["xl/worksheets/sheet1.xml"].find("<sheetData>"),
        R"(<cols><col min="3" max="3" width="5.7109375" style="2"/></cols>)");
    parts["xl/styles.xml"] =
        R"(<styleSheet><fonts><font><sz val="11"/><name val="Calibri"/></font><font><sz val="20"/></font></fonts>)"
        R"(<borders><border/></borders><cellXfs><xf/><xf fontId="1"/><xf><alignment horizontal="right"/></xf></cellXfs></styleSheet>)";
    parts["xl/_rels/workbook.xml.rels"].insert(
        parts["xl/_rels/workbook.xml.rels"].find("</Relationships>"),
        R"(<Relationship Id="rId2" Type="http://x/styles" Target="styles.xml"/>)");
    auto source = Open(parts);
    EXPECT_EQ(source->Cell("A2").fontSize, 20);
    EXPECT_EQ(source->Cell("C2").fontSize, 20); // the row's style wins
    EXPECT_EQ(source->Cell("C3").horizontalAlignment, kAlignRight);
    EXPECT_DOUBLE_EQ(source->Cell("C3").columnWidth, 5);
    EXPECT_EQ(source->Cell("A3").fontSize, 11);
}

TEST(WorkbookSource, TextsOfEveryKind) {
    auto parts = Workbook(
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c>)"
        R"(<c r="C1" t="str"><f>A1</f><v>calc_x000D_ed</v></c><c r="D1" t="e"><v>#DIV/0!</v></c>)"
        R"(<c r="E1" t="b"><v>0</v></c><c r="F1"><v>1e400</v></c></row>)");
    parts["xl/sharedStrings.xml"] =
        R"(<sst><si><t xml:space="preserve"> 東京 </t></si><si><r><t>太</t></r><r><rPr/><t>字</t></r>)"
        R"(<rPh sb="0" eb="1"><t>フト</t></rPh></si></sst>)";
    parts["xl/_rels/workbook.xml.rels"].insert(
        parts["xl/_rels/workbook.xml.rels"].find("</Relationships>"),
        R"(<Relationship Id="rId3" Type="http://x/sharedStrings" Target="/xl/sharedStrings.xml"/>)");
    auto source = Open(parts);
    EXPECT_EQ(source->Cell("A1").text, " 東京 ");
    EXPECT_EQ(source->Cell("B1").text, "太字"); // the phonetic guide is not text
    EXPECT_EQ(source->Cell("C1").text, "calc\red");
    EXPECT_EQ(source->Cell("D1").text, "#DIV/0!");
    EXPECT_EQ(source->Cell("E1").text, "FALSE");
    EXPECT_EQ(source->Cell("F1").text, "0"); // no double holds it
    EXPECT_EQ(source->Cell("Z99").text, "");
    EXPECT_THROW(source->Cell("B2:C3"), Error);
}

TEST(WorkbookSource, BadInputIsNamedWithItsReason) {
    const std::string hugeText(40000, 'a');
    std::string zeros(4 << 20, '\0');
    std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    const std::string encryptedName("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
    auto withChart = Workbook("");
    withChart["xl/_rels/workbook.xml.rels"] =
        "<Relationships><Relationship Id=\"rId1\" Type=\"http://x/chartsheet\" Target=\"c.xml\"/>"
        "</Relationships>";
    auto bomb = Workbook("");
    bomb["xl/worksheets/sheet1.xml"] += "<!--" + zeros + "-->";
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"hello", "not a zip archive"},
        {ole + std::string(200, '\0') + encryptedName, "encrypted"},
        {ole + std::string(200, '\0'), "Excel 97-2003 (.xls)"},
        {MakeZip({{"word/document.xml", "<document/>"}}), "no workbook part xl/workbook.xml"},
        {MakeZip(Workbook("<row r=\"1\"><c r=\"A1\"></row>")), "is not well-formed XML"},
        {MakeZip(Workbook("<row r=\"1048577\"/>")), "past Excel's 1,048,576 rows"},
        {MakeZip(Workbook("<row r=\"1\"><c r=\"XFE1\"/></row>")), "past Excel's 16,384 columns"},
        {MakeZip(Workbook("", "<mergeCells><mergeCell ref=\"A1:XFE2\"/></mergeCells>")),
         "bad merged area"},
        {MakeZip(Workbook("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + hugeText +
                          "</t></is></c></row>")),
         "longer than Excel's 32,767 characters"},
        {MakeZip(Workbook("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>")),
         "shared string that does not exist"},
        {MakeZip(withChart), "is a chartsheet, not a worksheet"},
        {MakeZip(bomb), "200 times its packed size"},
    };
    for (const auto& c : cases)
        EXPECT_THAT(OpenError(c.bytes),
                    testing::AllOf(HasSubstr("\"Book1.xlsx\""), HasSubstr(c.reason)));
    EXPECT_THAT([] { OpenWorkbookSource(kData + "/missing.xlsx"); },
                testing::ThrowsMessage<Error>(HasSubstr("missing.xlsx")));
}

TEST(WorkbookSource, DoesNotExpandEntities) {
    auto parts = Workbook(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>&lol;</t></is></c></row>)");
    parts["xl/worksheets/sheet1.xml"].insert(
        0, R"(<?xml version="1.0"?><!DOCTYPE worksheet [<!ENTITY lol "lollollollollol">]>)");
    EXPECT_EQ(Open(parts)->Cell("A1").text, "&lol;");
}

} // namespace
} // namespace sheetlift
