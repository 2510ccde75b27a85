#!/usr/bin/env bash
# The Windows executable under Wine with Xvfb, in a fresh Wine prefix: the window and its
# 600 x 600 client area; SELECT ALL and INSTALL put the archives' exact contents under the
# prefix's C:\Program Files\Common Files; a new start shows the rows INSTALLED in blue (the
# version read through Windows' own version API); the settings file under C:\ProgramData;
# Shift-click removes the bundles; the window closes with Alt+F4 and the process exits with
# status 0. Then one failure: an AAX folder blocked by a file shows "FAILED!".
# Usage: wine_main_road_test.sh QF_INSTALLER_EXE STANDIN_ARCHIVE_DIR [SCREENSHOT_DIR]
set -euo pipefail
exe="$1"; archives="$2"; shots="${3:-$(dirname "$1")/screenshots}"
mkdir -p "$shots"
here="$(dirname "$0")"
source "$here/lib.sh" "$exe"

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
command -v wine > /dev/null || fail "wine is not installed"
stop_wine() { timeout 30 wineserver -k 2> /dev/null || true; }
trap 'stop_wine; cleanup' EXIT

timeout 180 wineboot -i > "$work/wineboot.log" 2>&1 || { tail -n 20 "$work/wineboot.log"; fail "Wine could not create a prefix in $WINEPREFIX"; }

drive_c="$WINEPREFIX/drive_c"
common="$drive_c/Program Files/Common Files"
settings="$drive_c/ProgramData/Quillfern/PluginManagerSettings.txt"
bundles=("$common/VST3/Kestrune.vst3" "$common/CLAP/Kestrune.clap" "$common/Avid/Audio/Plug-Ins/Kestrune.aaxplugin")

# Wine's own words, when a step under it fails.
failure_context() { [ ! -s "$work/wine.log" ] || { echo "--- Wine's output:"; tail -n 40 "$work/wine.log"; }; }

start_under_wine() {
    wine "$exe" > "$work/wine.log" 2>&1 &
    app_pid=$!
    find_window qf_installer "$app_pid"  # Wine also makes a 1 x 1 unmapped window of that title
    wait_for_first_frame
}

# Wine takes keys only once a click has made the window its foreground window, which X does
# not show: the click and Alt+F4 are sent again every 10 s until the process has exited.
exited_within_10_s() {
    local start
    start=$(now_ms)
    until ! kill -0 "$app_pid" 2> /dev/null; do
        [ $(( $(now_ms) - start )) -lt 10000 ] || return 1
        sleep 0.1
    done
}
alt_f4_taken() {
    click_at 300 380
    xdotool key alt+F4
    exited_within_10_s
}
close_with_alt_f4() {
    wait_for window "the installer to exit after Alt+F4" alt_f4_taken
    local status=0
    wait "$app_pid" || status=$?
    [ "$status" = 0 ] || fail "the installer exited with status $status"
}

# The archives' exact contents, unpacked by unzip (which warns about the backslashes and then
# honours them: exit status 1).
expected="$work/expected"
for zip in vst3 clap aax; do
    mkdir -p "$expected/$zip"
    unzip -o -qq "$archives/$zip.zip" -d "$expected/$zip" 2> /dev/null || [ $? -eq 1 ] || fail "unzip of $zip.zip failed"
done

start_under_wine
geometry=$(xwininfo -id "$window")
size="$(awk '/Width:/ {print $2}' <<< "$geometry")x$(awk '/Height:/ {print $2}' <<< "$geometry")"
[ "$size" = 600x600 ] || fail "client area $size under Wine, not 600x600"
screenshot "$shots/wine-main.png"
click_at 519 147   # SELECT ALL
click_at 546 471   # INSTALL
wait_for_success
screenshot "$shots/wine-result.png"
diff -r "$expected/vst3/Kestrune.vst3" "${bundles[0]}" > /dev/null || fail "the VST3 bundle differs from its archive"
cmp -s "$expected/clap/Kestrune.clap" "${bundles[1]}" || fail "the CLAP bundle differs from its archive"
diff -r "$expected/aax/Kestrune.aaxplugin" "${bundles[2]}" > /dev/null || fail "the AAX bundle differs from its archive"
[ -f "$settings" ] || fail "no settings file under C:\\ProgramData\\Quillfern"
head -c 40 "$settings" | grep -q '^<?xml version="1.0" encoding="UTF-8"?>' || fail "settings file without the XML declaration"
grep -q $'\r$' "$settings" || fail "settings file without CR LF line ends"
grep -q 'VST3_Path="C:\\Program Files\\Common Files\\VST3"' "$settings" || fail "settings file without the VST3 default folder"
close_with_alt_f4

