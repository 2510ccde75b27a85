#!/usr/bin/env bash
# The command line of the real executable, with no display at all and a temporary Wine prefix:
# a table of argument cases with their exit status and what they print, then the files they
# leave. Usage: command_line_test.sh QF_INSTALLER STANDIN_ARCHIVE_DIR
set -euo pipefail
app=$(realpath "$1")
archives=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
here="$(dirname "$0")"
source "$here/../../scripts/shell_helpers.sh"
source "$here/sanitizer.sh"

unset DISPLAY WAYLAND_DISPLAY
export HOME="$work/home" WINEPREFIX="$work/wine"
mkdir -p "$HOME" "$WINEPREFIX/drive_c"
common="$WINEPREFIX/drive_c/Program Files/Common Files"
vst3="$common/VST3/Kestrune.vst3"
clap="$common/CLAP/Kestrune.clap"
aax="$common/Avid/Audio/Plug-Ins/Kestrune.aaxplugin"
blocked="$WINEPREFIX/drive_c/Blocked"
echo "a file, not a folder" > "$blocked"

# A listing of everything in the prefix with sizes and times: unchanged means nothing written.
disk() { find "$WINEPREFIX" "$HOME" -printf '%p %s %T@\n' | sort; }

# Whether the output file matches the pattern; the pattern "nothing" asks for an empty file.
matches() { if [ "$2" = nothing ]; then [ ! -s "$1" ]; else grep -qE -- "$2" "$1"; fi; }

# run CASE EXPECTED_STATUS STDOUT_PATTERN STDERR_PATTERN ARGUMENTS...
run() {
    local name="$1" expected="$2" out_pattern="$3" err_pattern="$4"
    shift 4
    local status=0
    (cd "$work" && "$app" "$@" > "$work/out" 2> "$work/err") || status=$?
    [ "$status" = "$expected" ] || { cat "$work/out" "$work/err"; fail "$name: exit status $status, expected $expected"; }
    matches "$work/out" "$out_pattern" || { cat "$work/out"; fail "$name: standard output does not match /$out_pattern/"; }
    matches "$work/err" "$err_pattern" || { cat "$work/err"; fail "$name: error output does not match /$err_pattern/"; }
    echo "ok: $name"
}

# Cases that must leave the disk exactly as it was.
before=$(disk)
run "version"              0 '^qf_installer [0-9.]+ \(Kestrune 1\.0\.0\)$' nothing  --version
run "help"                 0 '--install=vst3,clap,aax' nothing                      --help
run "status, fresh prefix" 0 '^VST3	NOT INSTALLED	-	C:\\Program Files\\Common Files\\VST3$' nothing --status
run "unknown option"       2 nothing 'unknown option "--silent"'                    --silent
run "unknown format"       2 nothing 'unknown format "vst2"'                         --install=vst2
run "repeated option"      2 nothing '--install is given twice'                      --install=vst3 --install=clap
run "install and remove"   2 nothing 'cannot be asked for at once'                   --install=vst3 --uninstall=clap
run "relative folder"      2 nothing 'needs an absolute path'                        --install=vst3 --folder-vst3=Plugins
run "unwritable log"       1 nothing 'cannot write the log file .*nothing was changed' --install=vst3 --log="$work/no/such/folder/run.log"
run "log is a folder"      1 nothing 'cannot write the log file'                     --install=vst3 --log="$work"
[ "$(disk)" = "$before" ] || fail "a refused command line changed the disk"

# Installs, with a log, compared file by file with the archives.
run "install two"          0 '^CLAP: installed in C:\\Program Files\\Common Files\\CLAP$' nothing --install=vst3,clap --log=run.log
# unzip warns (status 1) about entries written with backslashes and extracts them all the same.
for zip in vst3 clap; do
    mkdir -p "$work/expected/$zip"
    unzip -o -qq "$archives/$zip.zip" -d "$work/expected/$zip" 2> /dev/null || [ $? -eq 1 ] || fail "unzip of $zip.zip failed"
done
diff -r "$work/expected/vst3/Kestrune.vst3" "$vst3" > /dev/null || fail "the VST3 bundle differs from its archive"
cmp -s "$work/expected/clap/Kestrune.clap" "$clap" || fail "the CLAP bundle differs from its archive"
[ ! -e "$aax" ] || fail "AAX installed without being asked for"
grep -q ' wrote Kestrune.vst3/Contents/x86_64-win/Kestrune.vst3 ([0-9]* bytes, checked)$' "$work/run.log" || fail "no line for the VST3 module in the log"
grep -q ' VST3: installed in ' "$work/run.log" || fail "no VST3 outcome in the log"
[ ! -e "$WINEPREFIX/drive_c/ProgramData" ] || fail "the command line wrote a settings file"
run "status after install" 0 '^VST3	INSTALLED	1\.0\.0\.0	' nothing                --status

# A listed folder that cannot be one: said on the error output with the format, status 1, and
# nothing written for any format.
before=$(disk)
run "folder is a file"     1 nothing '^AAX: cannot install into C:\\Blocked\\AAX: C:\\Blocked is not a folder; nothing was changed$' \
    --install=aax,clap --folder-aax='C:\Blocked\AAX'
run "drive not available"  1 nothing '^VST3: cannot install into E:\\Plugins: drive E: is not available; nothing was changed$' \
    --install=vst3 --folder-vst3='E:\Plugins'
[ "$(disk)" = "$before" ] || fail "a folder that cannot be used changed the disk"
run "refusal is logged"    1 nothing 'drive E: is not available' --install=vst3 --folder-vst3='E:\Plugins' --log=refused.log
grep -q ' VST3: cannot install into E:\\Plugins: drive E: is not available; nothing was changed$' "$work/refused.log" || fail "the refusal is not in the log"
run "folder override"      0 '^AAX: installed in C:\\Mine\\AAX$' nothing           --install=aax --folder-aax='C:\Mine\AAX'
[ -f "$WINEPREFIX/drive_c/Mine/AAX/Kestrune.aaxplugin/Contents/x64/Kestrune.aaxplugin" ] || fail "AAX not in the folder given"

run "uninstall"            0 '^VST3: removed from C:\\Program Files\\Common Files\\VST3$' nothing --uninstall=vst3 --log=run.log
[ ! -e "$vst3" ] && [ -d "$common/VST3" ] || fail "uninstall did not remove just the bundle"
grep -q ' removed Kestrune.vst3 from C:\\Program Files\\Common Files\\VST3$' "$work/run.log" || fail "no removal line in the log"
[ -f "$clap" ] || fail "uninstalling VST3 touched CLAP"
pass
