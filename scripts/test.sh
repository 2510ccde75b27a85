#!/usr/bin/env bash
# Builds the installer and its tests, then runs every test (unit, component and end-to-end).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$QF_ROOT/scripts/setup.sh"
configure_and_build "$BUILD_DIR" -DQF_BUILD_TESTS=ON
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 600 -j 2
