#include "excel/WorkbookSource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <functional>
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

void AddRelationship(std::map<std::string, std::string>& parts, const std::string& type,
                     const std::string& target) {
    std::string& rels = parts["xl/_rels/workbook.xml.rels"];
    rels.insert(rels.find("</Relationships>"), "<Relationship Id=\"rId" + type +
                                                   "\" Type=\"http://x/" + type + "\" Target=\"" +
                                                   target + "\"/>");
}

void SetStyles(std::map<std::string, std::string>& parts, const std::string& cellXfs,
               const std::string& fonts = "<font><sz val=\"11\"/><name val=\"Calibri\"/></font>") {
    parts["xl/styles.xml"] =
        "<styleSheet><fonts>" + fonts + "</fonts><cellXfs>" + cellXfs + "</cellXfs></styleSheet>";
    AddRelationship(parts, "styles", "styles.xml");
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
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
    // Whole columns and rows, as Excel takes them.
    const struct {
        const char* text;
        int row, column, rows, columns;
    } lines[] = {
        {"A:A", 1, 1, 1048576, 1},         {"B:D", 1, 2, 1048576, 3},
        {"$D:$b", 1, 2, 1048576, 3},       {"1:1", 1, 1, 1, 16384},
        {"2:5", 2, 1, 4, 16384},           {"$5:$2", 2, 1, 4, 16384},
        {"XFD:XFD", 1, 16384, 1048576, 1}, {"1048576:1048576", 1048576, 1, 1, 16384},
    };
    for (const auto& c : lines)
        ExpectRange(ParseRangeText(c.text).range, c.row, c.column, c.rows, c.columns);
    EXPECT_EQ(ParseRangeText("Sheet1!B:D").sheet, "Sheet1");
    for (const char* bad : {"XFE1", "A1048577", "A0", "A1:", "A1:B2:C3", "", "!A1", "A 1", "A", "1",
                            "0:1", "A:1", "A1:B", "XFE:XFE", "1:1048577", "B:D:E"})
        EXPECT_THROW(ParseRangeText(bad), Error) << bad;
    EXPECT_THAT([] { ParseRangeText("1:1048577"); },
                testing::ThrowsMessage<Error>(HasSubstr("row past the last row 1048576")));
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

// XlsxWriter's table (and the same table written again by Gnumeric, whose default font is
// "Sans" 10: 6 pixels a digit): a hidden first sheet, a selection in a frozen pane, a changed
// default row height, rich text, every diagonal, a hidden row and column.
TEST(WorkbookSource, ReadsTheXlsxWriterAndGnumericWorkbooks) {
    for (const char* file : {"xlsxwriter-parts.xlsx", "gnumeric-parts.xlsx"}) {
        SCOPED_TRACE(file);
        const bool gnumeric = file[0] == 'g';
        auto source = OpenWorkbookSource(kData + "/" + file);
        EXPECT_EQ(source->SheetName(), "表");
        ExpectRange(source->Selection(), 1, 1, 11, 6);
        EXPECT_DOUBLE_EQ(source->Cell("C1").columnWidth, gnumeric ? 23.83 : 24);
        EXPECT_EQ(source->Cell("H1").columnWidth, 0);
        EXPECT_EQ(source->Cell("G9").rowHeight, 18); // the sheet's default
        EXPECT_EQ(source->Cell("A10").rowHeight, 0);
        EXPECT_DOUBLE_EQ(source->Cell("A11").mergeTop, 24 + 18 * 6 + 30 * 2);
        EXPECT_EQ(source->Cell("C9").text, "六角ナット M12（予備）");
        EXPECT_EQ(source->Cell("C4").text, "ブラケット\n（左右対称）");
        EXPECT_EQ(source->Cell("C11").text, "令和1年5月1日");
        EXPECT_EQ(source->Cell("F11").text, "31,552"); // a formula's cached value
        const auto both = source->Cell("D11").borders;
        EXPECT_EQ(both[kBorderDown], 1);
        EXPECT_EQ(both[kBorderUp], 1);
        EXPECT_EQ(source->Cell("E11").borders[kBorderUp], -4118);
        EXPECT_EQ(source->Cell("E11").borders[kBorderDown], kLineStyleNone);
        EXPECT_EQ(source->Cell("G11").borders[kBorderDown], 1);
        EXPECT_EQ(source->Cell("F12").horizontalAlignment, kAlignCenterAcrossSelection);
        EXPECT_EQ(source->Cell("G12").horizontalAlignment, kAlignDistributed);
        EXPECT_EQ(source->Cell("G12").fontSize, 15);
        EXPECT_EQ(source->Cell("E2").mergeColumns, 2);
    }
    // LibreOffice saved with a range selected on its second sheet.
    auto source = OpenWorkbookSource(kData + "/libreoffice-selection.xlsx");
    EXPECT_EQ(source->SheetName(), "部品表");
    ExpectRange(source->Selection(), 2, 1, 8, 6);
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
    // Whole columns or rows: as far as the sheet has cells (here E7).
    const auto used = Workbook(R"(<row r="7"><c r="E7"><v>1</v></c></row>)");
    ExpectRange(Open(used, {"", "B:C"})->Selection(), 1, 2, 7, 2);
    ExpectRange(Open(used, {"", "Sheet1!$3:$2"})->Selection(), 2, 1, 2, 5);
    ExpectRange(Open(used, {"", "A:XFD"})->Selection(), 1, 1, 7, 16384);
    // Too large for one selection: the message names the file.
    EXPECT_THAT(
        OpenError(MakeZip(used), {"", "A1:XFD1048576"}),
        testing::AllOf(HasSubstr("Book1.xlsx"), HasSubstr("larger than the 2000000 cells")));
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
        {MakeZip(withChart), "is a chart sheet, not a worksheet"},
        {MakeZip(bomb), "200 times its packed size"},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(OpenError(c.bytes),
                    testing::AllOf(HasSubstr("\"Book1.xlsx\""), HasSubstr(c.reason)));
        // The window words each in Japanese, naming the file too.
        try {
            OpenWorkbookBytes(c.bytes, "Book1.xlsx");
        } catch (const Error& e) {
            EXPECT_THAT(ErrorText(e, Language::Japanese), HasSubstr("「Book1.xlsx」のブック"))
                << c.reason;
        }
    }
    EXPECT_THAT([] { OpenWorkbookSource(kData + "/missing.xlsx"); },
                testing::ThrowsMessage<Error>(HasSubstr("missing.xlsx")));
}

