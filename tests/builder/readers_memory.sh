#!/usr/bin/env bash
# inspect, verify and extract in constant memory: a product of one file
# larger than the address space they are given (a sparse file of zeros,
# quick to pack), read under that limit, and each reader's peak resident
# size at most 64 MiB. Holding the payload, as they once did, fails here.
#   readers_memory.sh ZSETUP STUB WORK_DIR
set -euo pipefail
zsetup=$1 stub=$2 work=$3
product_bytes=$((1536 << 20))
address_space=$((256 << 20))
most_resident_kib=$((64 << 10))

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$zsetup" ] || fail "no release builder at $zsetup (./dev release, or ./dev test --native, builds it)"

rm -rf "$work"
mkdir -p "$work/product"
cd "$work"
truncate -s "$product_bytes" product/big.bin
printf 'licence' >product/licence.txt
cat >product/product.toml <<'TOML'
licence = "licence.txt"
[product]
name = "Big"
version = "1.0"
company_key = "Big"
default_folder = "Big"
[[file]]
source = "big.bin"
name = "\\big.bin"
TOML
"$zsetup" build -q product/product.toml -o setup.exe --stub "$stub" --uninstaller "$stub"

# reader NAME ARGS...: runs `zsetup ARGS` limited, checks its peak.
reader() {
    local name=$1
    shift
    prlimit --as="$address_space" /usr/bin/time -f %M -o "$name.kib" "$zsetup" "$@" >"$name.out" 2>&1 ||
        fail "zsetup $name under a $((address_space >> 20)) MiB address space: $(tail -n3 "$name.out")"
    local kib
    kib=$(tail -n1 "$name.kib")
    [ "$kib" -le "$most_resident_kib" ] || fail "zsetup $name peaked at $((kib >> 10)) MiB, more than 64"
    echo "zsetup $name: $((kib >> 10)) MiB at most, for $((product_bytes >> 20)) MiB of files"
}
reader inspect inspect setup.exe
payload=$((product_bytes + $(stat -c %s "$stub")))  # the file and the uninstaller
grep -qx "Payload: $payload bytes" inspect.out || fail "inspect: $(grep Payload inspect.out), not $payload"
reader verify verify setup.exe
grep -qx ok verify.out || fail "verify: $(cat verify.out)"
reader extract extract setup.exe out
cmp out/big.bin product/big.bin || fail "the extracted file is not the source"
cmp out/uninstall.exe "$stub" || fail "the extracted uninstaller is not the one built in"
rm -rf "$work"
