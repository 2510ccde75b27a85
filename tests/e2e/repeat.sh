#!/usr/bin/env bash
# Runs the whole end-to-end set ROUNDS times in a row, plain and sanitized (and under Wine when
# the Windows executable is given), with CPU burners beside it, and stops at the first failure.
# Prints the slowest wait seen for each kind of condition at the end.
# Usage: repeat.sh ROUNDS BUILD_DIR [WINDOWS_EXE]   (QF_BURNERS=N burners, 2 by default)
# The tests and executables are copied first, so the tree can be rebuilt while this runs.
set -euo pipefail
rounds="$1"; build=$(realpath "$2"); exe="${3:-}"
here=$(cd "$(dirname "$0")" && pwd)
copy=$(mktemp -d)
burners=()
trap 'kill "${burners[@]}" 2> /dev/null || true; rm -rf "$copy"' EXIT

mkdir -p "$copy/tests" "$copy/scripts" "$copy/shots"
cp -r "$here" "$copy/tests/e2e"
cp "$here/../../scripts/shell_helpers.sh" "$here/../../scripts/window_pixels.py" "$copy/scripts/"
cp "$build/qf_installer" "$build/tests/qf_installer_sanitized" "$copy/"
cp -r "$build/standin" "$copy/archives"
[ -z "$exe" ] || cp "$exe" "$copy/qf_installer.exe"
e2e="$copy/tests/e2e"
export QF_WAIT_LOG="$copy/waits.tsv"

for _ in $(seq "${QF_BURNERS:-2}"); do (while :; do :; done) & burners+=($!); done

# name COMMAND...: one test, its output kept and shown only when it fails.
one() {
    local name="$1"
    shift
    if ! "$@" > "$copy/out.txt" 2>&1; then
        cat "$copy/out.txt"
        echo "round $round: $name FAILED"
        exit 1
    fi
}

start=$SECONDS
for round in $(seq "$rounds"); do
    for variant in plain sanitized; do
        app="$copy/qf_installer"
        [ "$variant" = plain ] || app="$copy/qf_installer_sanitized"
        for test in window main_road panels keyboard close_untouched; do
            [ "$variant:$test" != sanitized:window ] || continue
            QF_SANITIZER_LOG=$([ "$variant" = plain ] || echo "$copy/sanitizer-$test") \
                one "$variant $test" bash "$e2e/${test}_test.sh" "$app" "$copy/shots"
        done
        QF_SANITIZER_LOG=$([ "$variant" = plain ] || echo "$copy/sanitizer-command_line") \
            one "$variant command_line" bash "$e2e/command_line_test.sh" "$app" "$copy/archives"
    done
    [ -z "$exe" ] || one "wine main_road" bash "$e2e/wine_main_road_test.sh" "$copy/qf_installer.exe" "$copy/archives" "$copy/shots"
    echo "round $round of $rounds passed ($((SECONDS - start)) s so far)"
done

echo "the slowest wait of each kind, over $rounds rounds:"
sort -t $'\t' -k1,1 -k2,2nr "$QF_WAIT_LOG" | awk -F '\t' '!done[$1]++ { printf "  %-8s %6d ms  %s\n", $1, $2, $3 }'
echo "$rounds passed, 0 failed"
