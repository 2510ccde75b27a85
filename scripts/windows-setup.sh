#!/usr/bin/env bash
# Installs what the Windows cross-build and its Wine test need, beyond scripts/setup.sh:
# Debian 12's MinGW-w64 GCC, zlib and Wine; the mingw-w64 12 headers and import libraries from
# the Debian 13 archive, checked by SHA-256; JUCE with the patches in patches/juce applied to a
# copy of the cached sources; and libpng and libjpeg cross-built from Debian 12's sources.
# Everything lands in ~/.cache/qf_installer; a download is checked before it is moved there.
# Safe to run again: it only does what is missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common.sh"

temp_dirs=()
trap 'rm -rf "${temp_dirs[@]}"' EXIT

windows_packages=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
    dpkg-dev patch wine64 wine osslsigncode openssl
)
install_packages "${windows_packages[@]}"

# mingw-w64 12: the -dev package's _mingw*.h are links into the -common package, so both are
# unpacked into one folder.
fetch_mingw_sdk() {
    [ -f "$MINGW_SDK_DIR/.complete" ] && return 0
    say "fetching mingw-w64 $MINGW_VERSION headers and libraries into $MINGW_SDK_DIR"
    local work
    work=$(mktemp -d)
    temp_dirs+=("$work")
    private_apt "$work" "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(configured_debian_mirror) trixie main"
    (cd "$work" && apt-get "${apt_opts[@]}" -qq download "mingw-w64-x86-64-dev=$MINGW_VERSION" "mingw-w64-common=$MINGW_VERSION") \
        || die "cannot download mingw-w64-x86-64-dev and mingw-w64-common $MINGW_VERSION"
    echo "$MINGW_DEV_SHA256  $work/mingw-w64-x86-64-dev_${MINGW_VERSION}_all.deb" | sha256sum --check --quiet \
        || die "SHA-256 of mingw-w64-x86-64-dev $MINGW_VERSION does not match $MINGW_DEV_SHA256"
    echo "$MINGW_COMMON_SHA256  $work/mingw-w64-common_${MINGW_VERSION}_all.deb" | sha256sum --check --quiet \
        || die "SHA-256 of mingw-w64-common $MINGW_VERSION does not match $MINGW_COMMON_SHA256"
    for deb in "$work"/*.deb; do dpkg -x "$deb" "$work/x"; done
    [ -f "$work/x/usr/x86_64-w64-mingw32/include/d2d1_3.h" ] || die "the mingw-w64 packages hold no d2d1_3.h"
    rm -rf "$MINGW_SDK_DIR" && mkdir -p "$(dirname "$MINGW_SDK_DIR")"
    mv "$work/x" "$MINGW_SDK_DIR"
    touch "$MINGW_SDK_DIR/.complete"
}

# A copy of the cached JUCE sources with our patches applied; a changed patch makes a new copy.
patch_juce() {
    local stamp
    stamp=$(cat "$QF_ROOT"/patches/juce/*.patch | sha256sum | cut -c1-16)
    [ -f "$JUCE_WINDOWS_DIR/.complete-$stamp" ] && return 0
    say "applying patches/juce to a copy of the JUCE sources in $JUCE_WINDOWS_DIR"
    local work
    work=$(mktemp -d "$QF_CACHE_DIR/juce-windows.XXXXXX")
    temp_dirs+=("$work")
    cp -r "$JUCE_DIR/modules" "$work/modules"
    for p in "$QF_ROOT"/patches/juce/*.patch; do
        patch -d "$work/modules" -p1 --quiet --forward < "$p" || { rm -rf "$work"; die "$(basename "$p") does not apply to JUCE $JUCE_DEB_VERSION"; }
    done
    touch "$work/.complete-$stamp"
    rm -rf "$JUCE_WINDOWS_DIR"
    mv "$work" "$JUCE_WINDOWS_DIR"
}

# Debian's JUCE strips its bundled zlib, libpng and libjpeg. zlib comes from
# libz-mingw-w64-dev, whose headers sit beside the old 10.x Windows headers, so only zlib.h and
# zconf.h are copied; libpng and libjpeg are cross-built from Debian 12's sources.
build_windows_libraries() {
    [ -f "$WINDOWS_DEPS_DIR/.complete" ] && return 0
    say "cross-building libpng $PNG_SOURCE_VERSION and libjpeg-turbo $JPEG_SOURCE_VERSION into $WINDOWS_DEPS_DIR"
    local work prefix
    work=$(mktemp -d)
    temp_dirs+=("$work")
    prefix="$work/prefix"
    mkdir -p "$prefix/include" "$prefix/lib"
    cp /usr/x86_64-w64-mingw32/include/zlib.h /usr/x86_64-w64-mingw32/include/zconf.h "$prefix/include/"
    cp /usr/x86_64-w64-mingw32/lib/libz.a "$prefix/lib/"

    private_apt "$work/apt" "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(configured_debian_mirror) bookworm main"
    (cd "$work" && apt-get "${apt_opts[@]}" -qq --download-only source "libpng1.6=$PNG_SOURCE_VERSION" "libjpeg-turbo=$JPEG_SOURCE_VERSION") \
        || die "cannot download the sources of libpng1.6 $PNG_SOURCE_VERSION and libjpeg-turbo $JPEG_SOURCE_VERSION"
    echo "$PNG_DSC_SHA256  $work/libpng1.6_${PNG_SOURCE_VERSION}.dsc" | sha256sum --check --quiet \
        || die "SHA-256 of libpng1.6_${PNG_SOURCE_VERSION}.dsc does not match $PNG_DSC_SHA256"
    echo "$JPEG_DSC_SHA256  $work/libjpeg-turbo_${JPEG_SOURCE_VERSION#*:}.dsc" | sha256sum --check --quiet \
        || die "SHA-256 of libjpeg-turbo_${JPEG_SOURCE_VERSION#*:}.dsc does not match $JPEG_DSC_SHA256"
    # dpkg-source checks every file against the checksums in the .dsc and applies Debian's patches.
    (cd "$work" && dpkg-source --no-check -x libpng1.6_*.dsc png > /dev/null && dpkg-source --no-check -x libjpeg-turbo_*.dsc jpeg > /dev/null) \
        || die "cannot unpack the libpng1.6 and libjpeg-turbo sources"

    local toolchain=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$QF_ROOT/cmake/windows/Toolchain-mingw64.cmake"
                     -DQF_MINGW_SDK="$MINGW_SDK_DIR/usr/x86_64-w64-mingw32" -DCMAKE_INSTALL_PREFIX="$prefix")
    cmake -S "$work/png" -B "$work/png-build" "${toolchain[@]}" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
          -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a" > /dev/null \
        && cmake --build "$work/png-build" --target install > /dev/null || die "cross-building libpng failed"
    cmake -S "$work/jpeg" -B "$work/jpeg-build" "${toolchain[@]}" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF > /dev/null \
        && cmake --build "$work/jpeg-build" --target install > /dev/null || die "cross-building libjpeg-turbo failed"
    # JUCE defines JPEG_INTERNALS, which reads jpegint.h.
    cp "$work/jpeg/jpegint.h" "$prefix/include/"

    rm -rf "$WINDOWS_DEPS_DIR" && mkdir -p "$(dirname "$WINDOWS_DEPS_DIR")"
    mv "$prefix" "$WINDOWS_DEPS_DIR"
    touch "$WINDOWS_DEPS_DIR/.complete"
}

fetch_mingw_sdk
patch_juce
build_windows_libraries
