#!/usr/bin/env bash
# Builds the installer and starts it. Without a display it runs under Xvfb, saves a
# screenshot of the window and closes it again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
fail() { die "$@"; }
source "$QF_ROOT/scripts/shell_helpers.sh"

bash "$QF_ROOT/scripts/setup.sh"
configure_and_build "$BUILD_DIR" qf_installer
app="$BUILD_DIR/qf_installer"

if [ -n "${DISPLAY:-}" ]; then
    say "starting $app"
    exec "$app"
fi

trap 'kill ${app_pid:-} ${xvfb:-} 2> /dev/null || true' EXIT
start_xvfb
"$app" &
app_pid=$!
find_window qf_installer "$app_pid"
wait_for_first_frame
shot="$BUILD_DIR/screenshot.png"
screenshot "$shot"
say "no display: ran under Xvfb on $DISPLAY; screenshot of the window saved to $shot"
