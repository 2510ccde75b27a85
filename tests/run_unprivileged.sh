#!/usr/bin/env bash
# Runs a command as the unprivileged user "nobody" when started as root, else as it is.
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
    exec setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp "$@"
fi
exec "$@"
