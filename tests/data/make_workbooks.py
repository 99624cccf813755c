#!/usr/bin/python3
"""Writes the test workbooks of tests/data and the sample examples/parts-table.xlsx with real
spreadsheet programs: openpyxl, XlsxWriter, Gnumeric's ssconvert, and LibreOffice Calc
(headless) from a flat ODS written here, once converted and once saved through UNO with a
range selected.

    /usr/bin/python3 tests/data/make_workbooks.py
    (needs python3-openpyxl, python3-xlsxwriter, python3-uno, gnumeric, libreoffice-calc)

The outputs are committed; the tests only read them.
"""
import datetime
import os
import subprocess
import sys
import tempfile
import time

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, Side
import xlsxwriter

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

BORDER_STYLES = ["thin", "medium", "thick", "hair", "dashed", "dotted", "double", "dashDot",
                 "dashDotDot", "slantDashDot", "mediumDashed", "mediumDashDot"]


def openpyxl_workbook(path):
    wb = Workbook()
    first = wb.active
    first.title = "表紙"
    first["A1"] = "first sheet"

    ws = wb.create_sheet("Data")
    ws.column_dimensions["B"].width = 20.7109375       # 20 characters of Calibri 11
    ws.column_dimensions["C"].hidden = True
    ws.row_dimensions[3].height = 30
    ws.row_dimensions[4].hidden = True
    numbers = [  # (value, format)
        (1234.5, "General"), (1234.5, "0"), (1234.5, "#,##0.00"), (0.256, "0.0%"),
        (12345.678, "0.00E+00"), ("abc", "@"), (-3, "0;(0);\"zero\""), (0, "0;(0);\"zero\""),
        (datetime.date(2023, 2, 11), "yyyy/m/d"),
        (datetime.date(2023, 2, 11), 'yyyy"年"m"月"d"日"'),
        (datetime.date(2019, 5, 1), '[$-411]ggge"年"m"月"d"日"'),
        (datetime.time(13, 5), "h:mm"), (123456789012, "General"), (True, "General"),
    ]
    for i, (value, fmt) in enumerate(numbers):
        cell = ws.cell(row=6 + i, column=1, value=value)
        cell.number_format = fmt
    for i, style in enumerate(BORDER_STYLES):
        side = Side(style=style)
        ws.cell(row=6 + i, column=4, value=style).border = Border(top=side, bottom=side,
                                                                    left=side, right=side)
    ws["E6"].border = Border(diagonal=Side(style="thin"), diagonalDown=True)
    ws["E7"].border = Border(diagonal=Side(style="dashed"), diagonalUp=True)
    for i, align in enumerate(["general", "left", "center", "right", "fill", "justify",
                               "centerContinuous", "distributed"]):
        ws.cell(row=6 + i, column=6, value=align).alignment = Alignment(horizontal=align)
    ws["B2"] = "部品名\n（二行目）"
    ws["B2"].alignment = Alignment(wrap_text=True, horizontal="center")
    ws["B2"].font = Font(name="Calibri", size=10.5)
    ws.merge_cells("B2:D3")
    ws["B2"].border = Border(top=Side(style="thin"))
    ws["G2"] = "=1/0"      # a formula never calculated: no cached value
    ws.sheet_view.selection[0].sqref = "B2:F8"
    ws.sheet_view.selection[0].activeCell = "B2"
    wb.active = 1
    first.sheet_view.tabSelected = False
    wb.save(path)


