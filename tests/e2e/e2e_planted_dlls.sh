#!/usr/bin/env bash
# DLLs planted beside setup.exe stay unloaded through a full install and the
# finish: wininet.dll, which the finish asks whether the machine is online,
# and mpr.dll, which WinINet imports. Wine prefers its builtin DLLs; the
# overrides make it look beside the program first, as Windows does. A program
# that imports those DLLs the ordinary way, run from the same folder under the
# same overrides, does load them: the planted DLLs and the overrides work, and
# the check can fail.
#
# What Wine cannot show: its own DLLs take their imports, and what they load
# on demand, through the program's folder whatever the program asked. Its
# user32 imports version.dll and its comctl32 loads uxtheme.dll, so every
# program with a window loads planted ones before its first line; on Windows
# user32 is a KnownDLL and takes its imports from System32, and system DLLs'
# later loads keep to the directories SetDefaultDllDirectories set.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
recorder=$6 planted=$7 importer=$8
make_setup
forget_install
redirect_launches "$recorder"

planted_names=(wininet.dll mpr.dll)
for name in "${planted_names[@]}"; do cp "$planted" "$work/$name"; done
export ZSETUP_WINE_DLLOVERRIDES="wininet,mpr=n,b"
# The marker of a planted DLL, named as the loader spelt the DLL's name.
marker() { find "$work" -maxdepth 1 -iname "$1.loaded" | head -n1; }
# On failure, which program loaded which planted DLL (a marker holds the
# program's path in UTF-16), also when the wizard never showed.
report_markers() {
    local m
    for m in "$work"/*.loaded; do
        [ -e "$m" ] && echo "$(basename "$m" .loaded) was loaded by $(iconv -f UTF-16LE -t UTF-8 "$m")" >&2
    done
}
trap 'rc=$?; [ $rc -eq 0 ] || report_markers; drive end >/dev/null 2>&1 || true' EXIT

cp "$importer" "$work/static_imports_program.exe"
# The planted DLLs lack the real ones' functions: the program may die when a
# system DLL calls one. The markers are what counts.
(cd "$work" && $run static_imports_program.exe) >/dev/null || true
for name in "${planted_names[@]}"; do
    [ -n "$(marker "$name")" ] || fail "a program importing $name did not load the planted one"
    echo "ok: a program importing $name loads the one beside it"
    rm "$(marker "$name")"
done

# expect_none_loaded WHEN
expect_none_loaded() {
    local name
    for name in "${planted_names[@]}"; do
        [ -z "$(marker "$name")" ] || fail "setup.exe loaded the planted $name $1"
    done
    echo "ok: no planted DLL loaded $1"
}

start_setup
drive wait-window expect-page 0
expect_none_loaded "by the time page 0 shows"
drive press suiButton2 expect-page 1
drive press suiButton4 expect-page 2
drive set FolderEd "C:\\$product_name" press suiButton2 expect-page 3
drive press suiButton2 expect-page 5
drive press suiButton3 >/dev/null
expect_setup_exit

# The finish asked WinINet whether the machine is connected, and it said so.
grep -F "jiaocheng.asp" "$work/recorder/commands.txt" >/dev/null \
    || fail "the finish did not open the tutorial: $(cat "$work/recorder/commands.txt" 2>/dev/null)"
echo "ok: the finish asked WinINet and opened the tutorial"
expect_none_loaded "through the install and the finish"
