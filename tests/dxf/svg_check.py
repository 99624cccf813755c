"""Checks every SVG picture of a folder against the DXF file beside it, read with ezdxf.

For name.svg and name.dxf (code page 932): the SVG is well-formed, has one group per layer with
the layer's name as id, as many line and polygon elements in each layer as the DXF has LINE and
POLYLINE entities there, and the same texts at the same points (y turned). Files named
render-*.svg must also render (rsvg-convert) to a picture that is not blank. Exits non-zero with
one line per failure.
"""
import pathlib
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

import ezdxf

SVG = "{http://www.w3.org/2000/svg}"


def dxf_entities(path):
    doc = ezdxf.readfile(path, encoding="cp932")
    lines, texts = {}, []
    for e in doc.modelspace():
        if e.dxftype() in ("LINE", "POLYLINE"):
            lines[e.dxf.layer] = lines.get(e.dxf.layer, 0) + 1
        elif e.dxftype() == "TEXT":
            texts.append((e.dxf.layer, e.dxf.text, e.dxf.insert.x, e.dxf.insert.y, e.dxf.height))
    return lines, texts


def svg_entities(path):
    root = ET.parse(path).getroot()
    lines, texts, failures = {}, [], []
    if root.tag != SVG + "svg" or root.get("version") != "1.1":
        failures.append(f"root {root.tag} version {root.get('version')}")
    for group in root:
        layer = group.get("id")
        for e in group:
            tag = e.tag[len(SVG):]
            if tag in ("line", "polygon"):
                lines[layer] = lines.get(layer, 0) + 1
            elif tag == "text":
                size = float(e.get("font-size"))
                # The baseline lies half a text height below the text's middle.
                y = -(float(e.get("y")) - size / 2)
                texts.append((layer, e.text or "", float(e.get("x")), y, size))
            else:
                failures.append(f"element {tag} in {layer}")
    ids = [g.get("id") for g in root]
    if sorted(ids) != ["XLSBordLine", "XLSCellLine", "XLSCellText"]:
        failures.append(f"groups {ids}")
    return lines, texts, failures


def painted_pixels(svg):
    """Pixels that are not fully transparent in rsvg-convert's rendering."""
    with tempfile.TemporaryDirectory() as tmp:
        png = pathlib.Path(tmp) / "out.png"
        subprocess.run(["rsvg-convert", "-w", "800", "-f", "png", "-o", str(png), str(svg)],
                       check=True)
        data = png.read_bytes()
    chunks, pos = {}, 8
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        kind = data[pos + 4:pos + 8]
        chunks[kind] = chunks.get(kind, b"") + data[pos + 8:pos + 8 + length]
        pos += 12 + length
    width = int.from_bytes(chunks[b"IHDR"][0:4], "big")
    if chunks[b"IHDR"][8:10] != b"\x08\x06":
        raise ValueError("expected 8-bit RGBA")
    raw = zlib.decompress(chunks[b"IDAT"])
    stride = 1 + 4 * width
    previous = bytearray(stride - 1)
    painted = 0
    for start in range(0, len(raw), stride):
        kind, row = raw[start], bytearray(raw[start + 1:start + stride])
        for i in range(len(row)):
            a = row[i - 4] if i >= 4 else 0
            b = previous[i]
            c = previous[i - 4] if i >= 4 else 0
            if kind == 1:
                row[i] = (row[i] + a) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + b) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
                row[i] = (row[i] + pred) & 0xFF
        painted += sum(1 for i in range(3, len(row), 4) if row[i])
        previous = row
    return painted


def check(svg_path):
    failures = []
    dxf_lines, dxf_texts = dxf_entities(svg_path.with_suffix(".dxf"))
    svg_lines, svg_texts, failures = svg_entities(svg_path)
    if svg_lines != dxf_lines:
        failures.append(f"lines {svg_lines}, DXF {dxf_lines}")
    if len(svg_texts) != len(dxf_texts):
        failures.append(f"{len(svg_texts)} texts, DXF {len(dxf_texts)}")
    for got, want in zip(svg_texts, dxf_texts):
        if got[:2] != want[:2] or any(abs(g - w) > 1e-9 for g, w in zip(got[2:], want[2:])):
            failures.append(f"text {got}, DXF {want}")
    if svg_path.name.startswith("render-") and painted_pixels(svg_path) < 1000:
        failures.append("renders blank")
    return [f"{svg_path.name}: {f}" for f in failures]


def main():
    files = sorted(pathlib.Path(sys.argv[1]).glob("*.svg"))
    failures = []
    for path in files:
        failures += check(path)
    for line in failures:
        print(line)
    print(f"{len(files)} pictures checked, {len(failures)} failures")
    return 1 if failures or not files else 0


if __name__ == "__main__":
    sys.exit(main())
