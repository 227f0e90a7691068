# shellcheck shell=bash
# Sourced by the end-to-end scripts, which are all called as
#   SCRIPT WINE_DIR WIN32_BIN DRIVER_EXE NATIVE_ZSETUP WORK_DIR [HELPER...]
# Builds setup.exe from the example product and starts, drives and shoots it.
set -eEuo pipefail
# A step that fails without a word of its own is named, with its line.
trap 'echo "FAIL: ${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND" >&2' ERR
# shellcheck disable=SC2034 # idle: for the scripts that source this
wine_dir=$1 bin=$2 driver=$3 native=$4 work=$5 idle=${6:-}
lib_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
run="$lib_dir/../../scripts/wine/wine-run $wine_dir"
# The builder's --arch for the programs this Wine environment runs: x86 or x64.
arch=$(. "$wine_dir/run/env" && echo "$ZSETUP_ARCH")
product_name=演示软件
company_key='HKLM\Software\DemoStudio'
# shellcheck disable=SC2034 # for the scripts that source this
product_key="$company_key\\$product_name"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\演示软件'
rm -rf "$work"
mkdir -p "$work/shots"

# stage-demo's layout with the native builder's setup.exe in $work/product:
# without the maker's profile (the [maker] table, last in the manifest, cut
# off), so the built-in maker's lines are checked; with "maker" as it is.
# Arguments after the first go to the build; $manifest_top, when set, is put
# first in the manifest (top-level keys).
make_setup() {
    "$lib_dir/../../scripts/stage-demo" "$bin" "$work/product" >/dev/null
    [ "${1:-}" = maker ] || sed -i '/^\[maker\]/,$d' "$work/product/product.toml"
    [ -z "${manifest_top:-}" ] || sed -i "1i $manifest_top" "$work/product/product.toml"
    (cd "$work/product" && "$native" build --arch "$arch" product.toml -o "$work/setup.exe" "${@:2}")
}

# A stray wizard must never outlive the test: the box it shows would keep the server up.
start_setup() {
    (cd "$work" && ZSETUP_WINE_TIMEOUT=${wine_timeout:-120} $run setup.exe) &
    setup_pid=$!
}

# Waits for setup.exe to end and checks its exit code.
expect_setup_exit() {
    local rc=0
    wait "$setup_pid" || rc=$?
    [ "$rc" -eq "${1:-0}" ] || fail "setup.exe ended with $rc"
}

drive() { $run "$driver" "$@"; }

# run_expecting CODE PROGRAM ARGS...: a run with no window to drive, only its exit code.
run_expecting() {
    local want=$1 rc=0
    shift
    (cd "$work" && ZSETUP_WINE_TIMEOUT=120 $run "$@") || rc=$?
    [ "$rc" -eq "$want" ] || fail "$* ended with $rc, expected $want"
    echo "ok: $* ended with $want"
}

shot() {
    ( . "$wine_dir/run/env" && import -display "$DISPLAY" -window root "$work/shots/$1.png" )
}

fail() { echo "FAIL: $*" >&2; exit 1; }

# expect WHAT ACTUAL EXPECTED
expect() {
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
    echo "ok: $1"
}

reg_present() { $run reg query "$1" >/dev/null 2>&1; }

