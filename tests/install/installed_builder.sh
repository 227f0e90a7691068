#!/usr/bin/env bash
# The builder as users get it: the release tree installed into a temporary
# prefix, then moved, so only paths relative to its bin/ can work; the
# example product built there by the installed builder, 32-bit and 64-bit,
# with no --stub (each kind's stub and uninstaller found in share/zsetup/
# beside its bin/), also through a link to it, verified and read back; with
# one kind's stub taken away the build fails naming the installed place, as
# nothing of the build tree is baked in; the man page, of this version,
# rendering without a warning; and the .deb of the same install, by its
# list of files.
#   installed_builder.sh RELEASE_TREE DEMO_BIN_DIR WORK_DIR
set -euo pipefail
tree=$(cd "$1" && pwd) demo_bin=$2 work=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_root=$(cd "$here/../.." && pwd)
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
cmake --install "$tree" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/prefix"
zsetup=$work/prefix/bin/zsetup
[ -x "$zsetup" ] || fail "no bin/zsetup in the prefix"
for path in "$source_root" "$(dirname "$tree")" "$work/installed"; do
    ! grep -qaF "$path" "$zsetup" || fail "the installed builder holds the path $path"
done

"$source_root/scripts/stage-demo" "$demo_bin" "$work/product" >/dev/null
ln -s "$zsetup" "$work/zsetup-link"
# build ARCH BUILDER [ARGS...]: the example as setup-ARCH.exe.
build() {
    local arch=$1 builder=$2
    shift 2
    (cd "$work/product" && SOURCE_DATE_EPOCH=1796860800 "$builder" build --quiet --arch "$arch" product.toml \
        -o "$work/setup-$arch.exe" "$@")
}
declare -A bits=([x86]=32 [x64]=64)
for arch in x86 x64; do
    build "$arch" "$zsetup" || fail "the installed builder did not build the $arch example"
    "$zsetup" verify "$work/setup-$arch.exe" >"$work/verify-$arch.txt" || fail "$arch: $(cat "$work/verify-$arch.txt")"
    grep -qx ok "$work/verify-$arch.txt" || fail "$arch: verify: $(cat "$work/verify-$arch.txt")"
    grep -qx "architecture: $arch (${bits[$arch]}-bit)" "$work/verify-$arch.txt" ||
        fail "$arch: not an installer of that kind: $(cat "$work/verify-$arch.txt")"
    "$zsetup" inspect "$work/setup-$arch.exe" >"$work/inspect-$arch.txt"
    grep -qx 'Uninstaller (\\uninstall.exe): built-in' "$work/inspect-$arch.txt" || fail "$arch: no built-in uninstaller"
    "$zsetup" extract "$work/setup-$arch.exe" "$work/out-$arch"
    cmp "$work/out-$arch/uninstall.exe" "$work/prefix/share/zsetup/$arch/zsetup-uninstall.exe" ||
        fail "$arch: not the installed uninstaller"
    cp "$work/setup-$arch.exe" "$work/direct-$arch.exe"
    build "$arch" "$work/zsetup-link" || fail "the builder started through a link did not build the $arch example"
    cmp "$work/setup-$arch.exe" "$work/direct-$arch.exe" || fail "$arch: through a link, another installer"
done

# Without the installed x64 stub there is none to fall back on.
mv "$work/prefix/share/zsetup/x64/zsetup-stub.exe" "$work/x64-stub.exe"
rc=0
build x64 "$zsetup" 2>"$work/no-stub.txt" || rc=$?
[ "$rc" -eq 1 ] || fail "without the x64 stub the build gave $rc, not 1"
grep -qF "\"$work/prefix/share/zsetup/x64/zsetup-stub.exe\"" "$work/no-stub.txt" ||
    fail "without the x64 stub: $(cat "$work/no-stub.txt")"
mv "$work/x64-stub.exe" "$work/prefix/share/zsetup/x64/zsetup-stub.exe"

warnings=$(groff -man -ww -z "$work/prefix/share/man/man1/zsetup.1" 2>&1)
[ -z "$warnings" ] || fail "the man page: $warnings"
warnings=$(MANWIDTH=80 man --warnings -l "$work/prefix/share/man/man1/zsetup.1" 2>&1 >"$work/man.txt")
[ -z "$warnings" ] || fail "man: $warnings"
grep -q "zsetup build product.toml" "$work/man.txt" || fail "the man page shows no synopsis"
version=$("$zsetup" --version)
grep -q "^$version  " "$work/man.txt" || fail "the man page is not the one of $version: $(tail -n1 "$work/man.txt")"

deb=$("$source_root/scripts/make-deb" "$tree" "$work")
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$work/deb-files.txt"
sort >"$work/deb-expected.txt" <<'FILES'
./usr/bin/zsetup
./usr/share/doc/zsetup/manifest.md
./usr/share/man/man1/zsetup.1.gz
./usr/share/zsetup/x64/zsetup-stub.exe
./usr/share/zsetup/x64/zsetup-uninstall.exe
./usr/share/zsetup/x86/zsetup-stub.exe
./usr/share/zsetup/x86/zsetup-uninstall.exe
FILES
diff -u "$work/deb-expected.txt" "$work/deb-files.txt" || fail "the .deb holds other files"
dpkg-deb -f "$deb" Depends | grep -q "libc6" || fail "the .deb names no libraries it needs"
echo "ok: installed and moved to $work/prefix, both kinds built and read back; $(basename "$deb") holds what the install does"
rm -rf "$work"
