#!/usr/bin/env bash
# Signs a Windows executable with Authenticode (SHA-256) from a PKCS#12 certificate, in place.
# Usage: bash scripts/sign-windows.sh EXE CERT.p12 [PASSWORD]   (PASSWORD also from QF_SIGNING_PASSWORD)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

exe="$1"; cert="$2"; password="${3:-${QF_SIGNING_PASSWORD:-}}"
[ -f "$exe" ] || die "no executable at $exe"
[ -f "$cert" ] || die "no certificate at $cert"
command -v osslsigncode > /dev/null || die "osslsigncode is not installed (Debian package osslsigncode)"

osslsigncode sign -pkcs12 "$cert" -pass "$password" -h sha256 -n qf_installer \
    -in "$exe" -out "$exe.signing" > "$exe.signing.log" 2>&1 \
    || { cat "$exe.signing.log" >&2; rm -f "$exe.signing" "$exe.signing.log"; die "signing $exe with $(basename "$cert") failed"; }
rm -f "$exe.signing.log"
mv "$exe.signing" "$exe"
say "signed $exe with $(basename "$cert")"