TEST(WorkbookSource, DoesNotExpandEntities) {
    auto parts = Workbook(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>&lol;</t></is></c></row>)");
    parts["xl/worksheets/sheet1.xml"].insert(
        0, R"(<?xml version="1.0"?><!DOCTYPE worksheet [<!ENTITY lol "lollollollollol">]>)");
    EXPECT_EQ(Open(parts)->Cell("A1").text, "&lol;");
}

// What other writers do with the package: element prefixes (the .NET Open XML SDK), Strict
// namespaces, absolute and "../" targets, Windows part names, a workbook part of another name.
TEST(WorkbookSource, ReadsPackagesOfOtherWriters) {
    using Parts = std::map<std::string, std::string>;
    const auto base = [] {
        auto parts = Workbook(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" s="1">)"
                              R"(<v>0.5</v></c></row>)");
        parts["xl/sharedStrings.xml"] = "<sst><si><t>shared</t></si></sst>";
        AddRelationship(parts, "sharedStrings", "sharedStrings.xml");
        SetStyles(parts, R"(<xf/><xf numFmtId="9"/>)");
        return parts;
    };
    const auto rename = [](Parts& parts, const std::string& from, const std::string& to) {
        parts[to] = parts[from];
        parts.erase(from);
    };
    const struct {
        const char* what;
        std::function<void(Parts&)> change;
    } cases[] = {
        {"as written", [](Parts&) {}},
        {"prefixed elements",
         [](Parts& parts) {
             for (auto& [name, xml] : parts) {
                 ReplaceAll(xml, "xmlns=", "xmlns:x=");
                 ReplaceAll(xml, "</", "\x01");
                 ReplaceAll(xml, "<", "<x:");
                 ReplaceAll(xml, "\x01", "</x:");
             }
         }},
        {"Strict namespaces",
         [](Parts& parts) {
             for (auto& [name, xml] : parts) {
                 ReplaceAll(xml, "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
                            "http://purl.oclc.org/ooxml/spreadsheetml/main");
                 ReplaceAll(xml, "http://schemas.openxmlformats.org/officeDocument/2006/",
                            "http://purl.oclc.org/ooxml/officeDocument/");
             }
         }},
        {"absolute targets",
         [](Parts& parts) {
             ReplaceAll(parts["xl/_rels/workbook.xml.rels"], "Target=\"", "Target=\"/xl/");
         }},
        {"targets with ./ and ../",
         [](Parts& parts) {
             ReplaceAll(parts["xl/_rels/workbook.xml.rels"], "Target=\"", "Target=\"../xl/./");
         }},
        {"targets with backslashes",
         [](Parts& parts) {
             ReplaceAll(parts["xl/_rels/workbook.xml.rels"], "worksheets/", "worksheets\\");
         }},
        {"part names in other case and with backslashes",
         [&](Parts& parts) {
             rename(parts, "xl/worksheets/sheet1.xml", "XL\\Worksheets\\Sheet1.XML");
             rename(parts, "xl/sharedStrings.xml", "xl/SharedStrings.xml");
         }},
        {"workbook part of another name",
         [&](Parts& parts) {
             parts["_rels/.rels"] =
                 R"(<Relationships><Relationship Id="rId1" Target="/xl/book.xml" )"
                 R"(Type="http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument"/>)"
                 R"(<Relationship Id="rId2" Type="http://x/extended-properties" )"
                 R"(Target="http://example.com/" TargetMode="External"/></Relationships>)";
             rename(parts, "xl/workbook.xml", "xl/book.xml");
             rename(parts, "xl/_rels/workbook.xml.rels", "xl/_rels/book.xml.rels");
         }},
    };
    for (const auto& c : cases) {
        auto parts = base();
        c.change(parts);
        std::unique_ptr<SelectionSource> source;
        ASSERT_NO_THROW(source = Open(parts)) << c.what;
        EXPECT_EQ(source->Cell("A1").text, "shared") << c.what;
        EXPECT_EQ(source->Cell("B1").text, "50%") << c.what;
    }
}

