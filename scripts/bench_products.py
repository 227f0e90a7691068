"""The benchmark's products, generated the same on every run: their files, a
zsetup manifest and NSIS scripts (zlib and solid LZMA) installing the same
files under the same names.

    typical  5 files, ~1.4 MB: two programs, a data file, two texts
    large    256 files (the most a record holds), 120 MB
    huge     256 files, 1.5 GB

Content is mixed like a real product's: text, random (already compressed)
bytes, repetitive runs, and PE-like bytes taken from Wine's own 32-bit DLLs.
"""
import glob
import os
import random

MB = 1024 * 1024
FILES_MAX = 256

PRODUCTS = {
    "typical": {"files": 5, "total": 1_390_000},
    "large": {"files": FILES_MAX, "total": 120 * MB},
    "huge": {"files": FILES_MAX, "total": 1536 * MB},
}

WORDS = (b"install setup product version folder registry shortcut licence the a of to and "
         b"\xb0\xb2\xd7\xb0 \xb3\xcc\xd0\xf2 \xce\xc4\xbc\xfe data value key windows program files\r\n").split(b" ")


class Content:
    """Deterministic bytes of the four kinds."""

    def __init__(self, seed):
        self.rng = random.Random(seed)
        dlls = sorted(glob.glob("/usr/lib/i386-linux-gnu/wine/i386-windows/*.dll"))
        pe = bytearray()
        for dll in dlls:
            with open(dll, "rb") as f:
                pe += f.read()
            if len(pe) >= 24 * MB:
                break
        if not pe:  # no wine32 here: a stand-in with a program's byte statistics is better than none
            pe = bytearray(self.rng.randbytes(MB)) + bytes(MB)
        self.pe = bytes(pe)

    def text(self, n):
        if not hasattr(self, "prose"):  # made once: slices of it are quick
            lines = bytearray()
            while len(lines) < 2 * MB:
                lines += b" ".join(self.rng.choice(WORDS) for _ in range(64)) + b".\r\n"
            self.prose = bytes(lines)
        out = bytearray()
        while len(out) < n:
            at = self.rng.randrange(0, len(self.prose) // 2)
            out += self.prose[at:at + min(n - len(out), len(self.prose) // 2)]
        return bytes(out)

    def random(self, n):
        return self.rng.randbytes(n)

    def repetitive(self, n):
        unit = self.rng.randbytes(self.rng.randint(1, 64)) * self.rng.randint(4, 64)
        return (unit * (n // len(unit) + 1))[:n]

    def pe_like(self, n):
        at = self.rng.randrange(0, max(1, len(self.pe) - n)) if n < len(self.pe) else 0
        chunk = self.pe[at:at + n]
        return (chunk * (n // max(1, len(chunk)) + 1))[:n] if len(chunk) < n else chunk

    def mixed(self, n):
        """Segments of every kind, in the proportions of a typical program folder."""
        out = bytearray()
        kinds = (self.pe_like, self.pe_like, self.random, self.text, self.repetitive)
        while len(out) < n:
            size = min(n - len(out), self.rng.randint(64 * 1024, 2 * MB))
            out += self.rng.choice(kinds)(size)
        return bytes(out)


def typical_files(content):
    """A program, its uninstaller, packed assets (already compressed, like
    pictures) and two texts: shaped like the product the issue measured, whose
    NSIS zlib installer was 0.68 of its files."""
    return [
        ("bin/app.exe", "\\app.exe", content.pe_like(640_000)),
        ("bin/uninstall.exe", "\\uninstall.exe", content.pe_like(150_000)),
        ("data/assets.pak", "\\data\\assets.pak", content.random(520_000) + content.repetitive(20_000)),
        ("readme.txt", "\\readme.txt", content.text(40_000)),
        ("licence.txt", "\\licence.txt", content.text(20_000)),
    ]


def spread_files(content, count, total):
    rows, left = [], total
    for i in range(count):
        size = left // (count - i)
        size = max(0, int(size * content.rng.uniform(0.2, 1.8))) if i < count - 1 else left
        size = min(size, left)
        left -= size
        rows.append((f"files/f{i:04d}.bin", f"\\data\\d{i // 32}\\f{i:04d}.bin", None, size))
    return rows


def generate(kind, work):
    """Writes the product into work/ once (kept while its recipe stays the
    same) and returns (manifest, nsis scripts by compressor, payload bytes,
    (source, installed name) of each file)."""
    shape = PRODUCTS[kind]
    stamp = os.path.join(work, ".generated")
    recipe = f"{kind} {shape} v4"
    fresh = os.path.exists(stamp) and open(stamp).read() == recipe
    content = Content(kind)
    if kind == "typical":
        rows = [(s, n, d, len(d)) for s, n, d in typical_files(content)]
    else:
        rows = spread_files(content, shape["files"], shape["total"])
    if not fresh:
        os.makedirs(work, exist_ok=True)
        for source, _, data, size in rows:
            path = os.path.join(work, source)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                if data is not None:
                    f.write(data)
                else:
                    while size > 0:  # in pieces: a huge product never sits in memory
                        piece = min(size, 16 * MB)
                        f.write(content.mixed(piece))
                        size -= piece
    with open(os.path.join(work, "bench-licence.txt"), "w", encoding="utf-8") as f:
        f.write("基准测试\n")
    manifest = os.path.join(work, "product.toml")
    with open(manifest, "w", encoding="utf-8") as f:
        # The typical product carries its own uninstaller; the others none, as the NSIS scripts.
        f.write('uninstaller = false\nlicence = "bench-licence.txt"\n[product]\nname = "基准"\nversion = "1"\n'
                'company_key = "Bench"\ndefault_folder = "基准"\n\n')
        for source, name, _, _ in rows:
            f.write(f'[[file]]\nsource = "{source}"\nname = "{name.replace(chr(92), chr(92) * 2)}"\n')
    scripts = {compressor: write_nsis(work, rows, compressor) for compressor in ("zlib", "lzma")}
    if not fresh:
        with open(stamp, "w") as f:
            f.write(recipe)
    return manifest, scripts, sum(r[3] for r in rows), [(os.path.join(work, r[0]), r[1]) for r in rows]


def write_nsis(work, rows, compressor):
    """The same files, folders and an uninstall entry, installed silently."""
    path = os.path.join(work, f"nsis-{compressor}.nsi")
    setting = "SetCompressor /FINAL zlib" if compressor == "zlib" else "SetCompressor /SOLID /FINAL lzma"
    lines = [
        "Unicode true", setting, 'Name "Bench"', f'OutFile "setup-nsis-{compressor}.exe"',
        'InstallDir "C:\\bench-nsis"', "RequestExecutionLevel user", "Page directory", "Page instfiles",
        'Section "Files"',
    ]
    folder = None
    for source, name, _, _ in rows:
        parent, base = name.rsplit("\\", 1)
        if parent != folder:
            lines.append(f'  SetOutPath "$INSTDIR{parent}"')
            folder = parent
        lines.append(f'  File "/oname={base}" "{source.replace("/", chr(92))}"')
    lines += [
        '  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\BenchNsis" '
        '"DisplayName" "Bench"',
        "SectionEnd",
    ]
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    return path
