#!/usr/bin/env bash
# The Windows build of the builder under Wine: it fills a program that then
# reads its own SETUPINI through FindResource and gets exactly the bytes an
# independent reader (wrestool) finds in the file; it writes, byte for byte,
# what the native builder writes from the same inputs; and it runs a signing
# command through cmd.exe.
#   builder_on_wine.sh WINE_DIR WIN32_BIN PROBE_EXE NATIVE_ZSETUP WORK_DIR
set -euo pipefail
wine_dir=$1 bin=$2 probe=$3 native=$4 work=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
run="$here/../../scripts/wine/wine-run $wine_dir"
arch=$(. "$wine_dir/run/env" && echo "$ZSETUP_ARCH")
export SOURCE_DATE_EPOCH=1796860800

# Chinese characters and blanks in every path the builder is given.
product="演示 产品"
rm -rf "$work"
"$here/../../scripts/stage-demo" "$bin" "$work/$product"
cp "$probe" "$work/$product/探针.exe"
# A folder row too: both builders walk it and sort its files the same way.
mkdir -p "$work/$product/手册 文档/图片" "$work/$product/手册 文档/Zeta"
for name in 说明.txt B.txt a.txt 图片/一.png 图片/啊.png Zeta/z.txt; do
    printf '%s\n' "$name" >"$work/$product/手册 文档/$name"
done
printf '\n[[folder]]\nsource = "手册 文档"\nname = "\\\\手册"\nexclude = ["Zeta"]\ninclude = ["*.txt", "啊*"]\n' \
    >>"$work/$product/product.toml"
cd "$work"

$run "Z:$bin/zsetup.exe" build --arch "$arch" "$product/product.toml" -o "安装 程序.exe" --stub "$product/探针.exe" \
    --uninstaller "Z:$bin/zsetup-uninstall.exe"
"$native" build --arch "$arch" "$product/product.toml" -o probe-native.exe --stub "$product/探针.exe" \
    --uninstaller "$bin/zsetup-uninstall.exe"
cmp "安装 程序.exe" probe-native.exe
echo "the Windows and the native builder wrote the same program, with Chinese paths and a folder row"
mv "安装 程序.exe" probe-wine.exe

for name in SETUPINI SETUPPACK PROTOCOL; do
    $run probe-wine.exe "$name" "$name.seen"
    wrestool -x --raw --type=10 --name="$name" -o "$name.listed" probe-wine.exe
    cmp "$name.seen" "$name.listed"
    echo "$name: the program reads exactly the $(stat -c %s "$name.seen") bytes in its file"
done
"$native" verify probe-wine.exe

# --sign through cmd.exe: the command gets each file's name quoted, its exit
# code and its output (in UTF-8) stop the build, which then writes nothing.
# sign.bat puts in place the files osslsigncode signed here, which the build
# checks as it would a signing tool's.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=zsetup test' -addext extendedKeyUsage=codeSigning \
    -keyout key.pem -out cert.pem 2>/dev/null
sign() { osslsigncode sign -certs cert.pem -key key.pem -in "$1" -out "$2" >/dev/null; }
sign "$bin/zsetup-uninstall.exe" signed-uninstall.exe
"$native" build -q --arch "$arch" "$product/product.toml" -o unsigned.exe --stub "$product/探针.exe" \
    --uninstaller signed-uninstall.exe
sign unsigned.exe signed-setup.exe
printf '@copy /y "%%~dp0signed-%%~nx1" %%1 >nul\r\n' >sign.bat
build_signed() {
    $run "Z:$bin/zsetup.exe" build -q --arch "$arch" "$product/product.toml" -o 签名.exe --stub "$product/探针.exe" \
        --uninstaller "Z:$bin/zsetup-uninstall.exe" --sign "$1"
}
if build_signed "echo 无法签名 {file} & exit /b 3" >failed.txt; then
    echo "a failing signing command did not stop the build" >&2
    exit 1
fi
grep -F '(exit code 3)' failed.txt
grep -F "| 无法签名 \"C:\\" failed.txt
[ ! -e 签名.exe ]
build_signed "sign.bat {file}"
cmp 签名.exe signed-setup.exe
"$native" verify 签名.exe
echo "the Windows builder signed through cmd.exe, and stopped on a command that failed"
