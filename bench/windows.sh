#!/usr/bin/env bash
# Figures of the Windows executable, each beside a reference from the same run; prints rows of
# a Markdown table (scripts/bench.sh adds them to its own):
#   - the cross-build in a clean build folder, with every object in ccache and without;
#   - the executable's size unstripped and as shipped (stripped), against its archives;
#   - start-up to the first painted frame under Wine, and the install of all three formats
#     under Wine (INSTALL clicked until the SUCCESS icon shows), beside the Linux build's.
# Usage: windows.sh LINUX_APP RUNS   (run from scripts/bench.sh, which sets up the build)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
source "$QF_ROOT/scripts/shell_helpers.sh"
linux_app="$1"; runs="${2:-5}"
QF_WAIT_POLL=0.005
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" timeout 30 wineserver -k 2> /dev/null || true; kill "${xvfb:-}" 2> /dev/null || true; rm -rf "$work"' EXIT

ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
median() { sort -n | sed -n "$((runs / 2 + 1))p"; }

# cross_build NAME [VARIABLE=VALUE]: seconds for a cross-build in a clean folder, unstripped so
# both sizes can be measured. Runs in a subshell, so the variable stays there. Paths inside the
# temporary folder are hashed relative to it, so a build in another run's folder finds the
# same objects in ccache.
export CCACHE_BASEDIR="$work"
cross_build() {
    local dir="$work/build-$1" start
    [ -z "${2:-}" ] || export "$2"
    start=$(date +%s%N)
    configure_windows "$dir" -DCMAKE_EXE_LINKER_FLAGS_RELEASE=
    cmake --build "$dir" --target qf_installer > /dev/null
    echo $(( ($(date +%s%N) - start) / 1000000000 ))
}
cross_build warm > /dev/null                     # fills ccache, whatever was there before
cached=$(cross_build cached)                     # JUCE's objects from ccache
uncached=$(cross_build uncached CCACHE_DISABLE=1) # nothing cached
echo "| Cross-build of the Windows executable in a clean folder, every object already in ccache | $cached s | the same with nothing cached: $uncached s | $(ratio "$cached" "$uncached") |"

exe="$work/build-uncached/qf_installer.exe"
unstripped=$(stat -c %s "$exe")
x86_64-w64-mingw32-strip -o "$work/stripped.exe" "$exe"
stripped=$(stat -c %s "$work/stripped.exe")
archives=$(( $(stat -c %s "$BUILD_DIR"/standin/*.zip | paste -sd+) ))
echo "| Windows executable as shipped (stripped); unstripped $(mb "$unstripped") | $(mb "$stripped"), $(mb $((stripped - archives))) beyond the archives | the three archives it carries: $(mb "$archives") | $(ratio "$stripped" "$archives") |"

start_xvfb
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 180 wineboot -i > /dev/null 2>&1

# first_frame COMMAND...: sets frame_ms to the milliseconds from start until its window shows
# the background at its centre; leaves the process running, its window in $window.
first_frame() {
    local start
    start=$(date +%s%N)
    HOME="$work/home" "$@" > /dev/null 2>&1 &
    app_pid=$!
    find_window qf_installer "$app_pid"
    wait_for_first_frame
    frame_ms=$(ms_since "$start")
}

success_shown() { [[ "$(pixel_at 300 282)" == *"#86CF7A"* ]]; }
# install_time: SELECT ALL, INSTALL, and milliseconds until the green SUCCESS icon shows.
install_time() {
    local start
    xdotool mousemove --window "$window" 519 147 click 1; sleep 0.5
    xdotool mousemove --window "$window" 546 471
    start=$(date +%s%N)
    xdotool click 1
    wait_for outcome "the green SUCCESS icon" success_shown
    ms_since "$start"
}

# One run: start, time the first frame, install, time it, stop; prints "frame install".
one_run() {
    rm -rf "$work/home" "$WINEPREFIX/drive_c/Program Files/Common Files"/{VST3,CLAP,Avid} "$WINEPREFIX/drive_c/ProgramData/Quillfern"
    mkdir -p "$work/home"
    local install
    first_frame "$@"
    sleep 0.5
    install=$(install_time)
    kill "$app_pid" 2> /dev/null; wait "$app_pid" 2> /dev/null || true
    timeout 30 wineserver -w 2> /dev/null || true
    echo "$frame_ms $install"
}

for _ in $(seq "$runs"); do one_run wine "$work/stripped.exe"; done > "$work/wine.txt"
for _ in $(seq "$runs"); do one_run "$linux_app"; done > "$work/linux.txt"
wine_frame=$(cut -d' ' -f1 "$work/wine.txt" | median); linux_frame=$(cut -d' ' -f1 "$work/linux.txt" | median)
wine_install=$(cut -d' ' -f2 "$work/wine.txt" | median); linux_install=$(cut -d' ' -f2 "$work/linux.txt" | median)
echo "| Start-up to the first painted frame of the .exe under Wine (median of $runs) | $wine_frame ms | the Linux build, same way: $linux_frame ms | $(ratio "$wine_frame" "$linux_frame") |"
echo "| Install of the three formats under Wine, click to SUCCESS (median of $runs) | $wine_install ms | the Linux build, same way: $linux_install ms | $(ratio "$wine_install" "$linux_install") |"
