#!/usr/bin/env bash
# Reads the Desktop link that shell_tests wrote in the Chinese run with
# lnkinfo, a reader of the .lnk format of its own, and checks its target,
# arguments, working folder and icon.
#   lnkinfo_check.sh WINE_DIR
set -euo pipefail
dir=${1:?usage: lnkinfo_check.sh WINE_DIR}
# shellcheck disable=SC1091
. "$dir/run/env"
link="$WINEPREFIX/drive_c/users/$(id -un)/Desktop/产品 快捷方式.lnk"
[ -f "$link" ] || { echo "lnkinfo_check: no link at $link" >&2; exit 1; }
# The target path is stored in the ANSI code page, 936 in that run.
info=$(lnkinfo -c windows-936 "$link")

rc=0
expect() {
    local field=$1 want=$2 got
    got=$(printf '%s\n' "$info" | sed -n "s/^\t$field\t*: //p")
    if [ "$got" != "$want" ]; then
        echo "lnkinfo_check: $field is '$got', expected '$want'" >&2
        rc=1
    fi
}
expect 'Local path' 'C:\程序\产品.exe'
expect 'Command line arguments' '--from "桌面"'
expect 'Working directory' "C:\\程序\\"
expect 'Icon location' 'C:\程序\产品.exe'
expect 'Icon index' '0'
[ $rc -eq 0 ] && echo "lnkinfo_check: $link is right"
exit $rc
