#!/usr/bin/env bash
# The four panels with the real executable under Xvfb: open each from the main screen, take
# its screenshot, use it, close it with its X and see the main screen again. The system's
# link handler and folder chooser are stand-ins on PATH that record what they were given;
# the chooser answers with a folder in the Wine prefix, which must reach the settings file
# and the next install.
set -euo pipefail
shots="${2:-$(dirname "$1")/screenshots}"
mkdir -p "$shots"
source "$(dirname "$0")/lib.sh" "$1"

mkdir -p "$work/bin"
chosen="$work/.wine/drive_c/Plugins/CLAP"
mkdir -p "$chosen"
cat > "$work/bin/xdg-open" << STANDIN
#!/bin/sh
printf '%s\n' "\$1" >> "$work/opened.txt"
STANDIN
cat > "$work/bin/zenity" << STANDIN
#!/bin/sh
printf '%s\n' "\$@" "cwd=\$(pwd)" >> "$work/zenity-args.txt"
printf '%s\n' "$chosen"
STANDIN
chmod +x "$work/bin/xdg-open" "$work/bin/zenity"
export PATH="$work/bin:$PATH"
settings="$work/.wine/drive_c/ProgramData/Quillfern/PluginManagerSettings.txt"

close_panel() {
    click_at 552 33
    wait_for panel "closing the $1 panel to show the main screen" main_shown
}
open_panel() {
    click_at "$2" "$3"
    wait_for panel "the $1 panel to open" panel_shown
    xdotool mousemove --window "$window" 300 590
    screenshot "$shots/$1.png"
}
# lines_matching N PATTERN FILE: whether at least N lines of FILE match the pattern.
lines_matching() { seen="$(grep -c -- "$2" "$3" 2> /dev/null || true) lines"; [ "${seen% lines}" -ge "$1" ] 2> /dev/null; }
# The close mark brightens under the pointer: once it does, every click and key sent before
# the pointer moved there has been taken.
close_mark_hovered() { channel_in red 552 33 150 255; }
has_text() { grep -q -- "$1" "$2" 2> /dev/null; }

start_installer
xdotool mousemove --window "$window" 300 300
main_shown || fail "main screen not shown at start"

open_panel eula 72 456
click_at 300 300
xdotool type --delay 5 "typed into the licence"
xdotool mousemove --window "$window" 552 33
wait_for pixel "the close mark to brighten under the pointer" close_mark_hovered
panel_shown || fail "clicking or typing in the licence closed it"
close_panel eula

open_panel support 174 486
# DISCORD: its tile turns green while the button is held down; the click opens the invite.
xdotool mousemove --window "$window" 90 120 mousedown 1
wait_for pixel "the held DISCORD tile to turn green" channel_in red 64 120 130 138
xdotool mouseup 1
click_at 300 200   # beside the tiles: nothing
click_at 90 240    # MAIL
wait_for record "the chat invite and the mail link to reach the link handler" lines_matching 2 . "$work/opened.txt"
grep -qx 'https://chat.quillfern.example/invite/quillfern' "$work/opened.txt" || fail "chat invite not opened: $(cat "$work/opened.txt")"
grep -q '^mailto:support@quillfern.example?subject=Kestrune%20help&body=Product%3A%20Kestrune%201.0.0%0AOperating%20System%3A%20' "$work/opened.txt" \
    || fail "support mail link: $(cat "$work/opened.txt")"
[ "$(wc -l < "$work/opened.txt")" -eq 2 ] || fail "a click beside the tiles opened something: $(cat "$work/opened.txt")"
close_panel support

open_panel settings 276 456
# BROWSE for CLAP. The pointer comes over it first and the face shows it has: a press sent at
# once after the panel opened or after the chooser returned was sometimes not taken by a
# loaded or sanitized build, as no user's press could be, who sees the face brighten first.
browse_clap() {
    xdotool mousemove --window "$window" 528 150
    wait_for pixel "the hovered BROWSE face to be brighter" channel_in red 570 150 128 136
    click_at 528 150
}
browse_clap
wait_for record "the folder chooser to be asked" lines_matching 1 '^cwd=' "$work/zenity-args.txt"
grep -qx -- '--title=Choose the CLAP install folder' "$work/zenity-args.txt" || fail "chooser title: $(cat "$work/zenity-args.txt")"
grep -qx -- '--directory' "$work/zenity-args.txt" || fail "chooser not asked for a folder"
wait_for file "the chosen CLAP folder in the settings file" has_text 'CLAP_Path="C:\\Plugins\\CLAP"' "$settings"
grep -q 'VST3_Path="C:\\Program Files\\Common Files\\VST3"' "$settings" || fail "VST3 path changed: $(cat "$settings")"
# The chooser starts at the folder the box now shows; the hovered face is brighter. The pointer
# leaves and comes back, as a user's would from the chooser's dialog.
xdotool mousemove --window "$window" 400 400
wait_for pixel "the BROWSE face to be idle once the pointer left" channel_in red 570 150 90 98
browse_clap
wait_for record "the folder chooser to be asked again" lines_matching 2 '^cwd=' "$work/zenity-args.txt"
[ "$(tail -n 1 "$work/zenity-args.txt")" = "cwd=$chosen" ] || fail "chooser did not start at the box's folder"
wait_for pixel "the hovered BROWSE face to be brighter" channel_in red 570 150 128 136
channel_in red 570 111 90 98 || fail "idle BROWSE face red channel $seen"
close_panel settings

open_panel changelog 276 486
close_panel changelog

# The chosen folder is where CLAP now goes.
click_at 440 210   # CLAP
click_at 546 471   # INSTALL
wait_for_success
[ -f "$chosen/Kestrune.clap" ] || fail "CLAP not installed into the chosen folder"
stop_installer
pass "screenshots in $shots"
