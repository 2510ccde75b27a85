#!/usr/bin/env bash
# Opens the real installer and closes it from the window's close button without doing
# anything: it exits with status 0 and writes nothing but a settings file that was missing.
# The next start creates the install folders the file lists, as start-up does; after that a
# run that does nothing changes nothing at all.
set -euo pipefail
here="$(dirname "$0")"
source "$here/lib.sh" "$1"

# Every file and folder under HOME with its size and modification time. Left out: the
# desktop settings cache that GLib's gsettings creates when the framework asks it for the
# desktop's scale factor; the installer itself writes nothing there.
tree_of() { (cd "$work" && find . -path ./.cache/dconf -prune -o -printf '%y %s %T@ %p\n' | sort); }

close_and_wait() {
    # A sanitized build checks for leaks on the way out, which takes a while on a busy machine;
    # the request is repeated every 10 s in case one was not taken.
    for _ in 1 2 3 4 5 6; do
        /usr/bin/python3 "$here/close_window.py" "$window" 2> /dev/null || true
        for _ in $(seq 100); do kill -0 "$app_pid" 2> /dev/null || break; sleep 0.1; done
        kill -0 "$app_pid" 2> /dev/null || break
    done
    if kill -0 "$app_pid" 2> /dev/null; then
        grep -E '^(State|Threads)' "/proc/$app_pid/status" || true
        command -v gdb > /dev/null && timeout 30 gdb -batch -p "$app_pid" -ex "thread apply all bt 8" 2> /dev/null | grep -E '^#|^Thread' | head -n 60
        fail "the installer did not exit within 60 s of the close request"
    fi
    local status=0
    wait "$app_pid" || status=$?
    [ "$status" = 0 ] || fail "exit status $status"
}

/usr/bin/python3 "$here/close_window.py" --prepare
settings_file=".wine/drive_c/ProgramData/Quillfern/PluginManagerSettings.txt"

start_installer
close_and_wait
created=$(cd "$work" && find . -path ./.cache/dconf -prune -o -type f -print | sort)
[ "$created" = "./$settings_file" ] || fail "files written by a run that did nothing: $created"

start_installer
close_and_wait
unexpected=$(cd "$work" && find . -path ./.cache/dconf -prune -o -newer "$settings_file" ! -type d -print)
[ -z "$unexpected" ] || fail "the second run wrote files: $unexpected"
for folder in VST3 CLAP Avid/Audio/Plug-Ins; do
    [ -d "$work/.wine/drive_c/Program Files/Common Files/$folder" ] || fail "the listed $folder folder was not created"
done

before=$(tree_of)
sleep 1.1  # a rewrite would show as a later modification time
start_installer
close_and_wait
[ "$(tree_of)" = "$before" ] || fail "a run that did nothing changed: $(diff <(echo "$before") <(tree_of))"
pass
