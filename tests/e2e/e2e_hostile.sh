#!/usr/bin/env bash
# Hostile and damaged packages, made from the example's setup.exe by the
# builder's own reader and writer: each is refused on page 0 with its
# problem named, stays there on Next, and leaves the file tree and the
# registry exactly as they were.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
make_setup
forget_install
hostile=$6
. "$wine_dir/run/env"

# table: case | a part of the problem the box names
cases=(
    shortcut-climbs     'Shortcuts[0].Name: "..\..\..\..\x" holds a backslash'
    product-climbs      'ProductName: "..\x" holds a backslash'
    folder-climbs       'DefaultFolderName: "..\windows\x" holds a backslash'
    record-bit-flipped  'SETUPINI: '
    pack-cut-short      'SETUPPACK: Packed data is corrupt (its zlib stream is cut short)'
    pack-huge-length    'SETUPPACK: Stream read error'
)
snapshot before
for ((i = 0; i < ${#cases[@]}; i += 2)); do
    name=${cases[i]} problem=${cases[i + 1]}
    "$hostile" "$work/setup.exe" "$name" "$work/$name.exe"
    (cd "$work" && ZSETUP_WINE_TIMEOUT=120 $run "$name.exe") &
    setup_pid=$!
    box=$(drive answer 1)
    case "$box" in
        *"安装程序已损坏"*"$problem"*) echo "ok: $name is refused naming the problem" ;;
        *) fail "$name: the box said '$box'" ;;
    esac
    drive wait-window expect-page 0 press suiButton2 >/dev/null
    case "$(drive answer 1)" in *"$problem"*) ;; *) fail "$name: Next did not refuse again" ;; esac
    drive expect-page 0 press suiButton3 answer 6 >/dev/null
    expect_setup_exit 2
    expect_unchanged "$name"
done
