#!/usr/bin/env bash
# Time from process start to the first painted frame under Xvfb (median of N runs), and the
# executable's size. The frame counts as painted when the window's centre shows the
# background colour #111111; the poll adds a few milliseconds of granularity.
set -euo pipefail
app="$1"; runs="${2:-10}"
display=":$((300 + RANDOM % 300))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2> /dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done

times=()
for run in $(seq "$runs"); do
    home=$(mktemp -d)
    start=$(date +%s%N)
    HOME="$home" "$app" &
    pid=$!
    while :; do
        window=$(xdotool search --onlyvisible --name '^qf_installer$' 2> /dev/null | head -n 1 || true)
        if [ -n "$window" ]; then
            pixel=$(import -window "$window" -crop 1x1+300+300 -depth 8 txt:- 2> /dev/null | tail -n 1 || true)
            [[ "$pixel" == *"#111111"* ]] && break
        fi
        sleep 0.005
    done
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
    kill $pid; wait $pid 2> /dev/null || true
    rm -rf "$home"
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up to first painted frame, median of $runs: ${sorted[$((runs / 2))]} ms (all: ${times[*]})"
echo "executable size: $(stat -c %s "$app") bytes ($(du -h "$app" | cut -f1)), of which embedded archives: $(( $(stat -c %s "$(dirname "$app")"/standin/*.zip | paste -sd+) )) bytes"
