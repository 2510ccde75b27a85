# Shared steps of the end-to-end tests: a private Xvfb, a temporary HOME, starting and
# stopping the real installer, clicking and reading pixels of its window.
# Usage: source lib.sh "$app"; sets app, work, window and app_pid.
app="$1"
work=$(mktemp -d)
display=":$((200 + RANDOM % 500))"
cleanup() { kill "${app_pid:-}" "${xvfb:-}" 2> /dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# -noreset: atoms made by one client stay for the next (see close_window.py).
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset > /dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display" HOME="$work"
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done

start_installer() {
    "$app" &
    app_pid=$!
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name '^qf_installer$' 2> /dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window"
    sleep 0.5
}
stop_installer() { kill "$app_pid"; wait "$app_pid" 2> /dev/null || true; }
# Runs the command until it succeeds, for up to 30 s: the install run works on its own thread,
# so its outcome shows a moment after the click.
wait_for() { for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done; return 1; }
click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.3; }
pixel_at() { import -window "$window" -crop "1x1+$1+$2" -depth 8 txt:- | tail -n 1; }
red_at() { pixel_at "$1" "$2" | sed -E 's/^[^(]*\(([0-9]+),.*/\1/'; }
blue_at() { pixel_at "$1" "$2" | sed -E 's/^[^(]*\([0-9]+,[0-9]+,([0-9]+).*/\1/'; }

# With a sanitized executable, reports go to files named "$QF_SANITIZER_LOG.<pid>"; any such
# file fails the test.
if [ -n "${QF_SANITIZER_LOG:-}" ]; then
    rm -f "$QF_SANITIZER_LOG".*
    export ASAN_OPTIONS="detect_leaks=1:log_path=$QF_SANITIZER_LOG" UBSAN_OPTIONS="print_stacktrace=1:log_path=$QF_SANITIZER_LOG"
fi
pass() {
    if [ -n "${QF_SANITIZER_LOG:-}" ] && compgen -G "$QF_SANITIZER_LOG.*" > /dev/null; then
        cat "$QF_SANITIZER_LOG".*
        fail "sanitizer reports above"
    fi
    echo "PASS${1:+ ($1)}"
}
# A screenshot of the window without dates in the file, so an unchanged screen gives the same bytes.
screenshot() { import -window "$window" -strip -define png:exclude-chunks=date,time "$1"; }
