#!/usr/bin/env bash
# The wizard's own drop shadow on the screen: a setup.exe filled with the
# example product runs in the background and a screenshot of the display is
# saved beside it. Xvfb has no compositor, so the shadow's partial alpha is
# drawn opaque as its premultiplied colour (blue above red); just outside the
# window's bottom and right edges that colour must show, further out the
# background.
#   shadow_on_screen.sh WINE_DIR WIN32_BIN NATIVE_ZSETUP WORK_DIR
set -euo pipefail
wine_dir=$1 bin=$2 native=$3 work=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

"$here/../../scripts/stage-demo" "$bin" "$work"
cd "$work"
# A company key of its own: no earlier installation in the shared prefix, so
# no question comes before the wizard.
sed -i 's/^company_key = .*/company_key = "ShadowOnScreen"/' product.toml
# shellcheck disable=SC1091
. "$wine_dir/run/env"
"$native" build --arch "$ZSETUP_ARCH" product.toml -o setup.exe --stub "$bin/zsetup-stub.exe"

export WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d LC_ALL=zh_CN.UTF-8
timeout --kill-after=5 120 "$ZSETUP_WINE" setup.exe >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

# The wizard window: the viewable top-level X window of its outer size,
# 537 x 297 (borderless).
left="" top=""
for _ in $(seq 150); do
    for id in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .* 537x297+.*/\1/p'); do
        info=$(xwininfo -id "$id")
        if grep -q 'Map State: IsViewable' <<<"$info"; then
            left=$(sed -n 's/.*Absolute upper-left X: *\(-\?[0-9]*\).*/\1/p' <<<"$info")
            top=$(sed -n 's/.*Absolute upper-left Y: *\(-\?[0-9]*\).*/\1/p' <<<"$info")
        fi
    done
    [ -n "$left" ] && break
    sleep 0.2
done
[ -n "$left" ] || { echo "the wizard window did not appear" >&2; exit 1; }
sleep 1  # let it paint
import -display "$DISPLAY" -window root shadow-shot.png
echo "wizard at ($left, $top); screenshot: $work/shadow-shot.png"

# "R G B" of one screen pixel.
pixel() { convert shadow-shot.png -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/^0,0: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'; }

background=$(pixel 2 2)
right=$((left + 537)) bottom=$((top + 297))
status=0
for point in "$((left + 268)) $((bottom + 2))" "$((right + 2)) $((top + 148))" "$((right + 1)) $((bottom + 1))"; do
    read -r r g b <<<"$(pixel "${point% *}" "${point#* }")"
    if [ "$r $g $b" = "$background" ] || [ "$b" -le "$r" ]; then
        echo "no shadow at ($point): $r $g $b, background $background" >&2
        status=1
    else
        echo "shadow at ($point): $r $g $b"
    fi
done
# The shadow reaches 19 pixels beyond the right edge; 30 is clear of it.
far=$(pixel $((right + 30)) $((top + 148)))
if [ "$far" != "$background" ]; then
    echo "not the background 30 pixels right of the window: $far" >&2
    status=1
fi
exit $status
