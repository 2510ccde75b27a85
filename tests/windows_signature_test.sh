#!/usr/bin/env bash
# Signs a copy of the Windows executable with a throw-away self-signed certificate made here
# (never kept) through the build's signing script, and verifies the Authenticode signature
# against that certificate; a copy signed with another certificate must not verify.
set -euo pipefail
exe="$1"
root="$(cd "$(dirname "$0")/.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

make_certificate() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$1" -addext "extendedKeyUsage=codeSigning" \
        -keyout "$work/$1.key" -out "$work/$1.pem" 2> /dev/null || fail "openssl could not make a certificate"
    openssl pkcs12 -export -inkey "$work/$1.key" -in "$work/$1.pem" -passout pass:throwaway -out "$work/$1.p12" \
        || fail "openssl could not make the PKCS#12 file"
}
make_certificate "qf-test-signer"
make_certificate "someone-else"

cp "$exe" "$work/signed.exe"
QF_SIGNING_PASSWORD=throwaway bash "$root/scripts/sign-windows.sh" "$work/signed.exe" "$work/qf-test-signer.p12" > /dev/null \
    || fail "the signing script failed"
osslsigncode verify -CAfile "$work/qf-test-signer.pem" -in "$work/signed.exe" > "$work/verify.log" 2>&1 \
    || { cat "$work/verify.log"; fail "the signature does not verify against its certificate"; }
grep -q "Signature verification: ok" "$work/verify.log" || { cat "$work/verify.log"; fail "no successful verification reported"; }
osslsigncode verify -CAfile "$work/someone-else.pem" -in "$work/signed.exe" > /dev/null 2>&1 \
    && fail "the signature verifies against a certificate that did not sign it"
cmp -s "$exe" "$work/signed.exe" && fail "signing left the executable unchanged"
echo "PASS"
