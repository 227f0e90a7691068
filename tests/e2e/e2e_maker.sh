#!/usr/bin/env bash
# The example product with its maker's profile: the maker's lines on page 0,
# its caption and example folder, the licence text inline on page 1, and a
# finish that starts the product through its check box, opens the maker's
# tutorial and leaves the folder closed; setup.exe shows the maker's icon.
# The complete uninstall entry it asks for, and the quiet uninstall it names,
# after the wizard's install and after a silent one.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup maker
forget_install
recorder=$6
redirect_launches "$recorder"
. "$wine_dir/run/env"
machine >"$work/before.txt"

start_setup
drive wait-window expect-page 0
shot page0
expect "page 0 title" "$(drive text Label8)" "演示工作室安装程序"
expect "credit" "$(drive text CreditLb)" "演示工作室 出品"
expect "lower-left address" "$(drive text SiteLb)" "demo.example.org"

drive press suiButton2 expect-page 1
shot page1
licence=$(drive text LicenceBox)
case "$licence" in
"演示软件 最终用户许可协议\r\n\r\n1. 本软件仅供演示安装向导之用。\r\n"*) echo "ok: the licence text is on page 1" ;;
*) fail "the licence box holds '$licence'" ;;
esac
[ "$(drive scroll LicenceBox)" -gt 0 ] || fail "the licence box does not scroll"
echo "ok: the licence box scrolls"
shot page1-scrolled

drive press suiButton4 expect-page 2
drive set FolderEd "Apps" press suiButton2
expect "the maker's caption and example" "$(drive answer 1)" \
    "$(printf ' 演示工作室\n必须指定完全路径!\\r\\n比如:\\r\\nD:\\演示软件')"
drive set FolderEd "C:\\$product_name" press suiButton2 expect-page 3
drive press suiButton2 expect-page 5
shot page5
expect "run box" "$(drive text RunProgramCb)" "运行 $product_name"
expect "tutorial box" "$(drive text StartProgramCb)" "打开演示软件的使用说明"
drive press suiButton3 >/dev/null

# The run box started the installed program. It holds the output of the
# wine that started setup.exe: it ends before setup's exit is awaited.
drive wait-processes "$product_name.exe" 1
echo "ok: the program runs"
$run taskkill /f /im "$product_name.exe" >/dev/null 2>&1 || true
drive wait-processes "$product_name.exe" 0
expect_setup_exit
grep -F "http://demo.example.org/help/demo.html" "$work/recorder/commands.txt" >/dev/null \
    || fail "the tutorial was not opened: $(cat "$work/recorder/commands.txt")"
echo "ok: the maker's tutorial went to the browser"
if grep -F "\"C:\\$product_name\"" "$work/recorder/commands.txt" >/dev/null; then
    fail "the folder was opened"
fi
echo "ok: the folder stays closed"

# Explorer's icon for setup.exe is the maker's: its three sizes, read back.
wrestool -x --type=14 "$work/setup.exe" -o "$work/group.ico"
expect "setup.exe's icon" "$(icotool -l "$work/group.ico" | sed 's/ --bit-depth.*//')" \
    "$(icotool -l "$work/product/art/demo.ico" | sed 's/ --bit-depth.*//')"
icotool -l "$work/group.ico" | grep -F -- "--width=16 --height=16" >/dev/null || fail "not the maker's icon"
echo "ok: setup.exe carries the maker's icon"

# The complete entry: every value, as the export writes it.
folder_unix="$WINEPREFIX/drive_c/$product_name"
bytes=$(find "$folder_unix" -type f ! -name 'Z_*.cx' -printf '%s\n' | awk '{ n += $1 } END { print n }')
kib=$(( (bytes + 1023) / 1024 ))
entry_cases=(
    "$uninstall_key" "\"DisplayIcon\"=\"C:\\\\$product_name\\\\$product_name.exe,0\""
    "$uninstall_key" "$(printf '"EstimatedSize"=dword:%08x' "$kib")"
    "$uninstall_key" "\"QuietUninstallString\"=\"\\\"C:\\\\$product_name\\\\uninstall.exe\\\" /S\""
    "$uninstall_key" '"NoModify"=dword:00000001'
    "$uninstall_key" '"NoRepair"=dword:00000001'
    "$uninstall_key" "\"InstallDate\"=\"$(date +%Y%m%d)\""
    "$uninstall_key" '"HelpLink"="http://demo.example.org/help/demo.html"'
)
expect_reg_values "${entry_cases[@]}"

# Removed as a deployment tool would: the quiet command, no window.
quiet=$($run reg query "$uninstall_key" /v QuietUninstallString | iconv -f GBK -t UTF-8 | sed -n 's/.*REG_SZ *//p' | tr -d '\r')
program=${quiet%\" /S}
program=${program#\"}
run_expecting 0 "$program" /S
wait_gone "$folder_unix"
machine >"$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the quiet uninstall left the machine changed"
echo "ok: the quiet uninstall left the machine as it was"

# The same machine install made silently: the same entry, and the same quiet
# command takes it away again.
run_expecting 0 setup.exe /S
expect_reg_values "${entry_cases[@]}"
run_expecting 0 "$program" /S
wait_gone "$folder_unix"
machine >"$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the quiet uninstall of the silent install left the machine changed"
echo "ok: silently installed and quietly uninstalled, the machine is as it was"
