#!/usr/bin/env bash
# Builds the installer and its benchmarks, runs them all and prints one Markdown table, each
# figure beside a reference measured in the same run. Also saved to build/bench/results.md,
# and written into README.md between its benchmark markers, so the README cannot drift.
# Not part of the tests: figures depend on the machine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$QF_ROOT/scripts/setup.sh"
bash "$QF_ROOT/scripts/windows-setup.sh"
configure_and_build "$BUILD_DIR"
results="$BUILD_DIR/bench/results.md"
cpu=$(sed -nE 's/^model name\s*: (.*)/\1/p' /proc/cpuinfo | head -n 1)

mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }
archive_sizes=$(for z in "$BUILD_DIR"/standin/{vst3,clap,aax}.zip; do mb "$(stat -c %s "$z")"; echo; done | paste -sd, | sed 's/,/, /g')
module_size=$(mb "$(unzip -l "$BUILD_DIR/standin/clap.zip" 2> /dev/null | awk 'NR == 4 { print $1 }')")

{
    echo "The archives are the stand-in bundles the build makes: $archive_sizes (VST3, CLAP, AAX), each holding a $module_size module."
    echo
    echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores of ${cpu:-an unknown CPU}, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo), Debian $(cat /etc/debian_version)."
    echo
    echo "| Measure | Value | Reference, same run | Ratio |"
    echo "|---|---|---|---|"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD_DIR/bench/qf_bench" 2> "$BUILD_DIR/bench/google-benchmark.txt"
    # The large payloads stay in build/bench/large between runs: making them takes a minute.
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$BUILD_DIR/bench/qf_bench_large" "$BUILD_DIR/bench/large"
    bash "$QF_ROOT/bench/startup.sh" "$BUILD_DIR/qf_installer" 10
    bash "$QF_ROOT/bench/windows.sh" "$BUILD_DIR/qf_installer" 5
} | tee "$results"

# The table replaces the one in the README between the two markers.
readme="$QF_ROOT/README.md"
start='<!-- benchmark table: written by scripts/bench.sh -->'
end='<!-- end of benchmark table -->'
if grep -qF "$start" "$readme" && grep -qF "$end" "$readme"; then
    awk -v start="$start" -v end="$end" -v table="$results" '
        $0 == start { print; while ((getline line < table) > 0) print line; skip = 1; next }
        $0 == end { skip = 0 }
        ! skip' "$readme" > "$readme.new" && mv "$readme.new" "$readme"
    say "benchmark table written into README.md"
else
    die "README.md has no benchmark markers; the table is in $results"
fi