TEST(WorkbookSource, ReadsCellsOfOtherWriters) {
    auto parts = Workbook(
        // Rows and cells without r follow the one before; a row without r takes its cells' row.
        R"(<row><c t="inlineStr"><is><r><t>太</t></r><r><rPr><b/></rPr>)"
        R"(<t xml:space="preserve">字 </t></r></is></c><c t="b"><v>true</v></c></row>)"
        R"(<row><c r="C2" t="d" s="1"><v>2023-02-11T13:05:00Z</v></c><c t="d"><v>2023-02-11</v></c>)"
        R"(<c t="d"><v>not a date</v></c><c t="d" s="2"><v>1900-01-01</v></c></row>)"
        // Cells and rows out of order, past what <dimension> says; a style that does not exist.
        R"(<row r="5"><c r="D5" s="99"><v>1.5</v></c><c r="B5"><v>2</v></c></row>)"
        R"(<row r="4" ht="30" customHeight="1"><c r="A4"><v>4</v></c></row>)"
        R"(<row r="4" ht="20"/><row><c><v>6</v></c></row>)",
        R"(<dimension ref="A1:B2"/>)");
    SetStyles(parts, R"(<xf/><xf numFmtId="22"/><xf numFmtId="14"/>)");
    auto source = Open(parts);
    const struct {
        const char* cell;
        const char* text;
        CellValue value;
    } cases[] = {
        {"A1", "太字 ", std::string("太字 ")},
        {"B1", "TRUE", true},
        {"C2", "2023/2/11 13:05", 44968 + 13.0 / 24 + 5.0 / 1440},
        {"D2", "44968", 44968.0},
        {"E2", "not a date", std::string("not a date")},
        {"F2", "1900/1/1", 1.0},
        {"D5", "1.5", 1.5},
        {"B5", "2", 2.0},
        {"A4", "4", 4.0},
        {"A5", "6", 6.0},
    };
    for (const auto& c : cases) {
        const SourceCell cell = source->Cell(c.cell);
        EXPECT_EQ(cell.text, c.text) << c.cell;
        if (const double* number = std::get_if<double>(&c.value)) {
            EXPECT_NEAR(std::get<double>(cell.value2), *number, 1e-9) << c.cell;
        } else {
            EXPECT_EQ(cell.value2, c.value) << c.cell;
        }
    }
    EXPECT_EQ(source->Cell("D5").fontSize, 11);
    EXPECT_EQ(source->Cell("A4").rowHeight, 20); // the later of two rows 4
    EXPECT_EQ(source->Cell("A5").mergeTop, 15 * 3 + 20);
}

