#!/usr/bin/env python3
"""zsetup side by side with NSIS 3 (makensis, zlib and solid LZMA).

For each generated product (see bench_products.py) it builds the installer
with the three builders and installs it under Wine, in interleaved rounds
after one discarded warm-up round, and prints the median and the range of
every figure with its ratio to NSIS-zlib:

  setup.exe    the installer's size in bytes
  build        wall time of one build, and the builder's peak resident size
  install      zsetup: start to page 0 plus the installation run, driven
               through the wizard (scripts/bench-installer.sh), and the
               installer's peak resident size; "install run" is the run
               alone (page 3's Next to page 5), against NSIS's whole
               silent install;
               zsetup-silent and NSIS: the silent install (/S /D=...) from
               start to exit, and its peak resident size
  Every install is checked: each file there with its source's bytes (the
  huge product, 1.5 GB, is more than twice what a 32-bit process can address).
  Peak resident sizes are GNU time's: the largest process the command ran
  (under Wine, the Wine process becomes the program).

A second table gives the builder's own peak resident size on the large and
huge products, building, verifying and extracting (zsetup only; with
--no-install too): what a maker's machine needs for each.

    bench.py ZSETUP STUB DRIVER WORK_DIR [--rounds N] [--products a,b,c]
"""
import argparse
import filecmp
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench_products  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
EPOCH = "1796860800"
# zsetup-silent is the same setup.exe as zsetup, installed with /S /D= as NSIS is.
TOOLS = ("zsetup", "zsetup-silent", "nsis-zlib", "nsis-lzma")
# The products the builder's readers are measured on: memory that grew with
# the payload shows there.
READER_PRODUCTS = ("large", "huge")


def measured(cmd, cwd=None, env=None, timeout=None):
    """(seconds, peak resident bytes of the largest process, exit code, stderr).

    The peak comes from GNU time, which starts the command itself: a child
    forked from this Python process would carry Python's own resident size
    into its peak (Linux keeps the larger of the two across exec)."""
    with tempfile.TemporaryFile() as errors, tempfile.NamedTemporaryFile("r") as peak:
        start = time.monotonic()
        proc = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak.name] + cmd, cwd=cwd, env=env,
                                stdout=subprocess.DEVNULL, stderr=errors)
        try:
            proc.wait(timeout)
        except BaseException:
            proc.kill()
            raise
        seconds = time.monotonic() - start
        errors.seek(0)
        err = errors.read().decode("utf-8", "replace")
        kib = peak.read().strip().splitlines()
    return seconds, (float(kib[-1]) * 1024 if kib else float("nan")), proc.returncode, err


def print_stub_sections(stub):
    """The stub's size, and what its sections take (raw bytes in the file)."""
    print(f"stub {stub}: {os.path.getsize(stub)} bytes")
    listing = subprocess.run(["i686-w64-mingw32-objdump", "-h", stub], stdout=subprocess.PIPE, text=True).stdout
    for line in listing.splitlines():
        parts = line.split()
        if len(parts) >= 7 and parts[0].isdigit():
            print(f"  {parts[1]:10} {int(parts[2], 16):>9} bytes")


