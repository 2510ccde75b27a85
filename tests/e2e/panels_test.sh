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

# The main screen has its blue bar along the top; every panel paints that area dark.
main_shown() { [ "$(blue_at 300 2)" -gt 200 ]; }
panel_shown() { [ "$(blue_at 300 2)" -lt 40 ]; }
close_panel() {
    click_at 552 33
    main_shown || fail "closing the $1 panel did not show the main screen"
}
open_panel() {
    click_at "$2" "$3"
    panel_shown || fail "the $1 panel did not open"
    xdotool mousemove --window "$window" 300 590; sleep 0.2
    screenshot "$shots/$1.png"
}

start_installer
xdotool mousemove --window "$window" 300 300; sleep 0.3
main_shown || fail "main screen not shown at start"

open_panel eula 72 456
click_at 300 300
xdotool type --delay 5 "typed into the licence"; sleep 0.2
panel_shown || fail "clicking or typing in the licence closed it"
close_panel eula

open_panel support 174 486
# DISCORD: its tile turns green while the button is held down; the click opens the invite.
xdotool mousemove --window "$window" 90 120 mousedown 1; sleep 0.3
pressed=$(red_at 64 120)
xdotool mouseup 1; sleep 0.3
[ "$pressed" -ge 130 ] && [ "$pressed" -le 138 ] || fail "pressed DISCORD tile red channel $pressed"
click_at 90 240    # MAIL
click_at 300 200   # beside the tiles: nothing
sleep 0.5
grep -qx 'https://chat.quillfern.example/invite/quillfern' "$work/opened.txt" || fail "chat invite not opened"
grep -q '^mailto:support@quillfern.example?subject=Kestrune%20help&body=Product%3A%20Kestrune%201.0.0%0AOperating%20System%3A%20' "$work/opened.txt" \
    || fail "support mail link: $(cat "$work/opened.txt")"
[ "$(wc -l < "$work/opened.txt")" -eq 2 ] || fail "a click beside the tiles opened something"
close_panel support

open_panel settings 276 456
click_at 528 150   # BROWSE for CLAP
sleep 0.6
grep -qx -- '--title=Choose the CLAP install folder' "$work/zenity-args.txt" || fail "chooser title: $(cat "$work/zenity-args.txt")"
grep -qx -- '--directory' "$work/zenity-args.txt" || fail "chooser not asked for a folder"
grep -q 'CLAP_Path="C:\\Plugins\\CLAP"' "$settings" || fail "settings file not rewritten: $(cat "$settings")"
grep -q 'VST3_Path="C:\\Program Files\\Common Files\\VST3"' "$settings" || fail "VST3 path changed"
# The chooser starts at the folder the box now shows; the hovered face is brighter.
click_at 528 150
sleep 0.6
[ "$(tail -n 1 "$work/zenity-args.txt")" = "cwd=$chosen" ] || fail "chooser did not start at the box's folder"
hovered=$(red_at 570 150) idle=$(red_at 570 111)
[ "$hovered" -ge 128 ] && [ "$hovered" -le 136 ] || fail "hovered BROWSE face red channel $hovered"
[ "$idle" -ge 90 ] && [ "$idle" -le 98 ] || fail "idle BROWSE face red channel $idle"
close_panel settings

open_panel changelog 276 486
close_panel changelog

# The chosen folder is where CLAP now goes.
click_at 440 210   # CLAP
click_at 546 471   # INSTALL
[ -f "$chosen/Kestrune.clap" ] || fail "CLAP not installed into the chosen folder"
stop_installer
pass "screenshots in $shots"
