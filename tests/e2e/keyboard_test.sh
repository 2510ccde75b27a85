#!/usr/bin/env bash
# The installer used with the keyboard alone, the real executable under Xvfb: Space selects the
# focused row, Tab moves on in reading order, Return on INSTALL installs; on the next start
# Shift+Tab wraps to INSTALL, holding Shift turns its word into UNINSTALL on screen, and
# Shift+Return removes the bundles; Return opens the licence panel and Escape closes it, the
# focus going back to its button. The pointer rests outside the controls, except for one real
# pointer move over a row, which changes the hint line.
set -euo pipefail
shots="${2:-$(dirname "$1")/screenshots}"
mkdir -p "$shots"
here="$(dirname "$0")"
source "$here/lib.sh" "$1"
/usr/bin/python3 "$here/close_window.py" --prepare

common="$work/.wine/drive_c/Program Files/Common Files"
vst3="$common/VST3/Kestrune.vst3"
aax="$common/Avid/Audio/Plug-Ins/Kestrune.aaxplugin"
clap="$common/CLAP/Kestrune.clap"

key() { xdotool key --delay 60 "$@"; sleep 0.3; }
tabs() { for _ in $(seq "$1"); do key Tab; done; }
area_hash() { import -window "$window" -crop "$1" -depth 8 txt:- | md5sum; }
word_area() { area_hash 60x15+516+505; }
# Over no control; and the window gets the keyboard as a window manager would give it.
rest_pointer() { xdotool mousemove --window "$window" 440 400 windowfocus --sync "$window"; sleep 0.3; }
white_near() { [ "$(import -window "$window" -crop "$1" -depth 8 txt:- | grep -ci '#F5F5F5')" -gt 20 ]; }

start_installer
rest_pointer
white_near 8x60+298+180 && fail "a focus ring shows before any key was used"
key space                 # VST3 has the focus from the start
tabs 2; key space         # AAX
white_near 8x60+16+252 || fail "no focus ring on AAX after Tab"
screenshot "$shots/keyboard-focus.png"
tabs 8; key Return        # SELECT ALL, six links, INSTALL
wait_for test -f "$aax/Contents/x64/Kestrune.aaxplugin" || true
[ -f "$vst3/Contents/x86_64-win/Kestrune.vst3" ] || fail "VST3 not installed with the keyboard"
[ -f "$aax/Contents/x64/Kestrune.aaxplugin" ] || fail "AAX not installed with the keyboard"
[ ! -e "$clap" ] || fail "CLAP installed without being selected"
stop_installer

start_installer           # installed rows start selected
rest_pointer
before_hint=$(area_hash 552x18+24+540)
xdotool mousemove --window "$window" 440 210; sleep 0.4
[ "$(area_hash 552x18+24+540)" != "$before_hint" ] || fail "moving the pointer over CLAP did not change the hint line"
rest_pointer
key shift+Tab             # wraps from VST3 to INSTALL
word=$(word_area)
xdotool keydown shift; sleep 0.4
[ "$(word_area)" != "$word" ] || fail "holding Shift did not change the INSTALL word"
screenshot "$shots/keyboard-uninstall.png"
xdotool key Return
wait_for test ! -e "$aax" || true
xdotool keyup shift; sleep 0.5
[ ! -e "$vst3" ] && [ ! -e "$aax" ] || fail "Shift+Return did not remove the bundles"
stop_installer

start_installer
rest_pointer
tabs 4; key Return        # EULA
licence=$(area_hash 552x480+24+72)
key Escape
[ "$(area_hash 552x480+24+72)" != "$licence" ] || fail "Escape did not close the licence panel"
white_near 8x24+18+444 || fail "the focus did not come back to EULA"
stop_installer
pass "screenshots in $shots"