FODS_HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:config="urn:oasis:names:tc:opendocument:xmlns:config:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
"""


def cell_styles():
    """Automatic cell styles: b = all thin borders, h = header (bold, centred, borders),
    n = numbers with thousands, w = wrapped text with borders, d = date."""
    edge = "0.74pt solid #000000"
    return f"""<office:automatic-styles>
 <number:number-style style:name="N3"><number:number number:decimal-places="0"
   number:min-integer-digits="1" number:grouping="true"/></number:number-style>
 <number:date-style style:name="D1"><number:year number:style="long"/><number:text>/</number:text>
   <number:month/><number:text>/</number:text><number:day/></number:date-style>
 <style:style style:name="co1" style:family="table-column"><style:table-column-properties style:column-width="0.9in"/></style:style>
 <style:style style:name="co2" style:family="table-column"><style:table-column-properties style:column-width="2.2in"/></style:style>
 <style:style style:name="co3" style:family="table-column"><style:table-column-properties style:column-width="0.6in"/></style:style>
 <style:style style:name="ro1" style:family="table-row"><style:table-row-properties style:row-height="0.3in" style:use-optimal-row-height="false"/></style:style>
 <style:style style:name="ro2" style:family="table-row"><style:table-row-properties style:row-height="0.45in" style:use-optimal-row-height="false"/></style:style>
 <style:style style:name="b" style:family="table-cell"><style:table-cell-properties fo:border="{edge}" fo:wrap-option="wrap"/></style:style>
 <style:style style:name="h" style:family="table-cell"><style:table-cell-properties fo:border="{edge}" style:vertical-align="middle"/>
   <style:paragraph-properties fo:text-align="center"/><style:text-properties fo:font-size="12pt" fo:font-weight="bold"/></style:style>
 <style:style style:name="n" style:family="table-cell" style:data-style-name="N3"><style:table-cell-properties fo:border="{edge}"/>
   <style:paragraph-properties fo:text-align="end"/></style:style>
 <style:style style:name="d" style:family="table-cell" style:data-style-name="D1"><style:table-cell-properties fo:border="{edge}"/></style:style>
 <style:style style:name="x" style:family="table-cell"><style:table-cell-properties fo:border="{edge}" style:diagonal-tl-br="{edge}"/></style:style>
 <style:style style:name="dash" style:family="table-cell"><style:table-cell-properties fo:border-bottom="0.74pt dashed #000000" fo:border-top="2.5pt double #000000"/></style:style>
</office:automatic-styles>
"""


def text_cell(style, text, span=None, rows=None):
    attrs = f' table:style-name="{style}"'
    if span:
        attrs += f' table:number-columns-spanned="{span}"'
    if rows:
        attrs += f' table:number-rows-spanned="{rows}"'
    paragraphs = "".join(f"<text:p>{line}</text:p>" for line in text.split("\n"))
    return f"<table:table-cell office:value-type=\"string\"{attrs}>{paragraphs}</table:table-cell>"


def number_cell(style, value):
    return (f'<table:table-cell table:style-name="{style}" office:value-type="float" '
            f'office:value="{value}"><text:p>{value}</text:p></table:table-cell>')


def date_cell(style, iso):
    return (f'<table:table-cell table:style-name="{style}" office:value-type="date" '
            f'office:date-value="{iso}"><text:p>{iso}</text:p></table:table-cell>')


COVERED = "<table:covered-table-cell/>"
PARTS = [  # 品番, 品名, 材質, 数量, 単価
    ("P-001", "ブラケット\n（左右対称）", "SS400", 4, 1250),
    ("P-002", "六角ボルト M12×40", "SCM435", 16, 85),
    ("P-003", "平座金 M12", "SUS304", 16, 12),
    ("P-004", "ベースプレート", "SS400", 1, 18400),
    ("P-005", "カバー\n板厚 t=1.6", "SPCC", 2, 3300),
]


def parts_sheet(name, selection_hidden_row=False):
    rows = []
    rows.append('<table:table-row table:style-name="ro1">' + text_cell("h", "部品表", span=6) +
                COVERED * 5 + "</table:table-row>")
    rows.append('<table:table-row table:style-name="ro1">' +
                text_cell("h", "No.", rows=2) + text_cell("h", "品番", rows=2) +
                text_cell("h", "品名", rows=2) + text_cell("h", "材質", rows=2) +
                text_cell("h", "数量・単価", span=2) + COVERED + "</table:table-row>")
    rows.append('<table:table-row table:style-name="ro1">' + COVERED * 4 +
                text_cell("h", "数量") + text_cell("h", "単価（円）") + "</table:table-row>")
    for i, (code, part, material, count, price) in enumerate(PARTS):
        style = "ro2" if "\n" in part else "ro1"
        rows.append(f'<table:table-row table:style-name="{style}">' + number_cell("n", i + 1) +
                    text_cell("b", code) + text_cell("b", part) + text_cell("b", material) +
                    number_cell("n", count) + number_cell("n", price) + "</table:table-row>")
    rows.append('<table:table-row table:style-name="ro1">' + text_cell("b", "作成日", span=2) +
                COVERED + date_cell("d", "2023-02-11") + text_cell("x", "") +
                text_cell("dash", "合計") + number_cell("n", sum(c * p for *_, c, p in PARTS)) +
                "</table:table-row>")
    if selection_hidden_row:
        rows.insert(4, '<table:table-row table:style-name="ro1" table:visibility="collapse">' +
                    text_cell("b", "（非表示）") + "</table:table-row>")
    columns = ('<table:table-column table:style-name="co3"/><table:table-column table:style-name="co1"/>'
               '<table:table-column table:style-name="co2"/><table:table-column table:style-name="co1"/>'
               '<table:table-column table:style-name="co3"/><table:table-column table:style-name="co1"/>')
    return f'<table:table table:name="{name}">{columns}{"".join(rows)}</table:table>'


# LibreOffice takes the active sheet and cursor from these view settings.
def settings(active, cursor_col, cursor_row):
    return f"""<office:settings><config:config-item-set config:name="ooo:view-settings">
 <config:config-item-map-indexed config:name="Views"><config:config-item-map-entry>
  <config:config-item config:name="ViewId" config:type="string">view1</config:config-item>
  <config:config-item config:name="ActiveTable" config:type="string">{active}</config:config-item>
  <config:config-item-map-named config:name="Tables"><config:config-item-map-entry config:name="{active}">
   <config:config-item config:name="CursorPositionX" config:type="int">{cursor_col}</config:config-item>
   <config:config-item config:name="CursorPositionY" config:type="int">{cursor_row}</config:config-item>
  </config:config-item-map-entry></config:config-item-map-named>
 </config:config-item-map-entry></config:config-item-map-indexed>