# Installed rows: blue, which needs the module's version read through File::getVersion.
start_under_wine
for point in "282 210" "564 210" "282 282"; do
    read -r x y <<< "$point"
    [ "$(blue_at "$x" "$y")" -ge 185 ] && [ "$(red_at "$x" "$y")" -le 12 ] || fail "the row at $x,$y is not in the installed colour: $(pixel_at "$x" "$y")"
done
screenshot "$shots/wine-installed.png"
xdotool mousemove --window "$window" 546 471 keydown shift click 1 keyup shift
wait_for_success
for bundle in "${bundles[@]}"; do [ ! -e "$bundle" ] || fail "Shift-click left $bundle"; done
[ -d "$common/VST3" ] || fail "the VST3 folder itself was removed"
close_with_alt_f4

# A file where the AAX folder should be: AAX fails, the others install.
printf 'not a folder' > "$drive_c/Blocked"
sed -i 's|AAX_Path="[^"]*"|AAX_Path="C:\\Blocked\\AAX"|' "$settings"
start_under_wine
click_at 519 147
click_at 546 471
wait_for_failure
screenshot "$shots/wine-failed.png"
[ -e "${bundles[0]}" ] && [ -e "${bundles[1]}" ] || fail "VST3 and CLAP were not installed beside the failing AAX"
[ "$(cat "$drive_c/Blocked")" = "not a folder" ] || fail "the blocking file was changed"
close_with_alt_f4

# The command line of the GUI executable: its output reaches a pipe, its exit status the caller.
status=0
timeout 120 wine "$exe" --status --uninstall=clap > "$work/cli.out" 2> "$work/cli.err" || status=$?
[ "$status" = 0 ] || { cat "$work/cli.out" "$work/cli.err"; fail "--status --uninstall=clap under Wine exited with $status"; }
grep -q '^CLAP: removed from C:\\Program Files\\Common Files\\CLAP' "$work/cli.out" || { cat "$work/cli.out"; fail "no removal line from the command line under Wine"; }
grep -q $'^VST3\tINSTALLED\t1.0.0.0\tC:' "$work/cli.out" || { cat "$work/cli.out"; fail "no VST3 status line from the command line under Wine"; }
[ ! -e "${bundles[1]}" ] || fail "the command line under Wine did not remove CLAP"
status=0
timeout 120 wine "$exe" --install=vst2 > /dev/null 2> "$work/cli.err" || status=$?
[ "$status" = 2 ] && grep -q 'unknown format "vst2"' "$work/cli.err" || { cat "$work/cli.err"; fail "an unknown format under Wine: status $status"; }
# Links where the installer removes or replaces: what they point at survives byte for byte.
# Wine reports a Unix link to a folder as a reparse point but opens and moves what it points
# at whatever it is asked, so the executable leaves such a link as it is and says so.
elsewhere="$work/elsewhere"
mkdir -p "$elsewhere/sub"
echo "not the installer's" > "$elsewhere/precious.txt"
echo "nor this" > "$elsewhere/sub/deep.txt"
before_elsewhere=$(find "$elsewhere" -printf '%p %s\n' | sort; cat "$elsewhere/precious.txt" "$elsewhere/sub/deep.txt")
elsewhere_intact() { [ "$(find "$elsewhere" -printf '%p %s\n' | sort; cat "$elsewhere/precious.txt" "$elsewhere/sub/deep.txt")" = "$before_elsewhere" ]; }
rm -rf "${bundles[0]}"
ln -s "$elsewhere" "${bundles[0]}"
for action in --uninstall=vst3 --install=vst3; do
    status=0
    timeout 120 wine "$exe" "$action" > "$work/cli.out" 2> "$work/cli.err" || status=$?
    [ "$status" = 1 ] && grep -q '^VST3: .*Kestrune.vst3 is a link, which the installer never follows; it was left as it is' "$work/cli.err" \
        || { cat "$work/cli.out" "$work/cli.err"; fail "$action over a link at the bundle path under Wine: status $status"; }
    elsewhere_intact || fail "$action over a link at the bundle path changed what the link points at"
    [ -L "${bundles[0]}" ] || fail "$action over a link at the bundle path removed the link"
done
rm "${bundles[0]}"
timeout 120 wine "$exe" --install=vst3 > /dev/null 2>&1 || fail "VST3 could not be installed again"
ln -s "$elsewhere" "${bundles[0]}/Contents/folder-link"
timeout 120 wine "$exe" --uninstall=vst3 > "$work/cli.out" 2> "$work/cli.err" || { cat "$work/cli.out" "$work/cli.err"; fail "uninstall of a bundle holding a link under Wine"; }
[ ! -e "${bundles[0]}" ] || fail "the bundle holding a link was not removed"
elsewhere_intact || fail "removing a bundle that holds a folder link changed what the link points at"
pass "screenshots in $shots"
