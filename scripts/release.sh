#!/bin/sh
# Builds, signs and checksums both editions with an operator's root, and
# prints what to put on the download page.
#
# usage: release.sh ROOT --out DIR (--cert CERT.pem --key KEY.pem | --pkcs12 FILE | --unsigned)
#                   [--pass-file FILE] [--timestamp URL] [--ca FILE]
#
# Writes DIR/CertInstall.exe, DIR/CertInstallVista.exe and DIR/SHA256SUMS,
# replacing those three and nothing else. Everything is built and signed in a
# temporary folder first, so a refusal or a failed build leaves DIR as it was;
# a bad input gets one line naming it, before the build starts.
set -eu

usage="usage: release.sh ROOT --out DIR (--cert CERT.pem --key KEY.pem | --pkcs12 FILE | --unsigned) [--pass-file FILE] [--timestamp URL] [--ca FILE]"
fail() {
    echo "release.sh: $*" >&2
    exit 1
}

root= out= cert= key= pkcs12= unsigned= pass_file= timestamp= ca=
while [ $# -gt 0 ]; do
    case $1 in
    --unsigned) unsigned=yes; shift; continue ;;
    --out | --cert | --key | --pkcs12 | --pass-file | --timestamp | --ca)
        [ $# -ge 2 ] || fail "$1: needs a value; $usage" ;;
    -*) fail "$1: unknown option; $usage" ;;
    *)
        [ -z "$root" ] || fail "$1: a second ROOT; give one root certificate"
        root=$1
        shift
        continue ;;
    esac
    case $1 in
    --out) out=$2 ;;
    --cert) cert=$2 ;;
    --key) key=$2 ;;
    --pkcs12) pkcs12=$2 ;;
    --pass-file) pass_file=$2 ;;
    --timestamp) timestamp=$2 ;;
    --ca) ca=$2 ;;
    esac
    shift 2
done
[ -n "$root" ] || fail "ROOT: is missing; $usage"
[ -n "$out" ] || fail "--out: is missing; $usage"
if [ -n "$unsigned" ]; then
    [ -z "$cert$key$pkcs12$pass_file$timestamp$ca" ] ||
        fail "--unsigned: takes no --cert, --key, --pkcs12, --pass-file, --timestamp or --ca"
elif [ -n "$pkcs12" ]; then
    [ -z "$cert$key" ] || fail "--pkcs12: give it or --cert and --key, not both"
elif [ -z "$cert$key" ]; then
    fail "signer: is missing; give --cert and --key, --pkcs12, or --unsigned"
else
    [ -n "$cert" ] || fail "--cert: is missing (--key needs it)"
    [ -n "$key" ] || fail "--key: is missing (--cert needs it)"
fi

# DIR is made only at the end; whatever part of it exists must take files.
case $out in -*) fail "--out: needs a folder, not $out" ;; esac
[ ! -L "$out" ] || [ -e "$out" ] || fail "$out: is a link to nothing"
[ ! -e "$out" ] || [ -d "$out" ] || fail "$out: is not a folder"
for name in CertInstall.exe CertInstallVista.exe SHA256SUMS; do
    [ ! -d "$out/$name" ] || fail "$out/$name: is a folder where the release puts a file"
done
existing=$out
while [ ! -e "$existing" ]; do existing=$(dirname -- "$existing"); done
[ -d "$existing" ] && [ -w "$existing" ] || fail "$out: cannot be written"

export LC_ALL=C
source_dir=$(CDPATH='' cd -- "$(dirname -- "$0")/.." && pwd)
work=$(mktemp -d)
stage=
trap 'rm -rf "$work" ${stage:+"$stage"}' EXIT
# A build interrupted by Ctrl-C cleans up too.
trap 'exit 1' HUP INT TERM

# The root: the checks and description of the configure step, up front.
if ! sh "$source_dir/scripts/certificate.sh" "$root" "$work/root.b64" > "$work/root.txt" 2> "$work/root.err"; then
    fail "$(tail -n 1 "$work/root.err")"
