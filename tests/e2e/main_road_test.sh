#!/usr/bin/env bash
# The installer's main road with the real executable under Xvfb and a temporary HOME:
# select VST3 and AAX, install, check the files and the result view; start again and
# Shift-click INSTALL to remove them; hover a row and see the hint line change.
set -euo pipefail
shots="${2:-$(dirname "$1")/screenshots}"
mkdir -p "$shots"
source "$(dirname "$0")/lib.sh" "$1"

hint_area() { area_hash 552x18+24+540; }
hint_changed_from() { [ "$(hint_area)" != "$1" ]; }

common="$work/.wine/drive_c/Program Files/Common Files"
vst3="$common/VST3/Kestrune.vst3"
aax="$common/Avid/Audio/Plug-Ins/Kestrune.aaxplugin"
clap="$common/CLAP/Kestrune.clap"
bundles_gone() { [ ! -e "$vst3" ] && [ ! -e "$aax" ]; }

start_installer
before=$(hint_area)
# Grey over the background at alpha 89 normally, 128 while hovered.
channel_in red 564 210 68 73 || fail "idle CLAP row red channel $seen"
xdotool mousemove --window "$window" 440 210
wait_for pixel "the hovered CLAP row to brighten" channel_in red 564 210 91 97
wait_for pixel "hovering CLAP to change the hint line" hint_changed_from "$before"
screenshot "$shots/main.png"
click_at 159 210   # VST3
click_at 159 282   # AAX
click_at 546 471   # INSTALL
wait_for_success
screenshot "$shots/result.png"
[ -f "$vst3/Contents/x86_64-win/Kestrune.vst3" ] || fail "VST3 not installed"
[ -f "$aax/Contents/x64/Kestrune.aaxplugin" ] || fail "AAX not installed"
[ ! -e "$clap" ] || fail "CLAP installed without being selected"
[ -f "$work/.wine/drive_c/ProgramData/Quillfern/PluginManagerSettings.txt" ] || fail "no settings file"
stop_installer

start_installer   # installed rows start selected
xdotool mousemove --window "$window" 546 471 keydown shift click 1 keyup shift
wait_for_success
bundles_gone || fail "Shift-click did not remove the bundles"
[ -d "$common/VST3" ] || fail "the VST3 folder itself was removed"
stop_installer
pass "screenshots in $shots"
