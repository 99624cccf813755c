#!/usr/bin/python3
"""The 1000 x 100 styled benchmark workbook, and openpyxl reading the same attributes the
workbook source reads, for comparison.

    bench/workbook_bench.py make PATH [ROWS COLUMNS]   write the workbook (openpyxl)
    bench/workbook_bench.py read PATH [ROWS COLUMNS]   read every cell's attributes; prints
                                                       the seconds
"""
import sys
import time

from openpyxl import Workbook, load_workbook
from openpyxl.styles import Alignment, Border, Side
from openpyxl.utils import get_column_letter

ROWS, COLUMNS = 1000, 100


def make(path):
    wb = Workbook()
    ws = wb.active
    thin, dashed = Side(style="thin"), Side(style="dashed")
    borders = [Border(top=thin, bottom=thin, left=thin, right=thin),
               Border(top=dashed, bottom=thin, left=thin, right=dashed)]
    aligns = [Alignment(horizontal=h) for h in ("general", "left", "center", "right")]
    formats = ["General", "#,##0.00", "0%", "yyyy/m/d", "@"]
    for r in range(1, ROWS + 1):
        for c in range(1, COLUMNS + 1):
            value = f"部品{(r * c) % 500}" if c % 2 else r * c + 0.25
            cell = ws.cell(row=r, column=c, value=value)
            cell.border = borders[(r + c) % 2]
            cell.alignment = aligns[c % 4]
            cell.number_format = formats[c % 5]
        if r % 10 == 0:
            ws.merge_cells(start_row=r, start_column=1, end_row=r, end_column=3)
        ws.row_dimensions[r].height = 18.75
    for c in range(1, COLUMNS + 1):
        ws.column_dimensions[get_column_letter(c)].width = 10.7109375
    ws.sheet_view.selection[0].sqref = f"A1:{get_column_letter(COLUMNS)}{ROWS}"
    wb.save(path)


def read(path):
    start = time.perf_counter()
    wb = load_workbook(path)
    ws = wb.active
    merged = {}
    for area in ws.merged_cells.ranges:
        for row in range(area.min_row, area.max_row + 1):
            for column in range(area.min_col, area.max_col + 1):
                merged[(row, column)] = area
    table = []
    for r in range(1, ROWS + 1):
        height = ws.row_dimensions[r].height
        for c in range(1, COLUMNS + 1):
            cell = ws.cell(row=r, column=c)
            b = cell.border
            table.append((ws.column_dimensions[get_column_letter(c)].width, height,
                          cell.alignment.horizontal, cell.font.sz, cell.value, cell.number_format,
                          b.top.style, b.bottom.style, b.left.style, b.right.style,
                          getattr(b.diagonal, "style", None), (r, c) in merged))
    print(f"{time.perf_counter() - start:.3f}")


if __name__ == "__main__":
    if len(sys.argv) > 3:
        ROWS, COLUMNS = int(sys.argv[3]), int(sys.argv[4])
    {"make": make, "read": read}[sys.argv[1]](sys.argv[2])