fi

if [ -z "$unsigned" ]; then
    set --
    if [ -n "$pkcs12" ]; then set -- --pkcs12 "$pkcs12"; else set -- --cert "$cert" --key "$key"; fi
    [ -z "$pass_file" ] || set -- "$@" --pass-file "$pass_file"
    [ -z "$ca" ] || set -- "$@" --ca "$ca"
    [ -z "$timestamp" ] || set -- "$@" --timestamp "$timestamp"
    # The signer, --ca and --timestamp, before the build rather than after it.
    said=$(sh "$source_dir/scripts/sign.sh" --check "$@" 2>&1) || fail "${said#sign.sh: }"
fi

case $root in /*) root_path=$root ;; *) root_path=$PWD/$root ;; esac
{ cmake --preset windows -S "$source_dir" -B "$work/build" -DCERTINSTALL_CERTIFICATE="$root_path" &&
    cmake --build "$work/build" --target CertInstall CertInstallVista -j "$(nproc 2>/dev/null || echo 2)"; } \
    > "$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; fail "the build failed (the end of its log is above)"; }

names="CertInstall.exe CertInstallVista.exe"
mkdir "$work/release"
for name in $names; do
    if [ -n "$unsigned" ]; then
        cp "$work/build/$name" "$work/release/$name"
    else
        sh "$source_dir/scripts/sign.sh" "$work/build/$name" "$work/release/$name" "$@" > "$work/sign.log" 2>&1 ||
            { cat "$work/sign.log" >&2; fail "$name: the signing failed (sign.sh's messages are above)"; }
    fi
done
(cd "$work/release" && sha256sum $names > SHA256SUMS)

# Copied next to DIR's files first, checked, then renamed into place: DIR
# never holds a part-written exe, even where the copy runs out of space.
mkdir -p "$out"
stage=$(mktemp -d "$out/.release.XXXXXX")
cp "$work/release/"* "$stage/"
(cd "$stage" && sha256sum --quiet -c SHA256SUMS) || fail "$out: the copy into it does not match its SHA256SUMS"
for name in $names SHA256SUMS; do mv -f "$stage/$name" "$out/$name"; done

# The root's warnings come with the summary, so that a refusal, before the
# build or after it, stays the one line.
sed 's/^/release.sh: /' "$work/root.err" >&2

# The summary, from the same description the configure step prints.
described() {
    sed -n "s/^ *$1: *//p" "$work/root.txt"
}
grouped() {
    printf '%s\n' "$1" | tr -d : | sed 's/.\{8\}/& /g; s/ $//'
}
sum_of() {
    sed -n "s/  $1\$//p" "$work/release/SHA256SUMS"
}
if [ -n "$unsigned" ]; then
    echo "UNSIGNED: these files carry no signature; Windows shows them as from an unknown publisher."
else
    echo "Signed with Authenticode: SHA-1 for Windows 2000 and XP, nested SHA-256 for later Windows${timestamp:+, time-stamped}."
fi
cat <<EOF

CertInstallVista.exe, for every Windows from 2000 to 11; the one to publish for most users
   SHA-256: $(sum_of CertInstallVista.exe)
CertInstall.exe, for Windows 2000, XP and Server 2003 only (on Vista and later it sends the user to CertInstallVista.exe)
   SHA-256: $(sum_of CertInstall.exe)

Both install this root certificate:
   Subject:     $(described certificate)
   Thumbprint:  $(grouped "$(described SHA-1)")  (SHA-1, as Windows shows it before it installs)
   SHA-256:     $(grouped "$(described SHA-256)")
   Valid:       $(described valid)

Check a download with "sha256sum -c SHA256SUMS" in its folder, or on Windows 7 and later
compare its SHA-256 above with what "certutil -hashfile CertInstallVista.exe SHA256" prints.
EOF
