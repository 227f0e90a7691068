#!/usr/bin/env bash
# The walk through pages 0 to 3 and back, the folder check's messages, Cancel
# and a close request, and running copies of the product ended by Next.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
forget_install
quit_text='安装程序还没有完成,如果您现在关闭安装程序，程序将退出安装，\r您也可以稍后运行安装程序来完成安装。\r\n要继续安装，请单击“No”按钮；要退出安装，请单击“Yes”按钮。'

# Two copies of a program of the product's, both from one file.
mkdir -p "$work/running"
cp "$idle" "$work/running/ZANTO-KPV.exe"
copies=()
for _ in 1 2; do
    ( ZSETUP_WINE_TIMEOUT=120 $run "$work/running/ZANTO-KPV.exe" ) &
    copies+=($!)
done

start_setup
drive wait-window expect-page 0 wait-processes ZANTO-KPV.exe 2
shot page0
# The copies are ended inside Next's handler, before the page changes.
drive press suiButton2 expect-page 1
expect "running ZANTO-KPV.exe after Next" "$(drive processes ZANTO-KPV.exe)" 0
for pid in "${copies[@]}"; do wait "$pid" || true; done
expect "page 1 title" "$(drive text Label8)" "软件许可协议"
shot page1
drive press suiButton4 expect-page 2
expect "page 2 title" "$(drive text Label8)" "选择安装目标文件夹"
expect "proposed folder" "$(drive text FolderEd)" "C:\\$product_name"
shot page2

# table: folder typed | message
folder_cases=(
    ''                 '  提示：请选择目标文件夹！     '
    "$product_name"    '必须指定完全路径!\r\n比如:\r\nC:\ZANTO-Y'
    "C:\\"             '  提示：不能安装到驱动器的根目录下!  '
    "Q:\\$product_name" '  提示：创建子文件夹失败！         '
)
for ((i = 0; i < ${#folder_cases[@]}; i += 2)); do
    drive set FolderEd "${folder_cases[i]}" press suiButton2 >/dev/null
    expect "folder '${folder_cases[i]}'" "$(drive answer 1)" "$(printf ' ZANTO\n%s' "${folder_cases[i + 1]}")"
    drive expect-page 2
done

drive set FolderEd "C:\\$product_name" press suiButton2 expect-page 3
expect "page 3 title" "$(drive text Label8)" "开始安装"
shot page3
for page in 2 1 0; do
    drive press suiButton1 expect-page $page
done
expect "back on page 0" "$(drive text Label8)" "Zoraq安装程序"

drive press suiButton3 >/dev/null
expect "Cancel asks" "$(drive answer 7)" "$(printf ' ZANTO\n%s' "$quit_text")"
drive expect-page 0
echo "ok: No keeps the wizard"

drive close >/dev/null
expect "a close request asks" "$(drive answer 6 | tail -n1)" "$quit_text"
expect_setup_exit 1
