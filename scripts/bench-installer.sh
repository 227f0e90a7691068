#!/usr/bin/env bash
# One zsetup install for the benchmark: setup.exe run under Wine (in an
# environment that wine-env started) and driven through the wizard to the end
# with the wizard driver. Prints one line:
#   seconds=S page0=S run=S peak_kib=K outcome=installed
# where seconds is start to page 0 (unpacking and checksum, Wine start-up
# included) plus the installation run, without the driver's page turns, and
# peak_kib the installer process's peak resident size (VmHWM). When the
# installer does not get there, outcome says what happened instead (a box's
# text, an exit code, a time-out) and the script still exits 0.
# With SHOTS_DIR, screenshots of page 4 during the run and of page 5, and no
# times (the screenshots take time of their own).
#   bench-installer.sh WINE_DIR DRIVER SETUP_EXE [SHOTS_DIR]
set -uo pipefail
wine_dir=$1 driver=$(realpath "$2") setup=$(realpath "$3") shots=${4:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
run=("$here/wine/wine-run" "$wine_dir")
limit=${ZSETUP_BENCH_INSTALL_TIMEOUT:-900}

now() { date +%s.%N; }
shot() { [ -n "$shots" ] && mkdir -p "$shots" && (. "$wine_dir/run/env" && import -display "$DISPLAY" -window root "$shots/$1.png"); }

start=$(now)
peak_file=$wine_dir/bench-setup.peak
rm -f "$wine_dir/bench-setup.rc" "$peak_file"
(cd "$(dirname "$setup")" &&
    ZSETUP_WINE_TIMEOUT=$limit /usr/bin/time -f %M -o "$peak_file" "${run[@]}" "$(basename "$setup")" >/dev/null 2>&1
    echo $? >"$wine_dir/bench-setup.rc") &
setup_job=$!
# Ends the wizard and gives its peak (KiB), known once its process is gone.
end_setup() {
    "${run[@]}" "$driver" end >/dev/null 2>&1
    wait $setup_job 2>/dev/null
    peak_kib=$(tail -n1 "$peak_file" 2>/dev/null)
    peak_kib=${peak_kib:-nan}
}
trap '[ -n "${setup_job:-}" ] && end_setup' EXIT

# What happened when the wizard did not get there: a box's text, or how it ended.
give_up() {
    local what=$1 box
    box=$(timeout 40 "${run[@]}" "$driver" answer 1 2>/dev/null | tr '\n' ' ')
    [ -n "$box" ] && what="$what; box: $box"
    [ -f "$wine_dir/bench-setup.rc" ] && what="$what; exit code $(cat "$wine_dir/bench-setup.rc")"
    end_setup
    setup_job=
    echo "seconds=nan page0=nan run=nan peak_kib=$peak_kib outcome=$what"
    exit 0
}

# Polls a driver wait (30 s each) until it succeeds, the installer is gone, or
# the limit passes.
wait_for() {
    local what=$1
    shift
    while ! "${run[@]}" "$driver" "$@" >/dev/null 2>&1; do
        [ -f "$wine_dir/bench-setup.rc" ] && give_up "setup.exe ended before $what"
        [ "$(awk -v s="$start" -v n="$(now)" -v l="$limit" 'BEGIN {print (n - s > l)}')" = 1 ] &&
            give_up "no $what after ${limit} s"
        # A box instead of the page: the installer says why.
        timeout 5 "${run[@]}" "$driver" wait-box >/dev/null 2>&1 && give_up "a box instead of $what"
    done
}

wait_for "page 0" wait-window expect-page 0
page0=$(now)
"${run[@]}" "$driver" press suiButton2 expect-page 1 press suiButton4 expect-page 2 press suiButton2 expect-page 3 >/dev/null ||
    give_up "the wizard did not turn to page 3"
if [ -n "$shots" ]; then
    # A round that is not measured: the screenshots take their time.
    "${run[@]}" "$driver" press suiButton2 >/dev/null
    sleep 1
    shot page4 # the run is under way: labels and bar repainted without the message loop
    wait_for "page 5" expect-page 5
    shot page5
    run_s=nan
else
    # Timed inside one driver process, so no Wine start-up is counted: from
    # the press of Next on page 3 to page 5 showing (polled every 50 ms).
    clocks=$("${run[@]}" "$driver" timeout "$limit" clock press suiButton2 expect-page 5 clock 2>/dev/null) ||
        give_up "no page 5 within ${limit} s"
    run_s=$(echo "$clocks" | awk 'NR == 1 {a = $1} NR == 2 {printf "%.3f", $1 - a}')
fi
end_setup
setup_job=
awk -v s="$start" -v p="$page0" -v r="$run_s" -v k="$peak_kib" 'BEGIN {
    printf "seconds=%.3f page0=%.3f run=%s peak_kib=%s outcome=installed\n", (p - s) + r, p - s, r, k
}'
