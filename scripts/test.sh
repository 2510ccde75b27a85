#!/usr/bin/env bash
# Builds the installer, its tests and the Windows executable, then runs every test (unit,
# component, end-to-end on Linux and under Wine, sanitized, fuzzing), and says how long each
# part took.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

phase_start=$SECONDS
timings=()
phase_done() { timings+=("$1: $((SECONDS - phase_start)) s"); phase_start=$SECONDS; }

bash "$QF_ROOT/scripts/setup.sh"
phase_done "set-up"
bash "$QF_ROOT/scripts/build-windows.sh"
phase_done "Windows build"
configure_and_build "$BUILD_DIR" all -DQF_WINDOWS_EXE="$WINDOWS_BUILD_DIR/qf_installer.exe"
phase_done "Linux build (with the sanitized one)"
bash "$QF_ROOT/tests/host_guard.sh" record "$BUILD_DIR/host-before-tests.txt"
cd "$BUILD_DIR"
if [ -n "${DISPLAY:-}" ]; then
    ctest --output-on-failure --timeout 600 -j 2
else
    # -noreset: the window-manager atoms the tests make stay for the next test process.
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure --timeout 600 -j 2
fi
phase_done "ctest (the Wine run and the signature test among them)"

# Every fuzz target for a short fixed time; a longer run is "bash scripts/fuzz.sh 600".
bash "$QF_ROOT/scripts/fuzz.sh" "${QF_FUZZ_SECONDS:-20}"
phase_done "fuzz build and fuzzing"

# Nothing outside the tests' temporary folders may have changed.
bash "$QF_ROOT/tests/host_guard.sh" compare "$BUILD_DIR/host-before-tests.txt"
printf 'qf_installer: %s\n' "${timings[@]}"
