#!/usr/bin/env bash
# The version information the native builder writes into the example
# product's setup.exe, read by Wine's GetFileVersionInfoW and VerQueryValueW
# as any Windows program reads it (the lower-case table keys are the probe's).
#   version_on_wine.sh WINE_DIR WIN32_BIN PROBE_EXE NATIVE_ZSETUP WORK_DIR
set -euo pipefail
wine_dir=$1 bin=$2 probe=$3 native=$4 work=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
run="$here/../../scripts/wine/wine-run $wine_dir"
arch=$(. "$wine_dir/run/env" && echo "$ZSETUP_ARCH")
export SOURCE_DATE_EPOCH=1796860800

rm -rf "$work"
"$here/../../scripts/stage-demo" "$bin" "$work/product"
cp "$probe" "$work/version_probe.exe"
cd "$work"
"$native" build --quiet --arch "$arch" product/product.toml -o setup.exe --stub "$bin/zsetup-stub.exe"

$run version_probe.exe setup.exe | tr -d '\r' >seen.txt
cat >expected.txt <<'LINES'
fixed 1.0.0.0 1.0.0.0
translation 0804 1200
translation 0409 1200
080404b0 CompanyName 演示工作室
080404b0 FileDescription 演示软件安装程序
080404b0 FileVersion 1.0.0.0
080404b0 LegalCopyright 版权所有 (C) 2026 演示工作室
080404b0 ProductName 演示软件
080404b0 ProductVersion 1.0.0
040904b0 CompanyName 演示工作室
040904b0 FileDescription 演示软件 Setup
040904b0 FileVersion 1.0.0.0
040904b0 LegalCopyright 版权所有 (C) 2026 演示工作室
040904b0 ProductName 演示软件
040904b0 ProductVersion 1.0.0
LINES
if ! diff -u expected.txt seen.txt; then
    echo "FAIL: Wine reads other version information than the builder wrote" >&2
    exit 1
fi
echo "ok: Wine's GetFileVersionInfoW and VerQueryValueW read both tables and the numbers"
