#!/usr/bin/env bash
# A product of 5,000 small files (the example plus one folder row): the
# builder puts the rows past the record's 256 into SETUPFILES; inspect,
# verify and extract read them; setup.exe installs every file byte for byte
# with a link to one past the 256th; the uninstall entry takes it all away.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
recorder=$6
files=5000
# Each program may take minutes on a busy machine; the driver waits as long.
wine_timeout=600
last="\\数据\\d49\\f4999.txt"

"$lib_dir/../../scripts/stage-demo" "$bin" "$work/product" >/dev/null
# Without the maker's profile: its run box would start the program, which
# would outlive setup.exe holding its output.
sed -i '/^\[maker\]/,$d' "$work/product/product.toml"
for ((d = 0; d < 50; d++)); do mkdir -p "$work/product/many/d$d"; done
for ((i = 0; i < files; i++)); do printf 'file %d\n' "$i" > "$work/product/many/d$((i % 50))/f$i.txt"; done
cat >> "$work/product/product.toml" <<TOML

[[folder]]
source = "many"
name = "\\\\数据"

[[shortcut]]
name = "最后一个文件"
target = "${last//\\/\\\\}"
where = "desktop"
TOML
(cd "$work/product" && "$native" build -q --arch "$arch" product.toml -o "$work/setup.exe")

# The builder's own readers: 5,005 rows (the example's four, the folder's
# 5,000 and the uninstaller), the 4,749 past the record's in SETUPFILES.
inspect=$("$native" inspect --json "$work/setup.exe")
grep -F '"FileCount": 256, "ExtraFileCount": 4749' <<< "$inspect" >/dev/null || fail "inspect: $(head -c 2000 <<< "$inspect")"
echo "ok: inspect counts 256 rows in the record and 4749 in SETUPFILES"
"$native" verify "$work/setup.exe" >/dev/null || fail "verify refuses the package"
echo "ok: verify accepts it"
"$native" extract "$work/setup.exe" "$work/extracted"
diff -r "$work/product/many" "$work/extracted/数据" || fail "extract differs from the sources"
[ -f "$work/extracted/uninstall.exe" ] || fail "extract left out the uninstaller past the 256th row"
echo "ok: extract gives back all $files files and the uninstaller"

forget_install
. "$wine_dir/run/env"
folder_unix=$WINEPREFIX/drive_c/$product_name
folder_win="C:\\$product_name"
desktop_link="$WINEPREFIX/drive_c/users/$(id -un)/Desktop/最后一个文件.lnk"
rm -f "$desktop_link"
redirect_launches "$recorder"
machine > "$work/before.txt"

start_setup
drive wait-window expect-page 0 press suiButton2 expect-page 1 press suiButton4 expect-page 2 \
    set FolderEd "$folder_win" press suiButton2 expect-page 3 >/dev/null
began=$(date +%s.%N)
drive timeout 540 press suiButton2 expect-page 5 >/dev/null
seconds=$(echo "$(date +%s.%N) - $began" | bc)
echo "measured: $files files installed in $seconds s"
shot finish
drive press suiButton3 >/dev/null
expect_setup_exit

diff -r "$work/product/many" "$folder_unix/数据" || fail "an installed file differs from its source"
echo "ok: all $files files installed byte for byte"
cmp "$work/extracted/uninstall.exe" "$folder_unix/uninstall.exe" || fail "the uninstaller differs"
[ -f "$folder_unix/Z_files.cx" ] || fail "no Z_files.cx beside Z_nt.cx"
echo "ok: the uninstaller and the table's copy are there"
lnkinfo "$desktop_link" | grep -F "数据\\d49\\f4999.txt" >/dev/null || fail "the link does not point at $last"
echo "ok: the link to a file past the 256th"

start_uninstall
drive uninstaller timeout 540 wait-window expect-page 0 press UninstallButton expect-page 2 >/dev/null
expect "the result" "$(drive uninstaller text ResultLabel)" "软件已完全删除。"
drive uninstaller press CancelButton >/dev/null
expect_uninstall_exit 0
wait_gone "$folder_unix"
[ ! -e "$desktop_link" ] || fail "the link is still there"
machine > "$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the uninstall left the machine changed"
echo "ok: everything is gone, files, links and registry"