</config:config-item-set></office:settings>
"""


def libreoffice_workbook(path, sheets, active):
    body = (FODS_HEAD + settings(active, 2, 3) + cell_styles() +
            "<office:body><office:spreadsheet>" + "".join(sheets) +
            "</office:spreadsheet></office:body></office:document>\n")
    with tempfile.TemporaryDirectory() as tmp:
        stem = os.path.splitext(os.path.basename(path))[0]
        fods = os.path.join(tmp, stem + ".fods")
        with open(fods, "w", encoding="utf-8") as f:
            f.write(body)
        subprocess.run(["soffice", f"-env:UserInstallation=file://{tmp}/profile", "--headless",
                        "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir", tmp, fods],
                       check=True, stdout=subprocess.DEVNULL)
        os.replace(os.path.join(tmp, stem + ".xlsx"), path)


def libreoffice_saved_selection(path, sheets, active, cells):
    """The flat ODS opened in LibreOffice, `cells` of the sheet `active` selected, saved as .xlsx:
    LibreOffice keeps no range selection in ODF view settings, so it is made through UNO."""
    import uno
    from com.sun.star.beans import PropertyValue

    body = (FODS_HEAD + settings(active, 0, 0) + cell_styles() +
            "<office:body><office:spreadsheet>" + "".join(sheets) +
            "</office:spreadsheet></office:body></office:document>\n")
    with tempfile.TemporaryDirectory() as tmp:
        fods = os.path.join(tmp, "book.fods")
        with open(fods, "w", encoding="utf-8") as f:
            f.write(body)
        pipe = f"sheetlift{os.getpid()}"
        office = subprocess.Popen(["soffice", f"-env:UserInstallation=file://{tmp}/profile",
                                   "--headless", "--norestore", f"--accept=pipe,name={pipe};urp;"])
        try:
            local = uno.getComponentContext()
            resolver = local.ServiceManager.createInstanceWithContext(
                "com.sun.star.bridge.UnoUrlResolver", local)
            for _ in range(120):
                try:
                    ctx = resolver.resolve(f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
                    break
                except Exception:
                    time.sleep(0.5)
            desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
            doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(fods), "_blank", 0, ())
            sheet = doc.Sheets.getByName(active)
            doc.CurrentController.setActiveSheet(sheet)
            doc.CurrentController.select(sheet.getCellRangeByName(cells))
            doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath(path)),
                           (PropertyValue(Name="FilterName", Value="Calc MS Excel 2007 XML"),))
            doc.close(True)
            try:
                desktop.terminate()
            except Exception:  # the bridge goes down with the office
                pass
        finally:
            try:
                office.wait(timeout=60)
            except subprocess.TimeoutExpired:
                office.kill()


def xlsxwriter_workbook(path):
    """A parts table as XlsxWriter writes it: rich strings, merged areas, all diagonals,
    alignments, hidden rows and columns, a changed default row height, frozen panes and a
    saved selection on the second of three sheets, the first one hidden."""
    wb = xlsxwriter.Workbook(path)
    hidden = wb.add_worksheet("Hidden")
    hidden.write("A1", "not shown")
    ws = wb.add_worksheet("表")
    wb.add_worksheet("Notes").write("A1", "notes")
    hidden.hide()

    def fmt(**props):
        return wb.add_format(props)

    thin = {"border": 1}
    title = fmt(bold=True, font_size=14, align="center", valign="vcenter", border=2)
    head = fmt(bold=True, align="center", valign="vcenter", **thin)
    wrap = fmt(text_wrap=True, valign="vcenter", **thin)
    ws.set_default_row(18)
    ws.set_column("A:A", 5)
    ws.set_column("B:B", 10)
    ws.set_column("C:C", 24)
    ws.set_column("D:E", 9)
    ws.set_column("H:H", 12, None, {"hidden": True})
    ws.set_row(0, 24)
    ws.merge_range("A1:F1", "部品一覧表", title)
    ws.merge_range("A2:A3", "No.", head)
    for col, text in zip("BCD", ["品番", "品名", "材質"]):
        ws.merge_range(f"{col}2:{col}3", text, head)
    ws.merge_range("E2:F2", "数量・単価", head)
    ws.write("E3", "数量", head)
    ws.write("F3", "単価（円）", head)
    price = fmt(num_format="#,##0", **thin)
    for i, (code, part, material, count, unit) in enumerate(PARTS):
        row = 3 + i
        if "\n" in part:
            ws.set_row(row, 30)
        ws.write_number(row, 0, i + 1, fmt(align="center", **thin))
        ws.write(row, 1, code, wrap)
        ws.write(row, 2, part, wrap)
        ws.write(row, 3, material, wrap)
        ws.write_number(row, 4, count, fmt(num_format="0", **thin))
        ws.write_number(row, 5, unit, price)
    ws.write_rich_string("C9", "六角ナット ", fmt(bold=True, font_color="red"), "M12",
                         "（予備）", wrap)
    ws.set_row(9, None, None, {"hidden": True})
    ws.write("A10", "（非表示）")
    ws.write("A11", "作成日", fmt(**thin))
    ws.write_datetime("B11", datetime.datetime(2023, 2, 11), fmt(num_format="yyyy/m/d", **thin))
    ws.write_datetime("C11", datetime.datetime(2019, 5, 1),
                      fmt(num_format='[$-411]ggge"年"m"月"d"日"', align="right", **thin))
    ws.write("D11", "", fmt(diag_type=3, diag_border=1, **thin))
    ws.write("E11", "合計", fmt(diag_type=1, diag_border=4, **thin))
    ws.write_formula("F11", "=SUMPRODUCT(E4:E8,F4:F8)", price,
                     sum(c * p for *_, c, p in PARTS))
    ws.write("G11", "", fmt(diag_type=2, diag_border=7))
    aligns = ["left", "center", "right", "fill", "justify", "center_across", "distributed"]
    for i, align in enumerate(aligns):
        ws.write(11, i, align, fmt(align=align, font_size=9 + i))
    ws.write_datetime("A13", datetime.datetime(1900, 1, 1, 13, 5), fmt(num_format="h:mm"))
    ws.write_number("B13", 0.256, fmt(num_format="0.0%"))
    ws.write_number("C13", 1234.5)
    ws.write_number("D13", 1 / 3)
    ws.write_boolean("E13", True)
    ws.write_formula("F13", "=1/0", None, "#DIV/0!")
    ws.write_formula("G13", '="計"&"算"', None, "計算")
    ws.freeze_panes(3, 0)
    ws.set_selection("A1:F11")
    ws.activate()
    wb.close()


def gnumeric_workbook(source, path):
    """The XlsxWriter workbook read and written again by Gnumeric's own .xlsx writer."""
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(["ssconvert", "--export-type=Gnumeric_Excel:xlsx2", source, path],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       env=dict(os.environ, HOME=tmp))


