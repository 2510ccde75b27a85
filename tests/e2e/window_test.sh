#!/usr/bin/env bash
# Starts the real installer under its own Xvfb with a temporary HOME and checks the window:
# title "qf_installer" and a 600 x 600 client area.
set -euo pipefail
source "$(dirname "$0")/lib.sh" "$1"

start_installer
name=$(xdotool getwindowname "$window")
geometry=$(xwininfo -id "$window")
width=$(awk '/Width:/ {print $2}' <<< "$geometry")
height=$(awk '/Height:/ {print $2}' <<< "$geometry")
echo "window '$name' ${width}x${height}"
[ "$name" = "qf_installer" ] || fail "title is '$name'"
[ "$width" = 600 ] && [ "$height" = 600 ] || fail "client area ${width}x${height}"
kill -0 "$app_pid" || fail "the installer exited"
pass
