#!/usr/bin/env bash
# Runs a test binary as the unprivileged user "nobody" when started as root, else as it is.
# The binary needs no other file, so it is copied somewhere nobody can reach when the build
# folder is private (a checkout under /root, say).
set -euo pipefail
binary="$1"; shift
if [ "$(id -u)" -ne 0 ]; then
    exec "$binary" "$@"
fi

as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp "$@"; }
if ! as_nobody test -x "$binary"; then
    copy=$(mktemp -d)
    trap 'rm -rf "$copy"' EXIT
    chmod 755 "$copy"
    cp "$binary" "$copy/"
    binary="$copy/$(basename "$binary")"
fi
as_nobody "$binary" "$@"
