#!/bin/sh
# An operator's root, end to end: a second exe built carrying a root this case
# makes (RSA-2048, SHA-256, CA), installed under Wine through the stand-in,
# and exactly that certificate's DER found in the current user's Root.
# usage: operator-root.sh E2E-WORK-FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
. "$source_dir/tests/release/roots.sh"
. "$here/wine-prefix.sh"
build=$1/operator-root-build
rm -rf "$build"
mkdir -p "$build"
root "$build" operator-root
openssl x509 -in "$build/operator-root.pem" -outform DER -out "$build/operator-root.der"

echo "configure with -DCERTINSTALL_CERTIFICATE=$build/operator-root.pem:"
cmake --preset windows -S "$source_dir" -B "$build/windows" \
    -DCERTINSTALL_CERTIFICATE="$build/operator-root.pem" > "$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; echo "FAIL: the configure step"; exit 1; }
sed -n '/warning:/p; /the exe carries/,/key:/p' "$build/configure.log" | sed 's/^-- //; s/^ *//; s/^/   /'
cmake --build "$build/windows" -j 2 --target CertInstall driver CEnrollStandIn >/dev/null ||
    { echo "FAIL: the build"; exit 1; }

export CERTINSTALL_EXPECTED_DER="$(windows_path "$build/operator-root.der")"
exec sh "$here/run-case.sh" "$build/windows" "$1" operator-root installed winxp standin