// A workbook of the sheets "One", "Two" and the chart sheet "Chart1".
std::map<std::string, std::string> ThreeSheets(const std::string& states, unsigned activeTab) {
    auto parts = Workbook(R"(<row r="1"><c r="A1"><v>1</v></c></row>)");
    std::string workbook = std::string("<workbook ") + kNs +
                           "><bookViews><workbookView activeTab=\"" + std::to_string(activeTab) +
                           "\"/></bookViews><sheets>";
    const char* const names[] = {"One", "Two", "Chart1"};
    for (int i = 0; i < 3; ++i)
        workbook += std::string("<sheet name=\"") + names[i] + "\" sheetId=\"" +
                    std::to_string(i + 1) + "\" state=\"" + states.substr(std::size_t(i), 1) +
                    "\" r:id=\"rId" + std::to_string(i + 1) + "\"/>";
    ReplaceAll(workbook, "state=\"v\"", "state=\"visible\"");
    ReplaceAll(workbook, "state=\"h\"", "state=\"hidden\"");
    parts["xl/workbook.xml"] = workbook + "</sheets></workbook>";
    AddRelationship(parts, "2\" Type=\"http://x/worksheet", "worksheets/sheet1.xml");
    AddRelationship(parts, "3\" Type=\"http://x/chartsheet", "chartsheets/sheet1.xml");
    return parts;
}

TEST(WorkbookSource, ChoosesTheSheetAsExcelShowsIt) {
    const struct {
        const char* states; // v visible, h hidden, per sheet
        unsigned activeTab;
        const char* sheetOption;
        const char* sheetOrError;
    } cases[] = {
        {"vvv", 1, "", "Two"},
        {"vhv", 1, "", "One"}, // a hidden active tab gives way to the first visible sheet
        {"hvv", 0, "", "Two"},
        {"vvv", 7, "", "One"},    // past the last sheet
        {"vhv", 0, "two", "Two"}, // asked for by name, in any case, even when hidden
        {"vvv", 2, "", "the sheet \"Chart1\" is a chart sheet, not a worksheet with cells"},
        {"vvv", 0, "Chart1", "is a chart sheet"},
    };
    for (const auto& c : cases) {
        const auto bytes = MakeZip(ThreeSheets(c.states, c.activeTab));
        const std::string expected = c.sheetOrError;
        if (expected.find(' ') == std::string::npos)
            EXPECT_EQ(OpenWorkbookBytes(bytes, "Book1.xlsx", {c.sheetOption, ""})->SheetName(),
                      expected)
                << c.states << " " << c.activeTab;
        else
            EXPECT_THAT(OpenError(bytes, {c.sheetOption, ""}), HasSubstr(expected));
    }
}

