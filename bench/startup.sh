#!/usr/bin/env bash
# Start-up to the first painted frame under Xvfb (median of N runs) against a GTK dialog
# (zenity --info) started and detected the same way, and the executable's size against the
# archives it carries. Prints rows of a Markdown table. The frame counts as painted when the
# window's centre shows the background colour #111111; the poll adds a few milliseconds. Also
# the command line's --status from start to exit against that start-up.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/shell_helpers.sh"
app="$1"; runs="${2:-10}"
QF_WAIT_POLL=0.005 QF_WAIT_SECONDS=30
trap 'kill ${xvfb:-} 2> /dev/null || true' EXIT
start_xvfb

# time_until_shown TITLE PAINTED COMMAND...: milliseconds from start until a visible window
# titled TITLE exists (and, when PAINTED is "painted", shows its first frame).
time_until_shown() {
    local name="$1" painted="$2"; shift 2
    local home start
    home=$(mktemp -d)
    start=$(date +%s%N)
    HOME="$home" "$@" > /dev/null 2>&1 &
    local pid=$!
    find_window "$name" "$pid"
    [ "$painted" != painted ] || wait_for_first_frame
    echo $(( ($(date +%s%N) - start) / 1000000 ))
    kill "$pid" 2> /dev/null; wait "$pid" 2> /dev/null || true
    rm -rf "$home"
}

median_of_runs() {
    local times=()
    for _ in $(seq "$runs"); do times+=("$("$@")"); done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p"
}

installer=$(median_of_runs time_until_shown qf_installer painted "$app")
dialog=$(median_of_runs time_until_shown qf_reference shown zenity --info --title=qf_reference --text=reference)
# The command line's --status, started to exited, with no display at all.
time_status() {
    local home start
    home=$(mktemp -d)
    start=$(date +%s%N)
    env -u DISPLAY HOME="$home" "$app" --status > /dev/null || { echo "--status failed" >&2; exit 1; }
    echo $(( ($(date +%s%N) - start) / 1000000 ))
    rm -rf "$home"
}
status=$(median_of_runs time_status)
size=$(stat -c %s "$app")
archives=$(( $(stat -c %s "$(dirname "$app")"/standin/*.zip | paste -sd+) ))

mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "| Start-up to the first painted frame under Xvfb (median of $runs) | $installer ms | a GTK dialog (\`zenity --info\`) to its window: $dialog ms | $(ratio "$installer" "$dialog") |"
echo "| Command line \`--status\`, start to exit, no display (median of $runs) | $status ms | the window's start-up to its first frame, above: $installer ms | $(ratio "$status" "$installer") |"
echo "| Executable size | $(mb "$size") | the three archives it carries: $(mb "$archives") | $(ratio "$size" "$archives") |"
