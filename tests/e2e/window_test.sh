#!/usr/bin/env bash
# Starts the real installer under its own Xvfb with a temporary HOME and checks the window:
# title "qf_installer" and a 600 x 600 client area.
set -euo pipefail
app="$1"
work=$(mktemp -d)
display=":$((200 + RANDOM % 500))"
cleanup() { kill "${app_pid:-}" "${xvfb:-}" 2> /dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done

HOME="$work" "$app" &
app_pid=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name '^qf_installer$' 2> /dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window titled qf_installer"; exit 1; }

name=$(xdotool getwindowname "$window")
geometry=$(xwininfo -id "$window")
width=$(awk '/Width:/ {print $2}' <<< "$geometry")
height=$(awk '/Height:/ {print $2}' <<< "$geometry")
echo "window '$name' ${width}x${height}"
[ "$name" = "qf_installer" ] || { echo "FAIL: title is '$name'"; exit 1; }
[ "$width" = 600 ] && [ "$height" = 600 ] || { echo "FAIL: client area ${width}x${height}"; exit 1; }
kill -0 "$app_pid" || { echo "FAIL: the installer exited"; exit 1; }
echo "PASS"
