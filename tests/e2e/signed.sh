#!/bin/sh
# The signed exe under Wine: signed by scripts/sign.sh with a throwaway
# code-signing root and leaf, checked with WinVerifyTrust once that root is
# in Root, then installed through the stand-in like the unsigned one.
# usage: signed.sh E2E-WORK-FOLDER WINDOWS-BUILD
set -u
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
. "$source_dir/tests/release/roots.sh"
. "$here/wine-prefix.sh"
keys=$1/signed-keys
rm -rf "$keys"
mkdir -p "$keys"
root "$keys" signing-root
code_signer "$keys" signer signing-root
openssl x509 -in "$keys/signing-root.pem" -outform DER -out "$keys/signing-root.der"
sh "$source_dir/scripts/sign.sh" "$2/CertInstall.exe" "$keys/CertInstall.exe" \
    --cert "$keys/signer.pem" --key "$keys/signer.key" --ca "$keys/signing-root.pem" >/dev/null ||
    { echo "FAIL: sign.sh"; exit 1; }

exec sh "$here/run-group.sh" "$2" "$1" signed winxp STANDIN=1 -- signed:signed \
    "signed:CERTINSTALL_EXE=$keys/CertInstall.exe" \
    "signed:CERTINSTALL_SIGNING_ROOT=$(windows_path "$keys/signing-root.der")"
