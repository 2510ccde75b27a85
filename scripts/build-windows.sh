#!/usr/bin/env bash
# Builds the Windows x86-64 executable on Debian 12 with GCC's MinGW-w64 toolchain and prints
# where it is. Installs what it needs first (scripts/setup.sh, scripts/windows-setup.sh).
# Signs it with Authenticode when a maker gives a PKCS#12 certificate:
#   QF_SIGNING_CERT=/path/to/cert.p12 QF_SIGNING_PASSWORD=... bash scripts/build-windows.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$QF_ROOT/scripts/setup.sh"
bash "$QF_ROOT/scripts/windows-setup.sh"

# The build tool runs here, so it and the archives it makes come from the native build; the
# Windows executable embeds exactly the same archives.
configure_and_build "$BUILD_DIR" qf_resources > /dev/null

configure_windows "$WINDOWS_BUILD_DIR"
cmake --build "$WINDOWS_BUILD_DIR" --target qf_installer || die "the Windows build failed"

exe="$WINDOWS_BUILD_DIR/qf_installer.exe"
if [ -n "${QF_SIGNING_CERT:-}" ]; then
    bash "$QF_ROOT/scripts/sign-windows.sh" "$exe" "$QF_SIGNING_CERT"
else
    say "not signed: set QF_SIGNING_CERT (a PKCS#12 file) and QF_SIGNING_PASSWORD to sign it"
fi
say "Windows executable: $exe"
