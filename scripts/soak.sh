#!/usr/bin/env bash
# The runs too long for the test command: the kill-at-random-moments install trial 1000 times,
# then every fuzz target for 30 minutes. Prints the kills, the executions and any finding.
# Usage: bash scripts/soak.sh [minutes per fuzz target, default 30] [kill rounds, default 1000]
# QF_FUZZ_JOBS=2 fuzzes two targets at a time (on 2 cores: 1 hour instead of 2).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

minutes="${1:-30}"
rounds="${2:-1000}"

bash "$QF_ROOT/scripts/setup.sh"
configure_and_build "$BUILD_DIR" qf_core_tests

say "killing an installing process at random moments, $rounds times"
start=$(date +%s)
QF_KILL_ROUNDS="$rounds" "$BUILD_DIR/tests/qf_core_tests" --gtest_filter='InstallRunTest.KilledAtAnyMomentLosesNoBundle' \
    > "$BUILD_DIR/soak-kills.log" 2>&1 || { tail -n 30 "$BUILD_DIR/soak-kills.log"; die "the kill trial failed: see $BUILD_DIR/soak-kills.log"; }
say "kill trial: $(grep -E '^killed with' "$BUILD_DIR/soak-kills.log"), all $rounds recovered, in $(( $(date +%s) - start )) s"

say "fuzzing every target for $minutes minutes"
bash "$QF_ROOT/scripts/fuzz.sh" $((minutes * 60))
