#!/usr/bin/env bash
# A disk that fills up during the run: a small tmpfs as drive E:. The file
# that does not fit gets its message, the run goes on, and page 5 says how
# many files are missing instead of claiming success. Needs root (mount);
# without it the test is skipped (exit 77).
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
forget_install
. "$wine_dir/run/env"
disk=$work/disk
mkdir -p "$disk"
# Room for the main program and the small files, not for the uninstaller.
room=$(($(stat -c %s "$work/product/bin/demo-app.exe") + 64 * 1024))
[ "$(stat -c %s "$bin/zsetup-uninstall.exe")" -gt $((64 * 1024)) ] || fail "the uninstaller would fit"
if ! mount -t tmpfs -o size=$room tmpfs "$disk" 2>/dev/null; then
    echo "skipped: mounting a tmpfs needs root"
    exit 77
fi
trap 'drive end >/dev/null 2>&1 || true; rm -f "$WINEPREFIX/dosdevices/e:"; umount "$disk" 2>/dev/null || true' EXIT
ln -sfn "$disk" "$WINEPREFIX/dosdevices/e:"

start_setup
drive wait-window expect-page 0 press suiButton2 expect-page 1 press suiButton4 expect-page 2 >/dev/null
drive set FolderEd "E:\\$product_name" press suiButton2 expect-page 3 press suiButton2 >/dev/null
expect "the message of the file that does not fit" "$(drive answer 1)" \
    "$(printf ' ZANTO\n安装下列文件时发生错误，\\r\\n建议重新启动后再次安装!\\r\\nE:\\%s\\uninstall.exe' "$product_name")"
drive expect-page 5 >/dev/null
expect "page 5 does not claim success" "$(drive text Label4)" "安装结束，但有1个文件未能安装："
expect "page 5 names the file" "$(drive text FailedFilesBox)" "E:\\$product_name\\uninstall.exe"
shot page5
cmp "$disk/$product_name/$product_name.exe" "$work/product/bin/demo-app.exe"
echo "ok: the files that fit are written"
[ ! -e "$disk/$product_name/uninstall.exe" ] || fail "a partial uninstall.exe was left"
compgen -G "$disk/$product_name/~zsetup*.tmp" >/dev/null && fail "a temporary file was left"
echo "ok: no partial or temporary file is left"
forget_install
