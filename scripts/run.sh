#!/usr/bin/env bash
# Builds the installer and starts it. Without a display it runs under Xvfb, saves a
# screenshot of the window and closes it again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$QF_ROOT/scripts/setup.sh"
configure_and_build "$BUILD_DIR" qf_installer
app="$BUILD_DIR/qf_installer"

if [ -n "${DISPLAY:-}" ]; then
    say "starting $app"
    exec "$app"
fi

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill $app_pid $xvfb 2> /dev/null || true' EXIT
export DISPLAY="$display"
sleep 1
kill -0 $xvfb 2> /dev/null || die "Xvfb could not start on $display"

"$app" &
app_pid=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name '^qf_installer$' 2> /dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 $app_pid 2> /dev/null || die "the installer exited before showing its window"
    sleep 0.1
done
[ -n "$window" ] || die "the installer's window did not appear"
sleep 1
shot="$BUILD_DIR/screenshot.png"
import -window "$window" "$shot"
say "no display: ran under Xvfb; screenshot of the window saved to $shot"
