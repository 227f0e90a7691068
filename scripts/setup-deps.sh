#!/usr/bin/env bash
# Installs what zsetup needs on a Debian 12 machine, as root, idempotently:
# the host and mingw toolchains (i686 and x86_64), clang with libFuzzer
# (./dev fuzz), the libraries, readers of our output (exiftool, pefile), GNU
# time (peak memory), man and groff (the man page), dpkg-dev (the .deb),
# Wine with Xvfb (wine64 always; wine32 where the kernel runs 32-bit
# programs), the zh_CN locale, and libjpeg-turbo cross-built for both mingw
# targets into a cache that outlives build trees.
# Prints the two libjpeg prefixes last, as ZSETUP_JPEG_PREFIX_WIN32=... and
# ZSETUP_JPEG_PREFIX_WIN64=... lines.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ZSETUP_CACHE=${ZSETUP_CACHE:-/var/cache/zsetup}
# The build options are part of the name: a cache made with other options is
# never taken for this one, so changing them rebuilds.
jpeg_prefix() { echo "$ZSETUP_CACHE/libjpeg-turbo-$1-os-nosimd-noarith-decodeonly"; }

log() { printf '[setup] %s\n' "$*" >&2; }

as_root() {
    if [ "$(id -u)" -ne 0 ]; then
        log "installing missing dependencies needs root: $*"
        exit 1
    fi
}

PACKAGES=(
    cmake g++ make pkg-config
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    zlib1g-dev libz-mingw-w64-dev libjpeg-dev
    googletest libtomlplusplus-dev libcli11-dev
    wine wine64 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
    icoutils liblnk-utils nasm dpkg-dev locales qpdf pigz python3 clang-format
    clang libclang-rt-14-dev clang-tidy shellcheck
    osslsigncode openssl
    libimage-exiftool-perl python3-pefile python3-yaml python3-jsonschema time
    man-db groff-base
)

# wine32 only where it can start: on a kernel without the i386 ABI it is dead
# weight, and Debian's wine wrappers would pick its loader over wine64's.
if "$here/host-runs-i386" 2>/dev/null; then
    PACKAGES+=(wine32:i386)
fi

missing_packages() {
    local p
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

have_deb_src() {
    grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null
}

install_packages() {
    local need=()
    mapfile -t need < <(missing_packages)
    local need_src=0
    have_deb_src || need_src=1
    if [ ${#need[@]} -eq 0 ] && [ $need_src -eq 0 ]; then
        return
    fi
    as_root "${need[*]}"
    if [[ " ${need[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        log "adding the i386 architecture (wine32)"
        dpkg --add-architecture i386
    fi
    if [ $need_src -eq 1 ]; then
        log "adding a deb-src entry for Debian's main archive"
        cat >/etc/apt/sources.list.d/zsetup-deb-src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    fi
    log "apt-get install ${need[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
}

generate_locales() {
    local want
    for want in zh_CN.UTF-8 en_US.UTF-8; do
        local norm=${want/UTF-8/utf8}
        if ! locale -a 2>/dev/null | grep -qx "$norm"; then
            as_root "locale $want"
            log "generating locale $want"
            localedef -i "${want%%.*}" -f UTF-8 "$want"
        fi
    done
}

# build_mingw_libjpeg TRIPLE PROCESSOR PREFIX [CFLAGS...]
build_mingw_libjpeg() {
    local triple=$1 processor=$2 prefix=$3
    shift 3
    local cflags="-ffunction-sections -fdata-sections -DNO_GETENV $*"
    if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then
        return
    fi
    as_root "libjpeg-turbo for mingw $triple"
    log "cross-building libjpeg-turbo for $triple into $prefix"
    local work
    work=$(mktemp -d)
    # Once: the trap would otherwise stay for every later function's return.
    trap 'rm -rf "$work"; trap - RETURN' RETURN
    (cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
    local src
    src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
    [ -n "$src" ] || { log "apt-get source libjpeg-turbo gave no source tree"; exit 1; }
    cat >"$work/toolchain.cmake" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $processor)
set(CMAKE_C_COMPILER $triple-gcc)
set(CMAKE_CXX_COMPILER $triple-g++)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TC
    # The stub decodes at full size with the accurate integer IDCT and fancy
    # upsampling, libjpeg's defaults: the other IDCTs, output scaling, merged
    # upsampling and colour quantization are configured out (jmorecfg.h is
    # where libjpeg is configured), and the pixels come out the same.
    sed -i -E 's/^#define (DCT_IFAST_SUPPORTED|DCT_FLOAT_SUPPORTED|IDCT_SCALING_SUPPORTED|UPSAMPLE_MERGING_SUPPORTED|QUANT_1PASS_SUPPORTED|QUANT_2PASS_SUPPORTED)\b/#undef \1/' \
        "$src/jmorecfg.h"
    mkdir -p "$prefix"
    # Only what the stub needs, as small as it comes: the stub decodes two
    # small pictures once, so SIMD (which also drags the encoder's kernels in
    # through its dispatch table) and arithmetic coding buy nothing; sections
    # per function let the stub's link drop the encoder; no getenv (JPEGMEM),
    # whose sscanf brings the C library's scanf in.
    cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_C_FLAGS="$cflags" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF \
        -DWITH_TURBOJPEG=OFF >/dev/null
    cmake --build "$work/build" -j"$(nproc)" >/dev/null
    cmake --install "$work/build" >/dev/null
}

install_packages
generate_locales
# No unwind tables on i686: no exception passes through C code. x86_64 keeps
# them, they are part of its calling convention: the error path's longjmp
# unwinds through libjpeg's frames with them.
build_mingw_libjpeg i686-w64-mingw32 X86 "$(jpeg_prefix mingw32)" -fno-asynchronous-unwind-tables
build_mingw_libjpeg x86_64-w64-mingw32 AMD64 "$(jpeg_prefix mingw64)"
echo "ZSETUP_JPEG_PREFIX_WIN32=$(jpeg_prefix mingw32)"
echo "ZSETUP_JPEG_PREFIX_WIN64=$(jpeg_prefix mingw64)"
