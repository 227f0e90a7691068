#!/usr/bin/env bash
# A target file held open by another program: the run shows the message
# naming it, keeps its old content and writes the other files.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
forget_install
holder=$6
. "$wine_dir/run/env"
folder_unix=$WINEPREFIX/drive_c/$product_name
mkdir -p "$folder_unix"
printf 'old read-me' > "$folder_unix/说明.txt"

rm -f "$WINEPREFIX/drive_c/held"
(cd "$work" && ZSETUP_WINE_TIMEOUT=120 $run "$holder" "C:\\$product_name\\说明.txt" 'C:\held' >/dev/null) &
holder_pid=$!
for _ in $(seq 200); do [ -e "$WINEPREFIX/drive_c/held" ] && break; sleep 0.1; done
[ -e "$WINEPREFIX/drive_c/held" ] || fail "the holder did not open the file"

start_setup
drive wait-window expect-page 0 press suiButton2 expect-page 1 press suiButton4 expect-page 2 \
    press suiButton2 expect-page 3 press suiButton2 >/dev/null
# While the file's message is up, a close request reaches the window: it is
# refused, and the run goes on to page 5 once the message is answered.
drive wait-box close >/dev/null
expect "the locked file's message" "$(drive answer 1)" \
    "$(printf ' ZANTO\n安装下列文件时发生错误，\\r\\n建议重新启动后再次安装!\\r\\nC:\\%s\\说明.txt' "$product_name")"
drive expect-page 5 >/dev/null
expect "page 5 does not claim success" "$(drive text Label4)" "安装结束，但有1个文件未能安装："
expect "page 5 names the file" "$(drive text FailedFilesBox)" "C:\\$product_name\\说明.txt"
shot page5
rm -f "$WINEPREFIX/drive_c/held"  # the holder lets go
wait "$holder_pid"
expect "the locked file keeps its content" "$(cat "$folder_unix/说明.txt")" "old read-me"
cmp "$folder_unix/许可协议.txt" "$work/product/licence.txt" || fail "the next file was not written"
echo "ok: the next file is written"
