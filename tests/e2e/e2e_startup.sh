#!/usr/bin/env bash
# setup.exe starts: its window, page 0, and the already-installed question
# whose No ends the program with nothing written.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
forget_install

start_setup
drive wait-window expect-page 0
expect caption "$(drive caption)" "${product_name}安装向导"
expect "client area" "$(drive client-size)" "537x297"
expect region "$(drive region)" complex
expect title "$(drive text Label8)" "Zoraq安装程序"
expect subtitle "$(drive text Label12)" "本安装程序将${product_name}软件安装到您的计算机上"
expect name "$(drive text NameLb)" "$product_name"
expect version "$(drive text VerLb)" "1.0.0"
expect introduction "$(drive text IntroLb)" '演示软件是一个小巧的示例程序，\r\n用来展示安装向导的每一步。'
shot page0
drive press suiButton3 answer 6 >/dev/null
expect_setup_exit 1

$run reg add "$product_key" /v Setup /t REG_DWORD /d 1 /f >/dev/null
start_setup
expect "question" "$(drive answer 7)" \
    "$(printf ' ZANTO\n   Zoraq提示：Zoraq软件已经安装,覆盖原来以前的吗？        ')"
expect_setup_exit 1
reg_present "$uninstall_key" && fail "the uninstall key was written"
( . "$wine_dir/run/env" && [ ! -e "$WINEPREFIX/drive_c/$product_name" ] ) || fail "the install folder was made"
echo "ok: No ends the program with nothing written"
