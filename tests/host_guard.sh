#!/usr/bin/env bash
# The places outside their temporary folders that a test could touch by mistake (absolute
# paths the tests name, and the real Wine prefix): "record FILE" lists them before the suite,
# "compare FILE" fails when anything there changed.
set -euo pipefail

guarded=(/opt /srv /plugins /tmp/evil.txt "${WINEPREFIX:-$HOME/.wine}")

listing() {
    for path in "${guarded[@]}"; do
        if [ -e "$path" ] || [ -L "$path" ]; then
            find "$path" -maxdepth 4 -printf '%y %m %s %p\n' 2> /dev/null | sort
        else
            echo "absent $path"
        fi
    done
}

case "${1:-}" in
    record) listing > "$2" ;;
    compare)
        if ! diff -u "$2" <(listing); then
            echo "qf_installer: error: the tests changed folders outside their temporary folders (above)" >&2
            exit 1
        fi ;;
    *) echo "usage: host_guard.sh record|compare FILE" >&2; exit 2 ;;
esac