TEST(WorkbookSource, TakesTheSelectionOfTheActivePane) {
    const std::string cells = R"(<row r="7"><c r="E7"><v>1</v></c></row>)";
    const struct {
        const char* views;
        int row, column, rows, columns;
    } cases[] = {
        {R"(<sheetView workbookViewId="0"><pane xSplit="1" ySplit="1" topLeftCell="B2" )"
         R"(activePane="bottomRight" state="frozen"/><selection pane="topRight" sqref="B1"/>)"
         R"(<selection pane="bottomLeft" sqref="A2"/><selection pane="bottomRight" )"
         R"(activeCell="C3" sqref="C3:D4"/></sheetView>)",
         3, 3, 2, 2},
        // A pane that names none is the top-left pane.
        {R"(<sheetView workbookViewId="0"><pane ySplit="2"/><selection pane="bottomLeft" )"
         R"(sqref="A5"/><selection sqref="B2"/></sheetView>)",
         2, 2, 1, 1},
        // The view of the first workbook view, wherever it stands.
        {R"(<sheetView workbookViewId="1"><selection sqref="A1"/></sheetView>)"
         R"(<sheetView workbookViewId="0"><selection activeCell="D9"/></sheetView>)",
         9, 4, 1, 1},
        // Whole columns or rows: as far as the sheet has cells.
        {R"(<sheetView workbookViewId="0"><selection sqref="$B:$C"/></sheetView>)", 1, 2, 7, 2},
        {R"(<sheetView workbookViewId="0"><selection sqref="3:2"/></sheetView>)", 2, 1, 2, 5},
    };
    for (const auto& c : cases) {
        const auto source =
            Open(Workbook(cells, std::string("<sheetViews>") + c.views + "</sheetViews>"));
        ExpectRange(source->Selection(), c.row, c.column, c.rows, c.columns);
    }
}

// Widths in characters of the default font (Calibri 11: 7 pixels a digit, 5 of padding).
TEST(WorkbookSource, ColumnWidthsAndRowHeightsAsExcelShowsThem) {
    const std::string calibri = R"(<font><sz val="11"/><name val="Calibri"/></font>)";
    const std::string pGothic = R"(<font><sz val="11"/><name val="ＭＳ Ｐゴシック"/></font>)";
    const struct {
        const char* sheet; // sheet elements besides the cells
        std::string font;
        const char* cell;
        double width, height;
    } cases[] = {
        {"", calibri, "A1", 8.43, 15},
        {"", pGothic, "A1", 8.38, 13.5}, // a sheet without sizes: the font's own
        {R"(<sheetFormatPr defaultRowHeight="18.75" baseColWidth="10"/>)", calibri, "A1", 10.71,
         18.75},
        {R"(<sheetFormatPr defaultRowHeight="15" baseColWidth="10" defaultColWidth="12.7109375"/>)",
         calibri, "A1", 12, 15},
        {R"(<sheetFormatPr defaultRowHeight="13.5" zeroHeight="1"/>)", pGothic, "A1", 8.38, 0},
        // Overlapping <col> ranges: the later wins; the width counts whatever customWidth says.
        {R"(<cols><col min="1" max="3" width="5.7109375" customWidth="1"/>)"
         R"(<col min="2" max="2" width="10.7109375"/></cols>)",
         calibri, "A1", 5, 15},
        {R"(<cols><col min="1" max="3" width="5.7109375" customWidth="1"/>)"
         R"(<col min="2" max="2" width="10.7109375"/></cols>)",
         calibri, "B1", 10, 15},
        {R"(<cols><col min="3" max="3" width="0.5"/><col min="4" max="4" width="0"/></cols>)",
         calibri, "C1", 0.5, 15},
        {R"(<cols><col min="4" max="4" width="0"/></cols>)", calibri, "D1", 0, 15},
        // Excel stores at most 255: the widest column of Calibri 11.
        {R"(<cols><col min="1" max="16384" width="300"/></cols>)", calibri, "XFD1", 254.29, 15},
        // A row height stands without customHeight; a hidden row is 0 high.
        {"", calibri, "A2", 8.43, 24},
        {"", calibri, "A3", 8.43, 0},
    };
    for (const auto& c : cases) {
        auto parts = Workbook(R"(<row r="2" ht="24"/><row r="3" ht="24" hidden="1"/>)", c.sheet);
        SetStyles(parts, "<xf/>", c.font);
        parts["xl/styles.xml"].insert(parts["xl/styles.xml"].find("<cellXfs>"),
                                      "<cellStyleXfs><xf/></cellStyleXfs>");
        const SourceCell cell = Open(parts)->Cell(c.cell);
        EXPECT_DOUBLE_EQ(cell.columnWidth, c.width) << c.sheet << " " << c.cell;
        EXPECT_DOUBLE_EQ(cell.rowHeight, c.height) << c.sheet << " " << c.cell;
    }
}

