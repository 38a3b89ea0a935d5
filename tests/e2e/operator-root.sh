#!/bin/sh
# An operator's root, end to end: the exe the release test built carrying a
# root it made (RSA-2048, SHA-256, CA), installed under Wine through the
# stand-in, and exactly that certificate's DER found in the current user's Root.
# usage: operator-root.sh E2E-WORK-FOLDER WINDOWS-BUILD RELEASE-WORK-FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-prefix.sh"
work=$1/operator-root-der release=$3
rm -rf "$work"
mkdir -p "$work"
openssl x509 -in "$release/operator-root.pem" -outform DER -out "$work/operator-root.der" ||
    { echo "FAIL: no operator's root from the release test in $release"; exit 1; }
exec sh "$here/run-group.sh" "$2" "$1" operator-root winxp STANDIN=1 -- operator-root:installed \
    "operator-root:CERTINSTALL_EXE=$release/unsigned/CertInstall.exe" \
    "operator-root:CERTINSTALL_EXPECTED_DER=$(windows_path "$work/operator-root.der")"
