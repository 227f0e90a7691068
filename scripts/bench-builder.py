#!/usr/bin/env python3
"""Builder benchmark: packs a generated product of 120 MB in 256 files (the
most a record's file table holds) and prints the build time, the throughput
and the builder's peak memory.

    bench-builder.py ZSETUP STUB WORK_DIR
"""
import os
import random
import resource
import subprocess
import sys
import time

FILES = 256
TOTAL = 120 * 1024 * 1024


def generate(work):
    src = os.path.join(work, "files")
    os.makedirs(src, exist_ok=True)
    rng = random.Random(2026)
    text = (b"The quick brown fox jumps over the lazy dog. " * 64)
    rows = []
    left = TOTAL
    for i in range(FILES):
        size = left // (FILES - i)
        size = max(0, int(size * rng.uniform(0.2, 1.8))) if i < FILES - 1 else left
        size = min(size, left)
        left -= size
        # Like real programs: part incompressible, part repetitive.
        half = size // 2
        data = os.urandom(half) + (text * (size // len(text) + 1))[: size - half]
        name = f"f{i:04d}.bin"
        with open(os.path.join(src, name), "wb") as f:
            f.write(data)
        rows.append(f'[[file]]\nsource = "files/{name}"\nname = "\\\\data\\\\d{i // 32}\\\\{name}"\n')
    with open(os.path.join(work, "licence.txt"), "w", encoding="utf-8") as f:
        f.write("基准测试\n")
    with open(os.path.join(work, "bench.toml"), "w", encoding="utf-8") as f:
        f.write('licence = "licence.txt"\n[product]\nname = "基准"\nversion = "1"\n'
                'company_key = "Bench"\ndefault_folder = "基准"\n\n' + "".join(rows))
    return os.path.join(work, "bench.toml")


def main():
    zsetup, stub, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    manifest = generate(work)
    payload = sum(os.path.getsize(os.path.join(work, "files", n)) for n in os.listdir(os.path.join(work, "files")))
    out = os.path.join(work, "setup.exe")
    env = dict(os.environ, SOURCE_DATE_EPOCH="1796860800")
    start = time.monotonic()
    subprocess.run([zsetup, "build", manifest, "-o", out, "--stub", stub], check=True, env=env,
                   stderr=subprocess.DEVNULL)
    seconds = time.monotonic() - start
    peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss * 1024
    packed = os.path.getsize(out)
    mb = 1024 * 1024
    print(f"files:      {FILES}")
    print(f"payload:    {payload / mb:.1f} MB")
    print(f"setup.exe:  {packed / mb:.1f} MB")
    print(f"build time: {seconds:.2f} s")
    print(f"throughput: {payload / mb / seconds:.1f} MB/s")
    print(f"peak RSS:   {peak / mb:.1f} MB (payload + packed = {(payload + packed) / mb:.1f} MB)")


if __name__ == "__main__":
    main()
