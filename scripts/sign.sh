#!/bin/sh
# Signs CertInstall.exe with Authenticode and verifies the result.
#
# usage: sign.sh IN.exe OUT.exe (--cert CERT.pem --key KEY.pem | --pkcs12 FILE)
#                [--pass-file FILE] [--timestamp URL] [--ca FILE]
#        sign.sh --check (--cert CERT.pem --key KEY.pem | --pkcs12 FILE)
#                [--pass-file FILE] [--ca FILE]
#
# Two signatures: the first with a SHA-1 file digest, the only one Windows
# 2000 and XP before SP3 can check (a SHA-256 digest shows them "the signature
# is invalid"), then a nested one with a SHA-256 digest for later Windows.
# --timestamp asks an RFC 3161 time-stamp authority to counter-sign both, so
# they stay valid after the certificate expires. The result is verified
# against the system's CA bundle and --ca (the root the signing certificate
# chains to, where it is not a public one). A bad input gets one line naming it, and OUT is not
# written. --check makes only the checks of the signer and --ca, before
# anything is built to sign.
set -eu

fail() {
    echo "sign.sh: $*" >&2
    exit 1
}
usage() {
    fail "usage: sign.sh (IN.exe OUT.exe | --check) (--cert CERT.pem --key KEY.pem | --pkcs12 FILE) [--pass-file FILE] [--timestamp URL] [--ca FILE]"
}

check_only=
if [ "${1:-}" = --check ]; then
    check_only=yes
    shift
else
    [ $# -ge 2 ] || usage
    in=$1 out=$2
    shift 2
fi
cert= key= pkcs12= pass_file= timestamp= ca=
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || usage
    case $1 in
    --cert) cert=$2 ;;
    --key) key=$2 ;;
    --pkcs12) pkcs12=$2 ;;
    --pass-file) pass_file=$2 ;;
    --timestamp) timestamp=$2 ;;
    --ca) ca=$2 ;;
    *) usage ;;
    esac
    shift 2
done

readable() {
    [ -f "$1" ] && [ -r "$1" ] || fail "$1: cannot be read"
}
if [ -z "$check_only" ]; then
    readable "$in"
    [ "$(head -c 2 "$in")" = MZ ] || fail "$in: is not a Windows executable"
fi
if [ -n "$pkcs12" ]; then
    [ -z "$cert$key" ] || fail "give --pkcs12 or --cert and --key, not both"
    readable "$pkcs12"
else
    [ -n "$cert" ] && [ -n "$key" ] || usage
    readable "$cert"
    readable "$key"
fi
[ -z "$pass_file" ] || readable "$pass_file"
[ -z "$ca" ] || readable "$ca"
case $timestamp in
"" | http://* | https://*) ;;
*) fail "$timestamp: is not an http:// or https:// address of a time-stamp authority" ;;
esac

export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The key must belong to the certificate, or the signature verifies nowhere.
pass_in=pass:
[ -z "$pass_file" ] || pass_in=file:$pass_file
if [ -n "$pkcs12" ]; then
    openssl pkcs12 -in "$pkcs12" -nokeys -clcerts -passin "$pass_in" -out "$work/cert.pem" 2>/dev/null ||
        fail "$pkcs12: cannot be opened (wrong or missing --pass-file?)"
    openssl pkcs12 -in "$pkcs12" -nokeys -cacerts -passin "$pass_in" -out "$work/chain.pem" 2>/dev/null ||
        : > "$work/chain.pem"
else
    openssl x509 -in "$cert" -out "$work/cert.pem" 2>/dev/null || fail "$cert: holds no PEM certificate"
    openssl pkey -in "$key" -passin "$pass_in" -pubout -out "$work/key.pub" 2>/dev/null ||
        fail "$key: holds no private key that opens (wrong or missing --pass-file?)"
    openssl x509 -in "$work/cert.pem" -noout -pubkey > "$work/cert.pub"
    cmp -s "$work/key.pub" "$work/cert.pub" || fail "$key: is not the key of $cert"
    # The file may carry the chain up to the root after the certificate.
    cat "$cert" > "$work/chain.pem"
fi

# The system's roots and the given one, for the signer and the time stamp alike.
trust=$work/trust.pem
cat /etc/ssl/certs/ca-certificates.crt > "$trust" 2>/dev/null || : > "$trust"
if [ -n "$ca" ]; then
    openssl x509 -in "$ca" -noout 2>/dev/null || fail "$ca: holds no PEM certificate"
    cat "$ca" >> "$trust"
fi
# A signer that chains to neither would give signatures that verify nowhere.
cat "$work/cert.pem" >> "$work/chain.pem"
if ! openssl verify -CAfile "$trust" -untrusted "$work/chain.pem" "$work/cert.pem" > "$work/chain.log" 2>&1; then
    reason=$(sed -n 's/^error [0-9]* at [0-9]* depth lookup: //p' "$work/chain.log" | head -n 1)
    fail "${pkcs12:-$cert}: does not chain to the system's roots${ca:+ or to $ca}${reason:+ ($reason)}"
fi
[ -z "$check_only" ] || exit 0

# osslsigncode's options, each path one argument whatever it holds.
if [ -n "$pkcs12" ]; then set -- -pkcs12 "$pkcs12"; else set -- -certs "$cert" -key "$key"; fi
[ -z "$pass_file" ] || set -- "$@" -readpass "$pass_file"
[ -z "$timestamp" ] || set -- "$@" -ts "$timestamp"

osslsigncode sign "$@" -h sha1 -in "$in" -out "$work/sha1.exe" > "$work/sign.log" 2>&1 ||
    { cat "$work/sign.log" >&2; fail "$in: the SHA-1 signature failed"; }
osslsigncode sign "$@" -nest -h sha256 -in "$work/sha1.exe" -out "$work/signed.exe" \
    > "$work/sign.log" 2>&1 ||
    { cat "$work/sign.log" >&2; fail "$in: the nested SHA-256 signature failed"; }

osslsigncode verify -CAfile "$trust" -TSA-CAfile "$trust" -in "$work/signed.exe" > "$work/verify.log" 2>&1 ||
    { cat "$work/verify.log" >&2; fail "$out: the signed exe does not verify"; }
grep -E '^(Message digest algorithm  :|Signature verification:|Number of verified signatures:|Timestamp)' \
    "$work/verify.log"
mv "$work/signed.exe" "$out"
echo "signed: $out"
