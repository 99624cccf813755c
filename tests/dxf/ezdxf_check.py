"""Reads every DXF file of a folder with ezdxf and checks it against the JSON file beside it.

Expectations (name.json): {"declared": bool, "layers": {layer: count}, "texts": [[text, x, y]]}.
A file that declares its code page is read without an encoding, so ezdxf must find it in the
header; the others are read as cp932. Exits non-zero with one line per failure.
"""
import json
import pathlib
import sys

import ezdxf


def check(path, want):
    failures = []
    if want["declared"]:
        doc = ezdxf.readfile(path)
    else:
        doc = ezdxf.readfile(path, encoding="cp932")
    if doc.encoding.lower() != "cp932":
        failures.append(f"encoding {doc.encoding}")
    auditor = doc.audit()
    for error in auditor.errors:
        failures.append(f"audit error: {error.message}")
    layers = {}
    texts = []
    for entity in doc.modelspace():
        layer = entity.dxf.layer
        layers[layer] = layers.get(layer, 0) + 1
        if entity.dxftype() == "TEXT":
            texts.append([entity.dxf.text, entity.dxf.insert.x, entity.dxf.insert.y])
    if layers != want["layers"]:
        failures.append(f"layers {layers}, expected {want['layers']}")
    if len(texts) != len(want["texts"]):
        failures.append(f"{len(texts)} texts, expected {len(want['texts'])}")
    for got, exp in zip(texts, want["texts"]):
        if got[0] != exp[0] or abs(got[1] - exp[1]) > 1e-9 or abs(got[2] - exp[2]) > 1e-9:
            failures.append(f"text {got}, expected {exp}")
    return [f"{path.name}: {f}" for f in failures]


def main():
    folder = pathlib.Path(sys.argv[1])
    failures = []
    files = sorted(folder.glob("*.dxf"))
    for path in files:
        want = json.loads(path.with_suffix(".json").read_text(encoding="utf-8"))
        failures += check(path, want)
    for line in failures:
        print(line)
    print(f"{len(files)} files checked, {len(failures)} failures")
    return 1 if failures or not files else 0


if __name__ == "__main__":
    sys.exit(main())
