#!/usr/bin/env bash
# Builds the installer and its benchmarks, runs them all and prints one Markdown table, each
# figure beside a reference measured in the same run. Also saved to build/bench/results.md.
# Not part of the tests: figures depend on the machine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$QF_ROOT/scripts/setup.sh"
configure_and_build "$BUILD_DIR"
results="$BUILD_DIR/bench/results.md"
cpu=$(sed -nE 's/^model name\s*: (.*)/\1/p' /proc/cpuinfo | head -n 1)

{
    echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores of ${cpu:-an unknown CPU}, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo), Debian $(cat /etc/debian_version)."
    echo
    echo "| Measure | Value | Reference, same run | Ratio |"
    echo "|---|---|---|---|"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD_DIR/bench/qf_bench" 2> "$BUILD_DIR/bench/google-benchmark.txt"
    bash "$QF_ROOT/bench/startup.sh" "$BUILD_DIR/qf_installer" 10
} | tee "$results"
