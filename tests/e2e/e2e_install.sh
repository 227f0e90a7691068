#!/usr/bin/env bash
# A full install of the example product: files, registry, links, the
# uninstall entry, and the finish that opens the tutorial and the folder.
# The install stays in the prefix (`./dev demo` shows it); every script
# starts by removing an earlier one.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
forget_install
recorder=$6
. "$wine_dir/run/env"
folder_unix=$WINEPREFIX/drive_c/$product_name
user_dir=$WINEPREFIX/drive_c/users/$(id -un)

# The browser and the file manager are our recorder.
redirect_launches "$recorder"

start_setup
drive wait-window expect-page 0
shot page0
drive press suiButton2 expect-page 1
shot page1
drive press suiButton4 expect-page 2
shot page2
drive set FolderEd "C:\\$product_name" press suiButton2 expect-page 3
shot page3
drive press suiButton2 expect-page 5
shot page5
expect "page 5 title" "$(drive text Label8)" "安装完毕"
drive press suiButton3 >/dev/null
expect_setup_exit

expect_installed_files "$folder_unix"
wrestool -x --raw --type=10 --name=SETUPINI -o "$work/SETUPINI" "$work/setup.exe"
cmp "$work/SETUPINI" "$folder_unix/Z_nt.cx"
echo "ok: Z_nt.cx equals the SETUPINI resource"

# A string as a .reg file writes it.
reg_sz() {
    local s=${1//\\/\\\\}
    printf '"%s"' "${s//\"/\\\"}"
}
folder_win="C:\\$product_name"
# table: key | value as exported
reg_cases=(
    "$company_key"   "\"Site\"=$(reg_sz http://www.example.com)"
    "$company_key"   "\"Author\"=$(reg_sz 演示工作室)"
    "$product_key"   '"Setup"=dword:00000001'
    "$product_key"   "\"Version\"=$(reg_sz 1.0.0)"
    "$product_key"   "\"Folder\"=$(reg_sz "$folder_win")"
    "$uninstall_key" "\"DisplayName\"=$(reg_sz "$product_name")"
    "$uninstall_key" "\"UninstallString\"=$(reg_sz "\"$folder_win\\uninstall.exe\"")"
    "$uninstall_key" "\"DisplayVersion\"=$(reg_sz 1.0.0)"
    "$uninstall_key" "\"Publisher\"=$(reg_sz 演示工作室)"
    "$uninstall_key" "\"InstallLocation\"=$(reg_sz "$folder_win")"
    "$uninstall_key" "\"URLInfoAbout\"=$(reg_sz http://www.example.com)"
    # The product's own rows: a key from the root, then one below it.
    "$product_key\\设置"        "\"语言\"=$(reg_sz 简体中文)"
    "$product_key\\设置\\窗口" '"宽度"=dword:00000320'
)
expect_reg_values "${reg_cases[@]}"
# A 64-bit install writes the native view only: nothing under WOW6432Node.
if [ "$arch" = x64 ]; then
    for key in "$company_key" "$uninstall_key"; do
        if $run reg query "$key" /reg:32 >/dev/null 2>&1; then fail "$key is in the 32-bit registry view"; fi
    done
    echo "ok: the 32-bit registry view holds none of the install's keys"
fi
reg_lines "$product_key" | grep -Ex '"Date"="[0-9]{8}"' >/dev/null || fail "no install date"
echo "ok: the install date"
# Its list comes out in GBK.
$run uninstaller --list | iconv -f GBK -t UTF-8 | grep -F "$product_name|||" >/dev/null
echo "ok: wine uninstaller lists the product"

desktop_link=$user_dir/Desktop/$product_name.lnk
programs_link="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$product_name/$product_name.lnk"
for link in "$desktop_link" "$programs_link"; do
    [ -f "$link" ] || fail "no link $link"
    lnkinfo "$link" | grep -F "$product_name.exe" >/dev/null || fail "$link does not point at the program"
    echo "ok: $link"
done

grep -F "http://www.example.com/jiaocheng.asp?id=%D1%DD%CA%BE%C8%ED%BC%FE" "$work/recorder/commands.txt" >/dev/null \
    || fail "the tutorial was not opened: $(cat "$work/recorder/commands.txt")"
echo "ok: the tutorial address went to the browser"
grep -F "\"$folder_win\"" "$work/recorder/commands.txt" >/dev/null || fail "the folder was not explored"
echo "ok: the install folder was explored"
