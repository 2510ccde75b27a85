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

# Keys send nothing else: each caller waits for what its keys should bring about.
key() { xdotool key --delay 60 "$@"; }
tabs() { for _ in $(seq "$1"); do key Tab; done; }
word_area() { area_hash 60x15+516+505; }
hint_area() { area_hash 552x18+24+540; }
changed_from() { [ "$("$1")" != "$2" ]; }
# Over no control; and the window gets the keyboard as a window manager would give it.
rest_pointer() { xdotool mousemove --window "$window" 440 400 windowfocus --sync "$window"; }
white_near() { [ "$(colour_count "$1" F5F5F5)" -gt 20 ] 2> /dev/null; }
bundles_gone() { [ ! -e "$vst3" ] && [ ! -e "$aax" ]; }

# pointer_over_clap: moves the pointer over the CLAP row and waits for the hint line to change,
# which also shows that everything sent before has been taken.
pointer_over_clap() {
    local before
    before=$(hint_area)
    xdotool mousemove --window "$window" 440 210
    wait_for pixel "moving the pointer over CLAP to change the hint line" changed_from hint_area "$before"
}

start_installer
rest_pointer
pointer_over_clap
white_near 8x60+298+180 && fail "a focus ring shows before any key was used"
rest_pointer
key space                 # VST3 has the focus from the start
tabs 2; key space         # AAX
wait_for pixel "a focus ring on AAX after Tab" white_near 8x60+16+252
screenshot "$shots/keyboard-focus.png"
tabs 8; key Return        # SELECT ALL, six links, INSTALL
wait_for_success
[ -f "$vst3/Contents/x86_64-win/Kestrune.vst3" ] || fail "VST3 not installed with the keyboard"
[ -f "$aax/Contents/x64/Kestrune.aaxplugin" ] || fail "AAX not installed with the keyboard"
[ ! -e "$clap" ] || fail "CLAP installed without being selected"
stop_installer

start_installer           # installed rows start selected
rest_pointer
pointer_over_clap
rest_pointer
key shift+Tab             # wraps from VST3 to INSTALL
word=$(word_area)
xdotool keydown shift
wait_for pixel "holding Shift to change the INSTALL word" changed_from word_area "$word"
screenshot "$shots/keyboard-uninstall.png"
xdotool key Return
wait_for_success
xdotool keyup shift
bundles_gone || fail "Shift+Return did not remove the bundles"
stop_installer

start_installer
rest_pointer
tabs 4; key Return        # EULA
wait_for panel "Return on EULA to open the licence panel" panel_shown
key Escape
wait_for panel "Escape to close the licence panel" main_shown
wait_for pixel "the focus to come back to EULA" white_near 8x24+18+444
stop_installer
pass "screenshots in $shots"
