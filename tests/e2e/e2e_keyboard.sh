#!/usr/bin/env bash
# The example installed and uninstalled with the keyboard alone, its keys sent
# through the system's input queue (SendInput): Tab and Shift+Tab through the
# controls, Space on a link and a check box, Esc's question, Enter through
# every page. On each page a screen reader's view of the controls, read from
# this other process through Active Accessibility: role, state, name, value.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
forget_install
recorder=$6
redirect_launches "$recorder"
. "$wine_dir/run/env"
folder_unix=$WINEPREFIX/drive_c/$product_name
folder_win="C:\\$product_name"
commands=$work/recorder/commands.txt
machine >"$work/before.txt"

# The window driven: setup's, then (driven=uninstaller) the uninstaller's.
driven=()
# expect_accessible CONTROL "role|states|name|value" ...
expect_accessible() {
    while [ $# -gt 0 ]; do
        expect "$1 to a screen reader" "$(drive "${driven[@]}" accessible "$1")" "$2"
        shift 2
    done
}
key() { drive key "$1"; }
expect_focus() { expect "the focus $2" "$(drive "${driven[@]}" focus)" "$1"; }

start_setup
drive wait-window expect-page 0
expect_accessible \
    Label8 'static text||Zoraq安装程序|' \
    NameLb "static text||$product_name|" \
    suiButton1 'push button|focusable,invisible|上一步|' \
    suiButton2 'push button|focusable|下一步|' \
    suiButton3 'push button|focusable|取消|'
key tab
expect_focus suiButton2 "on the first stop"
key tab
expect_focus suiButton3 "after Tab"
key shift+tab
expect_focus suiButton2 "back after Shift+Tab"
key enter
drive expect-page 1 >/dev/null

# The licence link takes the focus in its turn and opens with Space.
expect_accessible \
    suiURLLabel1 'link|focusable,linked|“软件许可协议”|' \
    suiButton4 'push button|focusable|同意|'
key tab && key tab && key tab
expect_focus suiURLLabel1 "on the link"
key space
sleep 1
grep -F '"http://www.example.com/license.asp"' "$commands" >/dev/null || fail "Space did not open the link"
echo "ok: Space on the link opened the licence page"
# Esc asks the design's question; No stays.
key esc
drive answer 7 >/dev/null
drive expect-page 1 >/dev/null
echo "ok: Esc asked to quit, and No stayed"
# Enter with no button focused agrees.
key enter
drive expect-page 2 >/dev/null

expect_accessible FolderEd "editable text|focusable|如果有两个以上分区，建议安装到非系统分区:|$folder_win"
key tab
expect_focus FolderEd "in the folder's edit"
# Enter in the edit goes on, past the Agree button parked out of sight.
key enter
drive expect-page 3 >/dev/null
key enter
drive expect-page 5 >/dev/null

expect_accessible \
    StartProgramCb 'check box|focusable,checked|怎样加密？看看使用教程|' \
    suiButton3 'push button|focused,focusable|完成|' \
    Label4 'static text||软件安装成功!|'
key tab
expect_focus StartProgramCb "on the tutorial's box"
key space
expect_accessible StartProgramCb 'check box|focused,focusable|怎样加密？看看使用教程|'
key enter
expect_setup_exit
expect_installed_files "$folder_unix"
expect "links the browser was given" "$(grep -c '"http' "$commands")" 1
echo "ok: the tutorial's box, cleared by Space, opened nothing"

# The uninstaller: Enter uninstalls, Enter again closes its last page.
start_uninstall
driven=(uninstaller)
drive uninstaller wait-window expect-page 0 >/dev/null
expect_accessible UninstallButton 'push button|focusable|卸载|' CancelButton 'push button|focusable|取消|'
key enter
drive uninstaller expect-page 2 >/dev/null
expect "the result" "$(drive uninstaller text ResultLabel)" "软件已完全删除。"
key enter
expect_uninstall_exit 0
wait_gone "$folder_unix"
machine >"$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the keyboard's uninstall left the machine changed"
echo "ok: installed and uninstalled with the keyboard alone"
