#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build folder and runs each for a fixed
# time, starting from the seed corpora in tests/fuzz/corpus (which are never modified).
# Usage: bash scripts/fuzz.sh [seconds per target, default 20] [target ...]
# A longer run, e.g. ten minutes each: bash scripts/fuzz.sh 600
# QF_FUZZ_JOBS=N runs N targets at a time (default 1).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

seconds="${1:-20}"; shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pe_version settings_file changelog archive)
fuzz_dir="${QF_FUZZ_BUILD_DIR:-$QF_ROOT/build-fuzz}"

[ -f "$BUILD_DIR/standin/vst3.zip" ] || configure_and_build "$BUILD_DIR" qf_resources
cmake -S "$QF_ROOT" -B "$fuzz_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DJUCE_MODULES_DIR="$JUCE_DIR/modules" -DQF_ARCHIVE_DIR="$BUILD_DIR/standin" \
      -DQF_BUILD_TESTS=OFF -DQF_BUILD_BENCHMARKS=OFF -DQF_BUILD_FUZZERS=ON > /dev/null \
    || die "CMake configuration of the fuzz build failed"
cmake --build "$fuzz_dir" --target "${targets[@]/#/fuzz_}" || die "fuzz build failed"

# run_target TARGET: fuzzes one target; prints its executions, or its failure and log tail.
run_target() {
    local target="$1" corpus="$fuzz_dir/corpus/$1" log="$fuzz_dir/fuzz_$1.log" runs
    mkdir -p "$corpus" "$fuzz_dir/artifacts"
    if (cd "$fuzz_dir/artifacts" && "$fuzz_dir/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 "$corpus" "$QF_ROOT/tests/fuzz/corpus/$target") > "$log" 2>&1; then
        runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")
        say "fuzz_$target: $runs executions in ${seconds} s, no crash, leak or hang"
    else
        tail -n 40 "$log"
        say "fuzz_$target FAILED: see $log and the input saved in $fuzz_dir/artifacts"
        return 1
    fi
}

status=0
jobs_at_once="${QF_FUZZ_JOBS:-1}"
running=0
for target in "${targets[@]}"; do
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs_at_once" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done
exit $status