# What an install leaves in the shared prefix, so each script starts clean:
# a machine install's, and a per-user one's (HKCU, the user's programs folder).
forget_install() {
    local key
    for key in "$company_key" "$uninstall_key"; do
        $run reg delete "$key" /f >/dev/null 2>&1 || true
        $run reg delete "HKCU${key#HKLM}" /f >/dev/null 2>&1 || true
    done
    ( . "$wine_dir/run/env" && rm -rf "$WINEPREFIX/drive_c/$product_name" \
        "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/"$product_name" \
        "$WINEPREFIX"/drive_c/users/*/Desktop/"$product_name.lnk" \
        "$WINEPREFIX"/drive_c/users/*"/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$product_name" )
}

# The browser and the file manager become the recorder program ($1), which
# appends each command line to $work/recorder/commands.txt.
redirect_launches() {
    mkdir -p "$work/recorder"
    cp "$1" "$work/recorder/command_recorder.exe"
    local recorder_win="Z:${work//\//\\}\\recorder\\command_recorder.exe" key
    for key in 'HKCR\htmlfile\shell\open\command' 'HKCR\http\shell\open\command' \
               'HKCR\https\shell\open\command' 'HKCR\Folder\shell\explore\command' \
               'HKCR\Folder\shell\open\command'; do
        $run reg add "$key" /ve /d "\"$recorder_win\" \"%1\"" /f >/dev/null
    done
    $run reg delete 'HKCR\Folder\shell\open\ddeexec' /f >/dev/null 2>&1 || true
}

# What the machine holds, as lines. Left out: drive_c/windows and the temp
# folder (Wine's own files; the uninstaller's copy stays in Temp until a
# restart, by design), and keys Wine and Explorer rewrite on their own:
# Software\Wine (the fonts' cache, the desktop's temporary parameters), the
# MUI cache, recent documents, and the export's timestamps.
machine() {
    (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path '*/Temp' -prune -o -print | sort)
    local hive
    for hive in 'HKLM\Software' 'HKCU\Software'; do
        $run reg export "$hive" "Z:${work//\//\\}\\hive.reg" /y >/dev/null
        iconv -f UTF-16LE -t UTF-8 "$work/hive.reg" | tr -d '\r' \
            | awk '/^\[/ { skip = /\\Software\\Wine\\|MuiCache|Explorer\\(RecentDocs|UserAssist|ComDlg32)/ }
                   !skip && !/^#time=/'
    done
}

# Starts the uninstaller as Programs and Features would: the entry's UninstallString.
# shellcheck disable=SC2154 # folder_win: set by the scripts that uninstall
start_uninstall() {
    local command
    command=$($run reg query "$uninstall_key" /v UninstallString | iconv -f GBK -t UTF-8 \
        | sed -n 's/.*REG_SZ *//p')
    expect "the uninstall entry's command" "$command" "\"$folder_win\\uninstall.exe\""
    command=${command#\"}
    (cd "$work" && ZSETUP_WINE_TIMEOUT=${wine_timeout:-120} $run "${command%\"}" "$@") &
    uninstall_pid=$!
}

expect_uninstall_exit() {
    local rc=0
    wait "$uninstall_pid" || rc=$?
    [ "$rc" -eq "$1" ] || fail "uninstall.exe ended with $rc, expected $1"
}

# The copy in the temporary folder removes the first program's file and the folder.
wait_gone() {
    for _ in $(seq 300); do [ -e "$1" ] || return 0; sleep 0.1; done
    fail "$1 is still there"
}

# The staged product's files as the install names them, each equal to its
# source, and the built-in uninstaller beside them (or the one given: a
# per-user package's, rewritten by the builder).
expect_installed_files() {
    local folder=$1 uninstaller=${2:-$bin/zsetup-uninstall.exe} i
    local cases=(bin/demo-app.exe "$product_name.exe" licence.txt 许可协议.txt readme.txt 说明.txt
                 官方网站.url 官方网站.url)
    for ((i = 0; i < ${#cases[@]}; i += 2)); do
        cmp "$work/product/${cases[i]}" "$folder/${cases[i + 1]}"
        echo "ok: ${cases[i + 1]} equals its source"
    done
    cmp "$uninstaller" "$folder/uninstall.exe"
    echo "ok: uninstall.exe is the built-in uninstaller"
}

# `wine reg query` prints some values in GBK, some in UTF-8: read the export.
reg_lines() {
    $run reg export "$1" "Z:${work//\//\\}\\key.reg" /y >/dev/null
    iconv -f UTF-16LE -t UTF-8 "$work/key.reg" | tr -d '\r'
}

# expect_reg_values KEY LINE [KEY LINE]...: each line is in its key's export.
expect_reg_values() {
    while [ $# -gt 0 ]; do
        reg_lines "$1" | grep -Fx -- "$2" >/dev/null || fail "no $2 in $1"
        echo "ok: $2"
        shift 2
    done
}

trap 'drive end >/dev/null 2>&1 || true' EXIT

# What an install could touch, saved under a label: every file under drive_c,
# and HKLM/HKCU\Software but for Wine's own keys (its user32 keeps "Temporary
# System Parameters" there). Needs the Wine environment's variables.
snapshot() {
    (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -print | sort) >"$work/$1.files"
    for root in HKLM HKCU; do
        $run reg export "$root\\Software" "Z:${work//\//\\}\\$1.$root.reg" /y >/dev/null
        iconv -f UTF-16LE -t UTF-8 "$work/$1.$root.reg" |
            awk '/^\[/ { wine = index($0, "\\Software\\Wine") > 0 } !wine' >"$work/$1.$root.txt"
    done
}

# Fails unless nothing changed since "snapshot before"; $1 names what ran.
expect_unchanged() {
    snapshot after
    for part in files HKLM.txt HKCU.txt; do
        diff "$work/before.$part" "$work/after.$part" >/dev/null ||
            fail "$1 changed $part: $(diff "$work/before.$part" "$work/after.$part" | head -5)"
    done
    echo "ok: $1 wrote nothing"
}