TEST(WorkbookSource, VeryWideMergedAreas) {
    auto source = Open(Workbook(
        R"(<row r="1"><c r="A1"><v>1</v></c></row>)",
        R"(<mergeCells><mergeCell ref="A1:XFD2"/><mergeCell ref="A3:B1048576"/></mergeCells>)"));
    const SourceCell last = source->Cell("XFD2");
    EXPECT_TRUE(last.mergeCells);
    EXPECT_EQ(last.mergeColumns, 16384);
    EXPECT_EQ(last.mergeLeft, 0);
    const SourceCell bottom = source->Cell("B1048576");
    EXPECT_EQ(bottom.mergeRows, 1048574);
    EXPECT_DOUBLE_EQ(bottom.mergeTop, 30);
}

} // namespace
} // namespace sheetlift

namespace sheetlift {
namespace {

// The sheet is read as it is inflated, in chunks: cells, texts and references that straddle
// the chunks' edges read as any other.
TEST(WorkbookSource, LargeSheetsReadAcrossTheChunksTheyArriveIn) {
    std::string rows;
    for (int r = 1; r <= 3000; ++r)
        rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) +
                "\" t=\"inlineStr\"><is><t>a&amp;b &#37096;&#21697;" + std::to_string(r) +
                "</t></is></c><c r=\"B" + std::to_string(r) + "\"><v>" + std::to_string(r) +
                ".25</v></c></row>";
    auto source = Open(Workbook(rows, R"(<sheetViews><sheetView workbookViewId="0">)"
                                      R"(<selection sqref="A1:B3000"/></sheetView></sheetViews>)"));
    ExpectRange(source->Selection(), 1, 1, 3000, 2);
    for (int r : {1, 777, 1500, 2999, 3000}) {
        EXPECT_EQ(source->Cell("A" + std::to_string(r)).text, "a&b 部品" + std::to_string(r));
        EXPECT_EQ(source->Cell("B" + std::to_string(r)).text, std::to_string(r) + ".25");
    }
}

// Cells spread wider than the store holds (a hostile sheet can name any corner): the cells
// of the selection and around it are read again, the rest left.
TEST(WorkbookSource, CellsSpreadOverTheWholeSheet) {
    auto source = Open(Workbook(
        R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="2"><c r="B2"><v>2</v></c>)"
        R"(<c r="C2" s="1"><v>3</v></c></row><row r="1048576"><c r="XFD1048576"><v>4</v></c></row>)",
        R"(<sheetViews><sheetView workbookViewId="0"><selection sqref="A1:B2"/></sheetView>)"
        R"(</sheetViews>)"));
    ExpectRange(source->Selection(), 1, 1, 2, 2);
    EXPECT_EQ(source->Cell("A1").text, "1");
    EXPECT_EQ(source->Cell("B2").text, "2");
    EXPECT_EQ(source->Cell("C2").text, "3"); // beside the selection: its borders touch it
}

} // namespace
} // namespace sheetlift
