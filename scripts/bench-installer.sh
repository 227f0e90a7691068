#!/usr/bin/env bash
# Installer benchmark: a setup.exe of the generated product (built by
# bench-builder.py) run under Wine and driven by the wizard driver: time from
# start to page 0 (unpacking and checksum), time of the installation run, and
# the installer process's peak memory.
#   bench-installer.sh ZSETUP STUB DRIVER MANIFEST WORK_DIR
set -euo pipefail
mkdir -p "$5"
zsetup=$(realpath "$1") stub=$(realpath "$2") driver=$(realpath "$3") manifest=$(realpath "$4") work=$(realpath "$5")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_dir=$work/wine
run="$here/wine/wine-run $wine_dir"
SOURCE_DATE_EPOCH=1796860800 "$zsetup" build "$manifest" -o "$work/setup.exe" --stub "$stub" 2>/dev/null
"$here/wine/wine-env" start "$wine_dir" >/dev/null
trap '$run "$driver" end >/dev/null 2>&1 || true; "$here/wine/wine-env" stop "$wine_dir" >/dev/null' EXIT

now() { date +%s.%N; }
start=$(now)
(cd "$work" && ZSETUP_WINE_TIMEOUT=600 $run setup.exe >/dev/null 2>&1) &
$run "$driver" wait-window expect-page 0 >/dev/null
page0=$(now)
$run "$driver" press suiButton2 expect-page 1 press suiButton4 expect-page 2 press suiButton2 expect-page 3 >/dev/null
# The wizard's process under Wine: its peak resident size is VmHWM.
pid=$(pgrep -f 'setup\.exe' | while read -r p; do
    grep -q 'setup.exe' "/proc/$p/cmdline" 2>/dev/null && [ "$(cat /proc/$p/comm)" != "timeout" ] && echo "$p"
done | tail -n1)
shot() { mkdir -p "$work/shots" && (. "$wine_dir/run/env" && import -display "$DISPLAY" -window root "$work/shots/$1.png"); }
run_start=$(now)
$run "$driver" press suiButton2 >/dev/null
sleep 1
shot page4  # the run is under way: labels and bar repainted without the message loop
$run "$driver" expect-page 5 >/dev/null
run_end=$(now)
shot page5
peak_kb=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
payload=$("$zsetup" inspect --json "$work/setup.exe" | awk -F': ' '/"payload_size"/ {gsub(",", "", $2); print $2}')
awk -v s="$start" -v p="$page0" -v a="$run_start" -v b="$run_end" -v k="$peak_kb" -v n="$payload" 'BEGIN {
    printf "installer, start to page 0: %.2f s (unpack and checksum of %.1f MB, Wine start-up included)\n", p - s, n / 1048576
    printf "installer, run:             %.2f s (%.1f MB/s)\n", b - a, n / 1048576 / (b - a)
    printf "installer, peak RSS:        %.1f MB\n", k / 1024
}'
echo "screenshots of pages 4 and 5: $work/shots"
