#!/bin/sh
# Checks a root certificate for the exe to carry, prints what it is, and
# writes it in the form the exe carries: one line of canonical base64 of a DER
# certificates-only PKCS #7 holding that one certificate.
#
# usage: certificate.sh FILE OUT.b64    a certificate or PKCS #7, PEM or DER
#        certificate.sh --describe FILE.b64    the carried form; prints only
#
# A refusal is one line on stderr, "FILE: reason", with exit code 1; nothing
# is written then. Warnings go to stderr as "warning: FILE: ...".
set -eu

describe=
if [ "${1:-}" = --describe ]; then
    describe=yes
    shift
fi
if [ -n "$describe" ] && [ $# -ne 1 ] || [ -z "$describe" ] && [ $# -ne 2 ]; then
    echo "usage: certificate.sh FILE OUT.b64 | certificate.sh --describe FILE.b64" >&2
    exit 2
fi
input=$1 output=${2:-}

refuse() {
    echo "$input: $*" >&2
    exit 1
}
warn() {
    echo "warning: $input: $*" >&2
}

[ -f "$input" ] && [ -r "$input" ] || refuse "cannot be read"

# OpenSSL's messages come in English whatever the caller's locale.
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A private key must never travel with the program: look for one before
# anything else is read out of the file.
holds_private_key() {
    grep -q -a -- '-----BEGIN [A-Z ]*PRIVATE KEY-----' "$1" && return 0
    # The rest looks into DER, which a PEM file is not.
    grep -q -a -- '-----BEGIN ' "$1" && return 1
    openssl pkey -inform DER -in "$1" -passin pass: -noout 2>/dev/null && return 0
    # An encrypted PKCS #8 key or a PKCS #12 bundle: an encryption algorithm
    # or a key bag anywhere in the DER.
    openssl asn1parse -inform DER -in "$1" 2>/dev/null |
        grep -q -E ':(PBES2|pbeWith[A-Za-z0-9]*|pkcs8ShroudedKeyBag|keyBag)$' && return 0
    # A bundle opens with the empty password, or says its MAC does not verify.
    said=$(openssl pkcs12 -in "$1" -info -noout -passin pass: 2>&1) && return 0
    printf '%s' "$said" | grep -q -i 'mac verify'
}

if [ -n "$describe" ]; then
    openssl base64 -d -A -in "$input" -out "$work/in.der" 2>/dev/null || refuse "is not base64"
    source_file=$work/in.der
else
    holds_private_key "$input" &&
        refuse "holds a private key; a private key must never travel with the program (pass the certificate alone)"
    source_file=$input
fi

# Every certificate in the file, as PEM, whichever of the four forms it has.
certs=$work/certs.pem
if grep -q -a -- '-----BEGIN CERTIFICATE-----' "$source_file"; then
    openssl crl2pkcs7 -nocrl -certfile "$source_file" 2>/dev/null |
        openssl pkcs7 -print_certs -out "$certs" 2>/dev/null || refuse "holds a certificate that cannot be parsed"
elif grep -q -a -- '-----BEGIN PKCS7-----' "$source_file"; then
    openssl pkcs7 -in "$source_file" -print_certs -out "$certs" 2>/dev/null || refuse "holds a PKCS #7 that cannot be parsed"
elif openssl x509 -inform DER -in "$source_file" -out "$certs" 2>/dev/null; then
    :
elif openssl pkcs7 -inform DER -in "$source_file" -print_certs -out "$certs" 2>/dev/null; then
    :
else
    refuse "holds no certificate (neither a certificate nor a PKCS #7, in PEM or DER)"
fi
count=$(grep -c -- '-----BEGIN CERTIFICATE-----' "$certs" || true)
[ "$count" -eq 0 ] && refuse "holds no certificate"
[ "$count" -gt 1 ] && refuse "holds $count certificates; pass the root certificate alone, not a chain"
cert=$work/cert.pem
sed -n '/^-----BEGIN CERTIFICATE-----$/,/^-----END CERTIFICATE-----$/p' "$certs" > "$cert"
# Everything read out of the certificate, in one run of OpenSSL: each run
# costs tens of milliseconds, and every configure of the build runs this.
info=$(openssl x509 -in "$cert" -noout -nameopt utf8,sep_comma_plus_space -subject -issuer -startdate -enddate -text)
field() {
    printf '%s\n' "$info" | sed -n "s/^$1= *//p"
}
subject=$(field subject)
issuer=$(field issuer)
not_before=$(field notBefore)
not_after=$(field notAfter)
[ "$subject" = "$issuer" ] ||
    refuse "is not self-signed: issued by \"$issuer\" to \"$subject\"; pass the root certificate"
# Trusting the certificate alone, a chain exists only if it issued itself, and
# -check_ss_sig then checks its signature with its own key; level 0 lets an
# MD5 signature, as on the roots of the Windows 2000 era, be checked at all.
openssl verify -auth_level 0 -check_ss_sig -no_check_time -no-CApath -no-CAstore \
    -CAfile "$cert" "$cert" >/dev/null 2>&1 ||
    refuse "is not self-signed: its signature does not verify with its own key"
printf '%s\n' "$info" | sed -n '/X509v3 Basic Constraints/{n;p;}' | grep -q 'CA:TRUE' ||
    refuse "is not a CA certificate (basicConstraints absent or cA false)"

printf '%s\n' "$info" | grep -q 'Public Key Algorithm: rsaEncryption' ||
    refuse "has a key of type $(printf '%s\n' "$info" | sed -n 's/.*Public Key Algorithm: //p' | head -n 1), not RSA; Windows 2000, XP and 2003 use RSA keys only"
bits=$(printf '%s\n' "$info" | sed -n 's/.*Public-Key: (\([0-9]*\) bit).*/\1/p' | head -n 1)
[ "$bits" -ge 1024 ] || refuse "has an RSA key of $bits bits; at least 1024 are needed"

now=$(date -u +%s)
[ "$(date -u -d "$not_after" +%s)" -gt "$now" ] || refuse "expired on $not_after"
[ "$(date -u -d "$not_before" +%s)" -le "$now" ] || warn "is not valid before $not_before"
hash=$(printf '%s\n' "$info" | sed -n 's/.*Signature Algorithm: //p' | head -n 1)
case $hash in
sha256* | sha384* | sha512*)
    warn "is signed with $hash: Windows 2000 and XP before SP3 cannot check SHA-2 signatures, and Server 2003 needs SP2 with its SHA-2 update, so server certificates that chain to it may fail there" ;;
esac

# The thumbprints of the certificate's DER, written as OpenSSL writes them.
sed '/^-----/d' "$cert" | base64 -d > "$work/cert.der"
fingerprint() {
    "${1}sum" < "$work/cert.der" | cut -d ' ' -f 1 | tr a-f A-F | sed 's/../&:/g; s/:$//'
}
echo "certificate: $subject"
echo "   SHA-1:    $(fingerprint sha1)"
echo "   SHA-256:  $(fingerprint sha256)"
echo "   valid:    $not_before to $not_after"
echo "   key:      RSA $bits bits, signed with $hash"

[ -n "$describe" ] && exit 0
openssl crl2pkcs7 -nocrl -certfile "$cert" -outform DER -out "$work/cert.p7b"
base64 -w 0 "$work/cert.p7b" > "$work/cert.b64"
echo >> "$work/cert.b64"
mv "$work/cert.b64" "$output"
