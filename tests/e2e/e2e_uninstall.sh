#!/usr/bin/env bash
# Install the example product, then take it away through the uninstall
# entry: the machine is as it was before. Again with a file of the user's in
# the folder (silently, /S), and with a damaged record (nothing removed).
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
forget_install
recorder=$6
. "$wine_dir/run/env"
folder_unix=$WINEPREFIX/drive_c/$product_name
folder_win="C:\\$product_name"
user_dir=$WINEPREFIX/drive_c/users/$(id -un)
programs_dir="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
# The finish opens the tutorial and the folder: the recorder takes both.
redirect_launches "$recorder"

install() {
    start_setup
    drive wait-window expect-page 0 press suiButton2 expect-page 1 press suiButton4 expect-page 2 \
        set FolderEd "$folder_win" press suiButton2 expect-page 3 press suiButton2 expect-page 5 \
        press suiButton3 >/dev/null
    expect_setup_exit
    [ -f "$folder_unix/uninstall.exe" ] || fail "the install left no uninstall.exe"
}

machine > "$work/before.txt"
install
link="$programs_dir/$product_name/卸载$product_name.lnk"
[ -f "$link" ] || fail "no uninstall link"
lnkinfo "$link" | grep -F "$product_name\\uninstall.exe" >/dev/null || fail "the uninstall link does not start uninstall.exe"
echo "ok: the uninstall link starts uninstall.exe"

start_uninstall
drive uninstaller wait-window expect-page 0 >/dev/null
expect "the question names the folder" "$(drive uninstaller text FolderLabel)" "$folder_win"
shot ask
drive uninstaller press UninstallButton expect-page 2 >/dev/null
expect "the result" "$(drive uninstaller text ResultLabel)" "软件已完全删除。"
shot "done"
drive uninstaller press CancelButton >/dev/null
expect_uninstall_exit 0
wait_gone "$folder_unix"
machine > "$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the uninstall left the machine changed"
echo "ok: files and registry are as they were before the install"
if $run uninstaller --list | iconv -f GBK -t UTF-8 | grep -F "$product_name|||" >/dev/null; then
    fail "wine uninstaller still lists the product"
fi
echo "ok: wine uninstaller no longer lists the product"

# A file of the user's keeps it and its folder; /S says so with exit code 1.
install
printf 'mine' > "$folder_unix/笔记.txt"
start_uninstall /S
expect_uninstall_exit 1
wait_gone "$folder_unix/uninstall.exe"
expect "the user's file stays" "$(cat "$folder_unix/笔记.txt")" "mine"
expect "and is all the folder holds" "$(ls "$folder_unix")" "笔记.txt"
reg_present "$uninstall_key" && fail "the uninstall entry is still there"
echo "ok: the uninstall entry is gone"
rm -rf "$folder_unix"

# A damaged record: a box names the problem, nothing is removed.
install
printf 'damaged' > "$folder_unix/Z_nt.cx"
listing=$(cd "$folder_unix" && find . | sort)
start_uninstall
message=$(drive answer 1)
case $message in
    *"安装记录已损坏，无法卸载"*) echo "ok: the damaged record's message" ;;
    *) fail "unexpected message: $message" ;;
esac
expect_uninstall_exit 2
expect "nothing removed" "$(cd "$folder_unix" && find . | sort)" "$listing"
reg_present "$uninstall_key" || fail "the uninstall entry went"
echo "ok: the uninstall entry stays"
