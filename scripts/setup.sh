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
    xvfb xdotool imagemagick x11-utils zenity xdg-utils unzip python3-xlib
    debian-archive-keyring ca-certificates
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; elif command -v sudo > /dev/null; then sudo "$@"; else
        die "root rights are needed to install packages: run as root or install sudo"
    fi
}

install_missing_packages() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing Debian packages: ${missing[*]}"
    as_root apt-get update -qq || die "apt-get update failed: the Debian package archive cannot be reached"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        || die "could not install the Debian packages: ${missing[*]}"
}

# The Debian mirror this machine already uses, so no host name is written anywhere here.
configured_debian_mirror() {
    local uri
    uri=$(grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources 2> /dev/null | awk '{print $2}' | grep -v security | head -n 1 || true)
    [ -n "$uri" ] || uri=$(grep -hs '^deb ' /etc/apt/sources.list 2> /dev/null | grep -v security \
        | sed -E 's/^deb (\[[^]]*\] )?//' | awk '{print $1}' | head -n 1 || true)
    [ -n "$uri" ] || die "no Debian mirror is configured in /etc/apt: cannot fetch the JUCE sources"
    echo "$uri"
}

fetch_juce() {
    [ -f "$JUCE_DIR/.complete" ] && return 0
    say "fetching $JUCE_DEB_PACKAGE $JUCE_DEB_VERSION into $JUCE_DIR"
    local work mirror apt_opts deb
    work=$(mktemp -d)
    trap 'rm -rf "$work"' RETURN
    mirror=$(configured_debian_mirror)
    mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main" > "$work/sources.list"
    apt_opts=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o APT::Sandbox::User=root)
    apt-get "${apt_opts[@]}" -qq update || die "cannot read the Debian 13 package list from $mirror"
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

install_missing_packages
fetch_juce
