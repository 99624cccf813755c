#!/usr/bin/python3
"""Benchmark snapshots in the form `sheetlift-cli snapshot` writes, with the cells of the
benchmark workbook (bench/workbook_bench.py), and CPython's json.load of a file for comparison.

    bench/snapshot_bench.py make ROWS COLUMNS PATH   write a ROWS x COLUMNS snapshot
    bench/snapshot_bench.py over-cap ROWS COLUMNS PATH  the same, its header promising
                                                      1048576 x 16384 cells
    bench/snapshot_bench.py load PATH                 json.load the file
"""
import json
import sys

NO_LINE = -4142


def cell(r, c, merged):
    value = f"部品{(r * c) % 500}" if c % 2 else r * c + 0.25
    dashed = (r + c) % 2
    return {
        "columnWidth": 10.71, "rowHeight": 18.75,
        "horizontalAlignment": [1, -4131, -4108, -4152][c % 4], "fontSize": 11.0,
        "text": value if isinstance(value, str) else f"{value:,.2f}", "value2": value,
        "borders": {"top": -4115 if dashed else 1, "bottom": 1, "left": 1,
                    "right": -4115 if dashed else 1, "diagonalDown": NO_LINE,
                    "diagonalUp": NO_LINE},
        "mergeCells": merged,
        "mergeArea": {"rows": 1, "columns": 3 if merged else 1,
                      "left": 0.0 if merged else (c - 1) * 56.25, "top": (r - 1) * 18.75},
    }


def make(rows, columns, path, header_rows=None, header_columns=None):
    head = {"format": "sheetlift-selection", "version": 1, "workbook": "bench.xlsx",
            "sheet": "Sheet", "row": 1, "column": 1, "rows": header_rows or rows,
            "columns": header_columns or columns}
    with open(path, "w", encoding="utf-8") as out:
        out.write(json.dumps(head, ensure_ascii=False, separators=(",", ":"))[:-1])
        out.write(',"cells":[\n')
        for r in range(1, rows + 1):
            for c in range(1, columns + 1):
                merged = r % 10 == 0 and c <= 3
                out.write(json.dumps(cell(r, c, merged), ensure_ascii=False,
                                     separators=(",", ":")))
                out.write("\n" if r == rows and c == columns else ",\n")
        out.write("]}\n")


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "make":
        make(int(sys.argv[2]), int(sys.argv[3]), sys.argv[4])
    elif command == "over-cap":
        make(int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], 1048576, 16384)
    else:
        with open(sys.argv[2], encoding="utf-8") as f:
            json.load(f)
