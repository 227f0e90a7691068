#!/usr/bin/python3
"""What pefile (python3-pefile), a PE reader sharing no code with zsetup,
reads from a program: its sections, its version information's string
tables, its base relocations and its resource types, as JSON.

    pefile_summary.py PROGRAM
"""
import json
import sys

import pefile


def summary(path):
    pe = pefile.PE(path)
    out = {"sections": [s.Name.rstrip(b"\0").decode("ascii", "replace") for s in pe.sections],
           "version": {}, "relocations": [], "resource_types": []}
    for info in getattr(pe, "FileInfo", []):
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                out["version"][table.LangID.decode()] = {k.decode(): v.decode() for k, v in table.entries.items()}
    for block in getattr(pe, "DIRECTORY_ENTRY_BASERELOC", []):
        out["relocations"].append([block.struct.VirtualAddress, [[e.type, e.rva] for e in block.entries]])
    if hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
            out["resource_types"].append(str(kind.name) if kind.name is not None else kind.id)
    return out


if __name__ == "__main__":
    print(json.dumps(summary(sys.argv[1]), ensure_ascii=False, sort_keys=True))
