# Shared steps of the end-to-end tests that drive the window: a private Xvfb, a temporary HOME,
# starting and stopping the real installer, clicking and reading pixels of its window.
# Usage: source lib.sh "$app"; sets app, work, window and app_pid.
app="$1"
work=$(mktemp -d)
cleanup() { kill "${app_pid:-}" "${xvfb:-}" 2> /dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/shell_helpers.sh"
source "$(dirname "${BASH_SOURCE[0]}")/sanitizer.sh"

start_xvfb
export HOME="$work"

# Starts the installer and waits for its window's first painted frame.
start_installer() {
    "$app" &
    app_pid=$!
    find_window qf_installer "$app_pid"
    wait_for_first_frame
}
stop_installer() { kill "$app_pid"; wait "$app_pid" 2> /dev/null || true; }
# Clicks send nothing else: each caller waits for what the click should bring about.
click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# The main screen has its blue bar along the top; every panel paints that area dark.
main_shown() { channel_in blue 300 2 201 255; }
panel_shown() { channel_in blue 300 2 0 39; }

# The result view's large icon in this colour: green SUCCESS, orange FAILED.
result_icon_in() { [ "$(colour_count 408x84+96+240 "$1")" -gt 500 ] 2> /dev/null; }
wait_for_success() { wait_for outcome "the run's green SUCCESS view" result_icon_in 86CF7A; }
wait_for_failure() { wait_for outcome "the run's orange FAILED view" result_icon_in E08A2A; }
