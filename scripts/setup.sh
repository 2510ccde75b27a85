#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12: the Debian packages
# and the JUCE 8.0.6 module sources (from the Debian 13 archive, checked by SHA-256).
# Safe to run again: it only installs what is missing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common.sh"

packages=(
    cmake g++ ninja-build ccache pkg-config file
    libfreetype-dev libfontconfig1-dev libx11-dev libxext-dev libxinerama-dev
    libxrandr-dev libxcursor-dev libpng-dev libjpeg-dev zlib1g-dev
    fonts-dosis binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
    libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
    xvfb xdotool imagemagick x11-utils zenity xdg-utils unzip python3-xlib gdb
    debian-archive-keyring ca-certificates
)

fetch_juce() {
    [ -f "$JUCE_DIR/.complete" ] && return 0
    say "fetching $JUCE_DEB_PACKAGE $JUCE_DEB_VERSION into $JUCE_DIR"
    local deb
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    private_apt "$work" "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(configured_debian_mirror) trixie main"
    (cd "$work" && apt-get "${apt_opts[@]}" -qq download "$JUCE_DEB_PACKAGE=$JUCE_DEB_VERSION") \
        || die "cannot download $JUCE_DEB_PACKAGE $JUCE_DEB_VERSION"
    deb=$(ls "$work"/*.deb)
    echo "$JUCE_DEB_SHA256  $deb" | sha256sum --check --quiet \
        || die "SHA-256 of $(basename "$deb") does not match $JUCE_DEB_SHA256"
    rm -rf "$JUCE_DIR" && mkdir -p "$JUCE_DIR"
    dpkg -x "$deb" "$work/x"
    mv "$work/x/usr/share/juce/modules" "$JUCE_DIR/modules"
    touch "$JUCE_DIR/.complete"
}

install_packages "${packages[@]}"
fetch_juce