class Bench:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        self.results = {}  # (product, figure, tool) -> [values]
        self.notes = []
        self.wine_dir = os.path.join(self.work, "wine")

    def record(self, product, figure, tool, value):
        self.results.setdefault((product, figure, tool), []).append(value)

    def note(self, text):
        print("  " + text, flush=True)
        self.notes.append(text)

    # --- builds -----------------------------------------------------------
    def build(self, product, tool, manifest, scripts, keep):
        folder = os.path.dirname(manifest)
        out = os.path.join(folder, f"setup-{tool}.exe")
        if os.path.exists(out):
            os.remove(out)
        if tool == "zsetup":
            cmd = [self.args.zsetup, "build", manifest, "-o", out, "--stub", self.args.stub]
        else:
            cmd = ["makensis", "-V1", scripts[tool.split("-")[1]]]
        env = dict(os.environ, SOURCE_DATE_EPOCH=EPOCH)
        seconds, peak, rc, err = measured(cmd, cwd=folder, env=env)
        if rc != 0 or not os.path.exists(out):
            self.note(f"{product}: {tool} build failed ({rc}): {err.strip()[-300:]}")
            return None
        if keep:
            self.record(product, "build s", tool, seconds)
            self.record(product, "build peak MiB", tool, peak / 2**20)
            self.record(product, "setup.exe bytes", tool, os.path.getsize(out))
        return out

    # --- the builder's readers ---------------------------------------------
    def readers(self, product, setup, files):
        """verify and extract with the builder, their peaks beside the build's."""
        out = os.path.join(self.work, product, "extracted")
        shutil.rmtree(out, ignore_errors=True)
        for command, args in (("verify", [setup]), ("extract", [setup, out])):
            seconds, peak, rc, err = measured([self.args.zsetup, command] + args)
            if rc != 0:
                self.note(f"{product}: zsetup {command} failed ({rc}): {err.strip()[-300:]}")
                continue
            self.record(product, f"{command} s", "zsetup", seconds)
            self.record(product, f"{command} peak MiB", "zsetup", peak / 2**20)
        if os.path.isdir(out):
            differing = [name for source, name in files
                         if not filecmp.cmp(source, os.path.join(out, *name.strip("\\").split("\\")), shallow=False)]
            if differing:
                self.note(f"{product}: zsetup extract: {len(differing)} files differ (first: {differing[0]})")
            shutil.rmtree(out)

    # --- installs ---------------------------------------------------------
    def prefix(self):
        with open(os.path.join(self.wine_dir, "run", "env")) as f:
            for line in f:
                if "WINEPREFIX=" in line:
                    return line.split("WINEPREFIX=", 1)[1].strip().strip("'\"")
        raise RuntimeError("no WINEPREFIX in the Wine environment")

    def forget_installs(self):
        drive_c = os.path.join(self.prefix(), "drive_c")
        for name in ("基准", "bench-nsis"):
            shutil.rmtree(os.path.join(drive_c, name), ignore_errors=True)
        # Else the next zsetup install starts with "already installed?".
        run = [os.path.join(HERE, "wine", "wine-run"), self.wine_dir, "reg", "delete"]
        for key in ("HKLM\\Software\\Bench", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\基准"):
            subprocess.run(run + [key, "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def installed_files(self, folder):
        root = os.path.join(self.prefix(), "drive_c", folder)
        return sum(len(files) for _, _, files in os.walk(root))

    def differing_files(self, folder, files):
        """The installed names whose bytes are not their source's."""
        root = os.path.join(self.prefix(), "drive_c", folder)
        return [name for source, name in files
                if not filecmp.cmp(source, os.path.join(root, *name.strip("\\").split("\\")), shallow=False)]

    def install(self, product, tool, setup, files, keep, shots=None):
        """Installs, checks that every file is there with its source's bytes
        and, with keep, records the figures."""
        self.forget_installs()
        if tool == "zsetup":
            cmd = [os.path.join(HERE, "bench-installer.sh"), self.wine_dir, self.args.driver, setup]
            if shots:
                cmd.append(shots)
            out = subprocess.run(cmd, stdout=subprocess.PIPE, text=True).stdout.strip().splitlines()
            fields = dict(kv.split("=", 1) for kv in (out[-1] if out else "outcome=no output").split(" ", 5)
                          if "=" in kv)
            outcome = fields.get("outcome", "?")
            seconds, peak = float(fields.get("seconds", "nan")), float(fields.get("peak_kib", "nan")) * 1024
            run_seconds = float(fields.get("run", "nan"))
            folder = "基准"
        else:
            folder = "基准" if tool == "zsetup-silent" else "bench-nsis"
            env = dict(os.environ, ZSETUP_WINE_TIMEOUT=str(self.args.install_timeout))
            run = [os.path.join(HERE, "wine", "wine-run"), self.wine_dir]
            seconds, peak, rc, err = measured(run + [setup, "/S", "/D=C:\\" + folder], env=env)
            outcome = "installed" if rc == 0 else f"exit code {rc}"
        got, expected = self.installed_files(folder), len(files)
        if tool.startswith("zsetup"):
            expected += 1  # Z_nt.cx, the record the uninstaller goes by
        if outcome == "installed" and got != expected:
            outcome = f"ended, but {got} of {expected} files are there"
        if outcome == "installed":
            differing = self.differing_files(folder, files)
            if differing:
                outcome = f"ended, but {len(differing)} files differ from their sources (first: {differing[0]})"
        if outcome != "installed":
            self.note(f"{product}: {tool} install: {outcome}")
            return
        if keep:
            self.record(product, "install s", tool, seconds)
            self.record(product, "install peak MiB", tool, peak / 2**20)
            if tool == "zsetup":
                self.record(product, "install run s", tool, run_seconds)

    # --- one product ------------------------------------------------------
    def product(self, name):
        print(f"== {name}: generating", flush=True)
        manifest, scripts, payload, files = bench_products.generate(name, os.path.join(self.work, name))
        print(f"   {len(files)} files, {payload / 2**20:.1f} MiB", flush=True)
        huge = name == "huge"
        # A solid LZMA build of 1.5 GB takes many minutes; the huge product is
        # measured once, with zlib as the peer.
        tools = ("zsetup", "zsetup-silent", "nsis-zlib") if huge else TOOLS
        rounds = 1 if huge else self.args.rounds
        built = {}
        for r in range(rounds + (0 if huge else 1)):
            keep = huge or r > 0
            print(f"   build round {r if keep else 'warm-up'}", flush=True)
            for tool in tools:
                if tool == "zsetup-silent":
                    continue  # the zsetup build, installed silently
                out = self.build(name, tool, manifest, scripts, keep)
                if out:
                    built[tool] = out
            if "zsetup" in built:
                built["zsetup-silent"] = built["zsetup"]
        if name in READER_PRODUCTS and "zsetup" in built:
            self.readers(name, built["zsetup"], files)
        if self.args.no_install:
            return
        for r in range(rounds + (0 if huge else 1)):
            keep = huge or r > 0
            print(f"   install round {r if keep else 'warm-up'}", flush=True)
            for tool in tools:
                if tool in built:
                    # In the round that is not kept: screenshots take time of their own.
                    shots = os.path.join(self.work, "shots", name) if tool == "zsetup" and not keep else None
                    self.install(name, tool, built[tool], files, keep, shots)
        self.forget_installs()
        if huge:  # 3 GB of installers and installs: not kept
            for out in set(built.values()):  # zsetup-silent installs zsetup's file
                os.remove(out)

    def table(self, products):
        figures = ("setup.exe bytes", "build s", "build peak MiB", "install s", "install run s", "install peak MiB")
        print()
        print(f"{'product':8} {'figure':17} " + " ".join(f"{t:>34}" for t in TOOLS))
        for product in products:
            for figure in figures:
                # The run is measured against NSIS's whole silent install.
                base = self.results.get((product, "install s" if figure == "install run s" else figure, "nsis-zlib"))
                base_median = statistics.median(base) if base else None
                cells = []
                for tool in TOOLS:
                    values = self.results.get((product, figure, tool))
                    if not values:
                        cells.append(f"{'-':>34}")
                        continue
                    m = statistics.median(values)
                    fmt = "{:.0f}" if figure == "setup.exe bytes" else "{:.2f}"
                    text = fmt.format(m)
                    if len(values) > 1:
                        text += " [" + fmt.format(min(values)) + "-" + fmt.format(max(values)) + "]"
                    if base_median:
                        text += f" x{m / base_median:.2f}"
                    cells.append(f"{text:>34}")
                print(f"{product:8} {figure:17} " + " ".join(cells))
        print("\nmedian [range] xratio-to-NSIS-zlib; rounds after one discarded warm-up "
              f"({self.args.rounds} for typical and large, 1 for huge)")
        self.readers_table(products)
        if self.notes:
            print("what did not go as planned:")
            for n in self.notes:
                print("  - " + n)

    def readers_table(self, products):
        """The builder's peak memory building, verifying and extracting."""
        shown = [p for p in products if p in READER_PRODUCTS]
        if not shown:
            return
        print(f"\nzsetup's own peak resident size (MiB) and time (s)\n{'product':8} {'payload MiB':>12} " +
              " ".join(f"{c:>18}" for c in ("build", "verify", "extract")))
        for product in shown:
            cells = []
            for command in ("build", "verify", "extract"):
                peak = self.results.get((product, f"{command} peak MiB", "zsetup"))
                seconds = self.results.get((product, f"{command} s", "zsetup"))
                cells.append(f"{statistics.median(peak):>8.1f} {statistics.median(seconds):>6.2f} s" if peak and seconds
                             else f"{'-':>18}")
            payload = bench_products.PRODUCTS[product]["total"] / 2**20
            print(f"{product:8} {payload:>12.0f} " + " ".join(f"{c:>18}" for c in cells))

    def run(self):
        products = self.args.products.split(",")
        os.makedirs(self.work, exist_ok=True)
        print_stub_sections(self.args.stub)
        started = False
        try:
            if not self.args.no_install:
                subprocess.run([os.path.join(HERE, "wine", "wine-env"), "start", self.wine_dir, "win32"],
                               check=True, stdout=subprocess.DEVNULL)
                started = True
            for p in products:
                self.product(p)
        finally:
            if started:
                subprocess.run([os.path.join(HERE, "wine", "wine-env"), "stop", self.wine_dir],
                               stdout=subprocess.DEVNULL)
        self.table(products)
        if not self.args.no_install:
            print(f"screenshots of pages 4 and 5: {os.path.join(self.work, 'shots')}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zsetup")
    parser.add_argument("stub")
    parser.add_argument("driver")
    parser.add_argument("work")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--products", default="typical,large,huge")
    parser.add_argument("--no-install", action="store_true")
    parser.add_argument("--install-timeout", type=int, default=900)
    args = parser.parse_args()
    for tool in ("zsetup", "stub", "driver"):
        setattr(args, tool, os.path.abspath(getattr(args, tool)))
    # NSIS makes 32-bit installers only, so installs are compared where 32-bit programs run.
    host = subprocess.run([os.path.join(HERE, "host-runs-i386")], stderr=subprocess.PIPE, text=True)
    if host.returncode != 0 and not args.no_install:
        print(f"installs not measured: {host.stderr.strip()}; NSIS's installers are 32-bit", flush=True)
        args.no_install = True
    Bench(args).run()


if __name__ == "__main__":
    main()
