#!/bin/sh
# Builds, signs and checksums both editions with an operator's root, writes
# the download page and the root beside them, and prints what the page says.
#
# usage: release.sh ROOT --out DIR (--cert CERT.pem --key KEY.pem | --pkcs12 FILE | --unsigned)
#                   [--pass-file FILE] [--timestamp URL] [--ca FILE]
#
# Writes DIR/CertInstall.exe, DIR/CertInstallVista.exe, DIR/SHA256SUMS,
# DIR/index.html (the download page) and DIR/root.crt (the root, DER),
# replacing those five and nothing else. Everything is built and signed in a
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
published="CertInstall.exe CertInstallVista.exe SHA256SUMS index.html root.crt"
for name in $published; do
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

# The facts the page, SHA256SUMS and the summary all give, measured once.
release=$work/release
openssl base64 -d -A -in "$work/root.b64" | openssl pkcs7 -inform DER -print_certs |
    openssl x509 -outform DER -out "$release/root.crt"
described() {
    sed -n "s/^ *$1: *//p" "$work/root.txt"
}
grouped() {
    tr -d : | sed 's/.\{8\}/& /g; s/ $//'
}
# The name Windows gives the root in its question: the common name, or for a
# root without one its unit or organization.
root_name() {
    openssl x509 -inform DER -in "$release/root.crt" -noout -subject -nameopt utf8,sep_multiline,sname > "$work/parts"
    for part in CN OU O; do
        grep -q "^ *$part=" "$work/parts" && { sed -n "s/^ *$part=//p" "$work/parts" | head -n 1; return; }
    done
}
signer=
if [ -z "$unsigned" ]; then
    if [ -n "$pkcs12" ]; then
        pass_in=pass:
        [ -z "$pass_file" ] || pass_in=file:$pass_file
        openssl pkcs12 -in "$pkcs12" -nokeys -clcerts -passin "$pass_in" -out "$work/signer.pem"
    else
        openssl x509 -in "$cert" -out "$work/signer.pem"
    fi
    signer=$(openssl x509 -in "$work/signer.pem" -noout -subject -nameopt utf8,sep_comma_plus_space | sed 's/^subject=//')
fi
{
    for role in classic:CertInstall.exe vista:CertInstallVista.exe root:root.crt; do
        name=${role#*:}
        echo "${role%%:*} $name $(wc -c < "$release/$name") $(sha256sum < "$release/$name" | cut -c 1-64)"
    done
    echo "name $(root_name)"
    echo "thumbprint $(described SHA-1 | grouped)"
    echo "sha256 $(described SHA-256 | grouped)"
    echo "subject $(described certificate)"
    echo "valid $(described valid)"
    echo "signer $signer"
} > "$work/facts"
fact() {
    sed -n "s/^$1 //p" "$work/facts"
}
# sha256sum's own format, for "sha256sum -c SHA256SUMS".
for role in classic vista; do fact $role; done | awk '{ print $3 "  " $1 }' > "$release/SHA256SUMS"
python3 "$source_dir/scripts/download-page.py" "$work/facts" "$source_dir/app/Layout.h" \
    "$source_dir/resources/download-page.html" "$release/index.html" 2> "$work/page.err" ||
    fail "$(tail -n 1 "$work/page.err")"

# Copied next to DIR's files first, checked, then renamed into place: DIR
# never holds a part-written file, even where the copy runs out of space.
mkdir -p "$out"
stage=$(mktemp -d "$out/.release.XXXXXX")
for name in $published; do
    cp "$release/$name" "$stage/$name" && cmp -s "$release/$name" "$stage/$name" ||
        fail "$out/$name: the copy into $out does not match what was built"
done
for name in $published; do mv -f "$stage/$name" "$out/$name"; done

# The root's warnings come with the summary, so that a refusal, before the
# build or after it, stays the one line.
sed 's/^/release.sh: /' "$work/root.err" >&2

# The summary, from the same facts as the page.
sum_of() {
    fact "$1" | cut -d ' ' -f 3
}
if [ -n "$unsigned" ]; then
    echo "UNSIGNED: these files carry no signature; Windows shows them as from an unknown publisher."
else
    echo "Signed with Authenticode by $(fact signer): SHA-1 for Windows 2000 and XP, nested SHA-256 for later Windows${timestamp:+, time-stamped}."
fi
cat <<EOF

CertInstallVista.exe, for Windows Vista to 11; the page recommends it there
   SHA-256: $(sum_of vista)
CertInstall.exe, for Windows 2000, XP and Server 2003 (on Vista and later it sends the user to CertInstallVista.exe); the page recommends it there
   SHA-256: $(sum_of classic)

Both install this root certificate, which root.crt holds for other programs and systems:
   Subject:     $(fact subject)
   Thumbprint:  $(fact thumbprint)  (SHA-1, as Windows shows it before it installs)
   SHA-256:     $(fact sha256)
   Valid:       $(fact valid)

index.html, the download page, says all this in Chinese, in the window's own words.
Check a download with "sha256sum -c SHA256SUMS" in its folder, or on Windows 7 and later
compare its SHA-256 above with what "certutil -hashfile CertInstallVista.exe SHA256" prints.
EOF
