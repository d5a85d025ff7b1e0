#!/usr/bin/env python3
"""Cross-checks Orvelt's property-list files with Python's plistlib.

For each fixture (written by plistlib, or by hand in another declared encoding): Orvelt reads it
and writes it back (plist_rewrite), and plistlib must read Orvelt's file with the same content
as the fixture, keys in the same order, plus the strings plist_rewrite adds.

    plistlib_cross_check.py PLIST_REWRITE OUTPUT_DIR FIXTURE...
"""
import plistlib
import subprocess
import sys
from pathlib import Path


def same(a, b, where="root"):
    if type(a) is not type(b):
        raise AssertionError(f"{where}: {type(a).__name__} != {type(b).__name__}")
    if isinstance(a, dict):
        if list(a.keys()) != list(b.keys()):
            raise AssertionError(f"{where}: keys {list(a.keys())} != {list(b.keys())}")
        for key in a:
            same(a[key], b[key], f"{where}/{key}")
    elif isinstance(a, list):
        if len(a) != len(b):
            raise AssertionError(f"{where}: {len(a)} items != {len(b)}")
        for i, (x, y) in enumerate(zip(a, b)):
            same(x, y, f"{where}[{i}]")
    elif a != b:
        raise AssertionError(f"{where}: {a!r} != {b!r}")


def main():
    rewrite, out_dir, fixtures = sys.argv[1], Path(sys.argv[2]), sys.argv[3:]
    out_dir.mkdir(parents=True, exist_ok=True)
    for fixture in fixtures:
        written = out_dir / ("orvelt-" + Path(fixture).name)
        subprocess.run([rewrite, fixture, str(written)], check=True)
        with open(fixture, "rb") as f:
            expected = plistlib.load(f)
        expected["Carriage return"] = "line\r\nnext\rlast"
        # Characters XML 1.0 cannot hold are written as U+FFFD.
        expected["Control"] = "CTL\ufffdX\ufffd[31m"
        with open(written, "rb") as f:
            actual = plistlib.load(f)
        same(expected, actual)
        mode = written.stat().st_mode & 0o777
        if mode != 0o600:
            raise AssertionError(f"{written}: mode {oct(mode)}, expected 0o600")
        print(f"{fixture}: same content in plistlib")


if __name__ == "__main__":
    main()
