#!/bin/sh
# The operator's root certificate: what scripts/certificate.sh accepts, warns
# about and refuses, and that a refused file stops the configure step before
# anything of it reaches the build folder.
# usage: certificate-option.sh WORK-FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/roots.sh"
work=$1/certificate-option
fresh "$work"

root "$work" good
openssl x509 -in "$work/good.pem" -outform DER -out "$work/good.der"
openssl crl2pkcs7 -nocrl -certfile "$work/good.pem" -out "$work/good-p7.pem"
openssl crl2pkcs7 -nocrl -certfile "$work/good.pem" -outform DER -out "$work/good.p7b"
leaf "$work" leaf good
cat "$work/leaf.pem" "$work/good.pem" > "$work/chain.pem"
cat "$work/good.pem" "$work/good.key" > "$work/with-key.pem"
openssl pkcs12 -export -in "$work/good.pem" -inkey "$work/good.key" -passout pass:secret -out "$work/bundle.p12"
root "$work" expired 800 400
root "$work" future -10 -400
root "$work" md5 1 -3650 1024 md5
root "$work" small 1 -3650 768
# Issuer and subject the same, but signed by another key than its own.
root "$work" other
openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$work/forged.key" 2>/dev/null
openssl req -new -key "$work/forged.key" -subj "/O=CertInstall tests/CN=other" -out "$work/forged.csr"
printf 'basicConstraints = critical, CA:TRUE\n' > "$work/ca.ext"
openssl x509 -req -in "$work/forged.csr" -CA "$work/other.pem" -CAkey "$work/other.key" -CAcreateserial \
    -days 30 -sha256 -extfile "$work/ca.ext" -out "$work/forged.pem" 2>/dev/null
openssl req -new -key "$work/good.key" -subj "/O=CertInstall tests/CN=not a CA" -out "$work/notca.csr"
cp "$work/good.key" "$work/notca.key"
signed_by_self "$work" notca 1 -30 sha256 "basicConstraints = critical, CA:FALSE"
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$work/ec.key" \
    -subj "/CN=elliptic" -addext "basicConstraints=critical,CA:TRUE" -out "$work/ec.pem" 2>/dev/null
# The last byte of the signature changed.
flip_byte "$work/good.der" "$work/tampered.der" -1
echo "not a certificate" > "$work/text.txt"

# The four forms give one and the same carried text.
for form in good.pem good.der good-p7.pem good.p7b; do
    sh "$source_dir/scripts/certificate.sh" "$work/$form" "$work/$form.b64" >/dev/null 2>&1
    check $? "$form is accepted"
    cmp -s "$work/good.pem.b64" "$work/$form.b64"
    check $? "$form gives the same text as good.pem"
done
lines=$(wc -l < "$work/good.pem.b64")
[ "$lines" -eq 1 ] && ! grep -q '[^A-Za-z0-9+/=]' "$work/good.pem.b64"
check $? "the text is one line of base64" "$lines lines"
openssl base64 -d -A -in "$work/good.pem.b64" | openssl pkcs7 -inform DER -print_certs 2>/dev/null |
    openssl x509 -outform DER | cmp -s - "$work/good.der"
check $? "the text is a PKCS #7 of exactly that certificate"

# expect_refused FILE REASON: exit code 1, one line "FILE: ..." holding REASON, nothing written.
expect_refused() {
    rm -f "$work/out.b64"
    said=$(sh "$source_dir/scripts/certificate.sh" "$work/$1" "$work/out.b64" 2>&1 >/dev/null)
    status=$?
    [ $status -eq 1 ] && [ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] &&
        [ "${said#"$work/$1: "}" != "$said" ] && printf '%s' "$said" | grep -q -F "$2" && [ ! -e "$work/out.b64" ]
    check $? "$1 is refused: $2" "exit $status, \"$said\""
    [ $status -eq 1 ] && echo "   $said"
}
expect_refused missing.pem "cannot be read"
expect_refused text.txt "holds no certificate"
expect_refused chain.pem "holds 2 certificates"
expect_refused leaf.pem "is not self-signed"
expect_refused forged.pem "does not verify with its own key"
expect_refused tampered.der "does not verify with its own key"
expect_refused notca.pem "is not a CA"
expect_refused expired.pem "expired on"
expect_refused with-key.pem "private key must never travel"
expect_refused good.key "private key must never travel"
expect_refused bundle.p12 "private key must never travel"
expect_refused ec.pem "not RSA"
expect_refused small.pem "768 bits"

# expect_warned FILE WARNING: accepted, with the warning on stderr.
expect_warned() {
    said=$(sh "$source_dir/scripts/certificate.sh" "$work/$1" "$work/out.b64" 2>&1 >/dev/null)
    status=$?
    [ $status -eq 0 ] && printf '%s' "$said" | grep -q -F "warning: $work/$1: $2"
    check $? "$1 is accepted with a warning: $2" "exit $status, \"$said\""
}
expect_warned future.pem "is not valid before"
expect_warned good.pem "is signed with sha256WithRSAEncryption"
said=$(sh "$source_dir/scripts/certificate.sh" "$work/md5.pem" "$work/out.b64" 2>&1 >/dev/null)
[ -z "$said" ]
check $? "an MD5-signed root has nothing to warn about" "$said"

# The configure step: refused, no header made, no byte of the key in the build folder.
said=$(cmake --preset windows -S "$source_dir" -B "$work/build" \
    -DCERTINSTALL_CERTIFICATE="$work/with-key.pem" 2>&1)
status=$?
[ $status -ne 0 ] && printf '%s' "$said" | grep -q -F "$work/with-key.pem: holds a private key"
check $? "the configure step stops on a file with a key" "exit $status"
[ ! -e "$work/build/generated/install/CertificateText.h" ]
check $? "no certificate header is generated"
key_line=$(sed -n 2p "$work/good.key")
! grep -r -q -F -e "$key_line" "$work/build"
check $? "no line of the key is in the build folder"

verdict "certificate option"
