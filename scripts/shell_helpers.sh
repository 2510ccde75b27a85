# Shell helpers shared by the end-to-end tests, the benchmarks and scripts/run.sh: bounded
# waits for a condition, a private Xvfb, finding a window and reading its pixels.
#
# A caller may define fail() before sourcing this file; otherwise a failure prints "FAIL: ..."
# (and whatever failure_context, if the caller defines it, prints) and exits with status 1.
# A wait gives up after QF_WAIT_SECONDS (60 by default) and looks again every QF_WAIT_POLL
# seconds (0.05; benchmarks that time a wait set less). With QF_WAIT_LOG set to a file, every
# wait that succeeds appends "KIND<TAB>MILLISECONDS<TAB>WHAT" to it, so a run's slowest waits
# can be read off afterwards.

QF_SHELL_HELPERS_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if ! declare -F fail > /dev/null; then
    fail() {
        echo "FAIL: $*"
        if declare -F failure_context > /dev/null; then failure_context || true; fi
        exit 1
    }
fi

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# wait_for KIND WHAT COMMAND...: runs COMMAND until it succeeds. KIND names the sort of
# condition (panel, file, record, outcome, window, frame, pixel, ...) for the wait log; WHAT
# says what is awaited ("the eula panel to open"). A condition may set `seen` to what it last
# saw, which the failure message then shows.
wait_for() {
    local kind="$1" what="$2"
    shift 2
    local start deadline
    start=$(now_ms)
    deadline=$(( start + ${QF_WAIT_SECONDS:-60} * 1000 ))
    seen=""
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || fail "waited ${QF_WAIT_SECONDS:-60} s for $what${seen:+; last seen: $seen}"
        sleep "${QF_WAIT_POLL:-0.05}"
    done
    [ -z "${QF_WAIT_LOG:-}" ] || printf '%s\t%s\t%s\n' "$kind" "$(( $(now_ms) - start ))" "$what" >> "$QF_WAIT_LOG"
}

# start_xvfb: a private Xvfb on a display number it picks itself (so two never collide);
# exports DISPLAY once the server takes connections and sets xvfb to its process id.
# -noreset: atoms made by one client stay for the next (see tests/e2e/close_window.py).
start_xvfb() {
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3> "$number_file" > /dev/null 2>&1 &
    xvfb=$!
    wait_for server "Xvfb to take connections" xvfb_ready "$number_file"
    export DISPLAY=":$(head -n 1 "$number_file")"
    rm -f "$number_file"
}
xvfb_ready() {
    kill -0 "$xvfb" 2> /dev/null || fail "Xvfb exited before taking connections"
    grep -q '^[0-9]' "$1"
}

# find_window TITLE [PID]: waits for a visible window with exactly this title and sets window
# to its id; fails at once when the process PID has exited meanwhile.
find_window() {
    window=""
    wait_for window "a visible window titled $1" window_shown "$1" "${2:-}"
}
window_shown() {
    [ -z "$2" ] || kill -0 "$2" 2> /dev/null || fail "the program exited before showing its window titled $1"
    window=$(timeout 5 xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -n 1 || true)
    [ -n "$window" ]
}

# Reads of the screen go through window_pixels.py, which does not grab the X server as
# ImageMagick's import does (a grab for every poll starves a slow client), and are bounded
# too, so a wait's condition cannot hang.
window_pixels() { timeout 5 /usr/bin/python3 "$QF_SHELL_HELPERS_DIR/window_pixels.py" "$1" "$window" "${@:2}" 2> /dev/null; }
pixel_at() { window_pixels pixel "$1" "$2"; }
red_at() { pixel_at "$1" "$2" | sed -nE 's/^\(([0-9]+),.*/\1/p'; }
blue_at() { pixel_at "$1" "$2" | sed -nE 's/^\([0-9]+,[0-9]+,([0-9]+).*/\1/p'; }
area_hash() { window_pixels hash "$1"; }
# colour_count WxH+X+Y RRGGBB: how many pixels of the area have exactly that colour.
colour_count() { window_pixels count "$1" "$2"; }
# channel_in CHANNEL X Y LOW HIGH: whether that channel (red or blue) of the pixel lies in
# [LOW, HIGH]; sets seen to the value read.
channel_in() {
    seen=$("$1_at" "$2" "$3")
    [ -n "$seen" ] && [ "$seen" -ge "$4" ] && [ "$seen" -le "$5" ]
}
# Whether the window shows the installer's background (#111111) at the centre of its 600 x 600
# content: the first frame has been painted.
first_frame_painted() { [[ "$(pixel_at 300 300)" == *"#111111"* ]]; }
wait_for_first_frame() { wait_for frame "the first painted frame" first_frame_painted; }

# A picture that no longer changes between two captures a moment apart: what a screenshot for
# the documentation waits for, so it never catches a repaint half done.
picture_settled() {
    local now
    now=$(area_hash 600x600+0+0)
    [ -n "$now" ] && [ "$now" = "${last_picture:-}" ] && return 0
    last_picture=$now
    return 1
}
# A screenshot of the window without dates in the file, so an unchanged screen gives the same bytes.
screenshot() {
    last_picture=""
    wait_for frame "the window's picture to settle" picture_settled
    import -window "$window" -strip -define png:exclude-chunks=date,time "$1"
}