def openpyxl_parts_table(path):
    """The sample: a parts table with merged headers, borders and two-line cells, saved with the
    whole table selected."""
    wb = Workbook()
    ws = wb.active
    ws.title = "部品表"
    thin, medium = Side(style="thin"), Side(style="medium")
    grid = Border(top=thin, bottom=thin, left=thin, right=thin)
    head = Border(top=medium, bottom=thin, left=thin, right=thin)
    font = Font(name="ＭＳ Ｐゴシック", size=11)
    for column, width in zip("ABCDEF", [6.7109375, 10.7109375, 24.7109375, 10.7109375,
                                         6.7109375, 12.7109375]):
        ws.column_dimensions[column].width = width
    ws.merge_cells("A1:F1")
    ws.merge_cells("A2:A3")
    ws.merge_cells("B2:B3")
    ws.merge_cells("C2:C3")
    ws.merge_cells("D2:D3")
    ws.merge_cells("E2:F2")
    ws.merge_cells("A9:B9")
    headers = {"A1": "部品表", "A2": "No.", "B2": "品番", "C2": "品名", "D2": "材質",
               "E2": "数量・単価", "E3": "数量", "F3": "単価（円）"}
    for row in range(1, 4):
        ws.row_dimensions[row].height = 18.75
        for column in range(1, 7):
            cell = ws.cell(row=row, column=column)
            cell.border = head if row == 1 else grid
            cell.alignment = Alignment(horizontal="center", vertical="center")
            cell.font = Font(name="ＭＳ Ｐゴシック", size=14 if row == 1 else 11, bold=True)
    for address, text in headers.items():
        ws[address] = text
    for i, (code, part, material, count, price) in enumerate(PARTS):
        row = 4 + i
        ws.row_dimensions[row].height = 30 if "\n" in part else 18.75
        for column, value in enumerate([i + 1, code, part, material, count, price], start=1):
            cell = ws.cell(row=row, column=column, value=value)
            cell.border, cell.font = grid, font
            cell.alignment = Alignment(wrap_text=True, vertical="center")
        ws.cell(row=row, column=6).number_format = "#,##0"
    ws.row_dimensions[9].height = 18.75
    ws["A9"], ws["C9"] = "作成日", datetime.date(2023, 2, 11)
    ws["C9"].number_format = '[$-411]ggge"年"m"月"d"日"'
    ws["E9"] = "合計"
    ws["F9"] = sum(c * p for *_, c, p in PARTS)
    ws["F9"].number_format = "#,##0"
    for column in range(1, 7):
        cell = ws.cell(row=9, column=column)
        cell.border, cell.font = Border(top=thin, bottom=medium, left=thin, right=thin), font
    ws["D9"].border = Border(top=thin, bottom=medium, left=thin, right=thin,
                             diagonal=thin, diagonalUp=True)
    ws.sheet_view.selection[0].sqref = "A1:F9"
    ws.sheet_view.selection[0].activeCell = "A1"
    wb.save(path)


def main():
    openpyxl_workbook(os.path.join(HERE, "openpyxl-styles.xlsx"))
    libreoffice_workbook(os.path.join(HERE, "libreoffice-parts.xlsx"),
                         ['<table:table table:name="Cover"><table:table-row><table:table-cell/>'
                          '</table:table-row></table:table>',
                          parts_sheet("部品表", selection_hidden_row=True)], "部品表")
    libreoffice_saved_selection(os.path.join(HERE, "libreoffice-selection.xlsx"),
                                ['<table:table table:name="Cover"><table:table-row>'
                                 '<table:table-cell/></table:table-row></table:table>',
                                 parts_sheet("部品表")], "部品表", "A2:F9")
    xlsxwriter_workbook(os.path.join(HERE, "xlsxwriter-parts.xlsx"))
    gnumeric_workbook(os.path.join(HERE, "xlsxwriter-parts.xlsx"),
                      os.path.join(HERE, "gnumeric-parts.xlsx"))
    openpyxl_parts_table(os.path.join(ROOT, "examples", "parts-table.xlsx"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
