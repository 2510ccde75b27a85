# Shared settings of the build scripts.
QF_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QF_CACHE_DIR="${QF_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/qf_installer}"
JUCE_DEB_PACKAGE=juce-modules-source-data
JUCE_DEB_VERSION=8.0.6+ds-2
JUCE_DEB_SHA256=ecc4a578b6927a59b7805839a955697242a4848a66fbe9ac99c9405cb7df3b91
JUCE_DIR="$QF_CACHE_DIR/juce-8.0.6"
BUILD_DIR="${QF_BUILD_DIR:-$QF_ROOT/build}"

# The Windows cross-build (scripts/windows-setup.sh, scripts/build-windows.sh).
MINGW_VERSION=12.0.0-5
MINGW_DEV_SHA256=0bf89cf7454cccb49cd2a46a6f7b33896f6ae3a1a2fe33e02c40be6155bbb385
MINGW_COMMON_SHA256=97dce5d0d8aff1cade4786ad4ef5078345477a598829afcac2e7f2fbc5399990
MINGW_SDK_DIR="$QF_CACHE_DIR/mingw-w64-$MINGW_VERSION"
PNG_SOURCE_VERSION=1.6.39-2+deb12u5
PNG_DSC_SHA256=7b86211030a34deb6b0a2cd7e1d9db0fe92443fd30cab537fb89b1e7f7c9f188
JPEG_SOURCE_VERSION=1:2.1.5-2
JPEG_DSC_SHA256=d718ead0dfbcbc8523665c02a7f7152e31039ded641d022868722623bb3b486d
WINDOWS_DEPS_DIR="$QF_CACHE_DIR/windows-libs-png-$PNG_SOURCE_VERSION-jpeg-${JPEG_SOURCE_VERSION#*:}"
JUCE_WINDOWS_DIR="$QF_CACHE_DIR/juce-8.0.6-windows"
WINDOWS_BUILD_DIR="${QF_WINDOWS_BUILD_DIR:-$QF_ROOT/build-windows}"
export CCACHE_DIR="${CCACHE_DIR:-$QF_CACHE_DIR/ccache}"

say() { echo "qf_installer: $*"; }
die() { echo "qf_installer: error: $*" >&2; exit 1; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; elif command -v sudo > /dev/null; then sudo "$@"; else
        die "root rights are needed to install packages: run as root or install sudo"
    fi
}

# install_packages NAME...: installs those of the Debian packages that are missing.
install_packages() {
    local missing=()
    for p in "$@"; do
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
    [ -n "$uri" ] || die "no Debian mirror is configured in /etc/apt: cannot fetch the pinned packages"
    echo "$uri"
}

# private_apt DIR LINE: a package list of its own in DIR, from the one sources line, that
# leaves the machine's apt configuration alone; sets apt_opts for apt-get calls that use it.
private_apt() {
    local work="$1" line="$2"
    mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
    echo "$line" > "$work/sources.list"
    apt_opts=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o APT::Sandbox::User=root)
    apt-get "${apt_opts[@]}" -qq update || die "cannot read the package list for: $line"
}

# configure_and_build DIR [TARGET [CMAKE ARGUMENT...]]
configure_and_build() {
    local dir="$1" target="${2:-all}"
    shift $(( $# < 2 ? $# : 2 ))
    cmake -S "$QF_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DJUCE_MODULES_DIR="$JUCE_DIR/modules" "$@" > /dev/null || die "CMake configuration failed"
    cmake --build "$dir" --target "$target" || die "build failed"
}

# configure_windows DIR [CMAKE ARGUMENT...]: configures a cross-build of the Windows executable
# with the toolchain pieces scripts/windows-setup.sh installs, embedding the native build's
# archives and running its build tool.
configure_windows() {
    local dir="$1"
    shift
    cmake -S "$QF_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$QF_ROOT/cmake/windows/Toolchain-mingw64.cmake" \
          -DQF_MINGW_SDK="$MINGW_SDK_DIR/usr/x86_64-w64-mingw32" -DQF_WINDOWS_DEPS="$WINDOWS_DEPS_DIR" \
          -DJUCE_MODULES_DIR="$JUCE_WINDOWS_DIR/modules" -DQF_BUILD_TOOL="$BUILD_DIR/qf_build_tool" \
          -DQF_ARCHIVE_DIR="$BUILD_DIR/standin" \
          -DQF_BUILD_TESTS=OFF -DQF_BUILD_BENCHMARKS=OFF -DQF_BUILD_SANITIZED_TESTS=OFF "$@" > /dev/null \
        || die "CMake configuration of the Windows build failed"
}
