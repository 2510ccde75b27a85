# Shared settings of the build scripts.
QF_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QF_CACHE_DIR="${QF_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/qf_installer}"
JUCE_DEB_PACKAGE=juce-modules-source-data
JUCE_DEB_VERSION=8.0.6+ds-2
JUCE_DEB_SHA256=ecc4a578b6927a59b7805839a955697242a4848a66fbe9ac99c9405cb7df3b91
JUCE_DIR="$QF_CACHE_DIR/juce-8.0.6"
BUILD_DIR="${QF_BUILD_DIR:-$QF_ROOT/build}"
export CCACHE_DIR="${CCACHE_DIR:-$QF_CACHE_DIR/ccache}"

say() { echo "qf_installer: $*"; }
die() { echo "qf_installer: error: $*" >&2; exit 1; }

# configure_and_build DIR [TARGET]
configure_and_build() {
    local dir="$1" target="${2:-all}"
    cmake -S "$QF_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DJUCE_MODULES_DIR="$JUCE_DIR/modules" > /dev/null || die "CMake configuration failed"
    cmake --build "$dir" --target "$target" || die "build failed"
}
