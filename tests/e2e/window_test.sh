#!/usr/bin/env bash
# Starts the real installer under its own Xvfb with a temporary HOME and checks the window:
# title "qf_installer", a 600 x 600 client area, and a square one after non-square resizes.
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

# Resized from outside to sizes that are not square (a window manager that ignores the aspect
# hint, or a program), the window keeps its content square on the shorter side, so nothing is
# cut off: the INSTALL face stays whole in the bottom right.
client_size() {
    local geometry
    geometry=$(xwininfo -id "$window")
    echo "$(awk '/Width:/ {print $2}' <<< "$geometry")x$(awk '/Height:/ {print $2}' <<< "$geometry")"
}
# INSTALL's face, a grey square at (86, 73.5) units: near its left edge at unit 5.
squared_with_install_face() {
    seen="$(client_size), INSTALL face $(pixel_at 433 392)"
    [ "$(client_size)" = 500x500 ] && channel_in red 433 392 60 255
}
for size in "700 500" "500 760"; do
    xdotool windowsize "$window" $size
    wait_for window "the window to be square again at 500x500 with the INSTALL face whole after a resize to ${size/ /x}" \
        squared_with_install_face
done
kill -0 "$app_pid" || fail "the installer exited"
pass
