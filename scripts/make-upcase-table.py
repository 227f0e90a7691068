#!/usr/bin/env python3
"""Writes text/upcase_table.cpp: NTFS's upcase table for the Basic
Multilingual Plane, which is Unicode's simple uppercase mapping, as runs of
characters that map by one offset.

Python's str.upper() gives the full mapping; for one character whose full
mapping is one character that is the simple mapping too. Where the full
mapping is longer (the Greek letters with a subscript iota, U+1F80..U+1FF3),
the simple mapping is the titlecase letter, when that is one character;
otherwise there is none (U+00DF, the ligatures). Characters that map outside
the plane are left out: NTFS compares UTF-16 units.

Usage: make-upcase-table.py [OUTPUT]   (default: text/upcase_table.cpp beside
this script's checkout)"""
import pathlib
import sys
import unicodedata


def simple_upper(c: str) -> str:
    upper = c.upper()
    if len(upper) == 1:
        return upper
    title = c.title()
    return title if len(title) == 1 else c


def pairs():
    for code in range(0x10000):
        if 0xD800 <= code <= 0xDFFF:
            continue
        upper = simple_upper(chr(code))
        if upper != chr(code) and ord(upper) < 0x10000:
            yield code, ord(upper)


def runs(mapped):
    """(first, delta mod 2^16, length, step): first + k * step maps to itself + delta."""
    out = []
    i = 0
    while i < len(mapped):
        first, upper = mapped[i]
        delta = (upper - first) & 0xFFFF
        best = (1, 1)
        for step in (1, 2):
            j = i
            while (j + 1 < len(mapped) and j - i + 2 <= 255 and mapped[j + 1][0] == mapped[j][0] + step
                   and (mapped[j + 1][1] - mapped[j + 1][0]) & 0xFFFF == delta):
                j += 1
            if j - i + 1 > best[0]:
                best = (j - i + 1, step)
        length, step = best
        out.append((first, delta, length, step))
        i += length
    return out


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "text" / "upcase_table.cpp"
    mapped = list(pairs())
    table = runs(mapped)
    lines = [
        f"// Written by scripts/make-upcase-table.py from Unicode {unicodedata.unidata_version} (Python's"
        " unicodedata):",
        f"// {len(mapped)} characters in {len(table)} runs. Do not edit; run the script again.",
        '#include "text/upcase_table.h"',
        "",
        "namespace zsetup {",
        "",
        "// One run a line, as written.",
        "// clang-format off",
        "const UpcaseRun kUpcaseRuns[] = {",
    ]
    for first, delta, length, step in table:
        lines.append(f"    {{0x{first:04X}, 0x{delta:04X}, {length}, {step}}},")
    lines += [
        "};",
        "// clang-format on",
        "",
        "const std::size_t kUpcaseRunCount = sizeof kUpcaseRuns / sizeof kUpcaseRuns[0];",
        "",
        "}  // namespace zsetup",
        "",
    ]
    output.write_text("\n".join(lines), encoding="utf-8")


if __name__ == "__main__":
    main()
