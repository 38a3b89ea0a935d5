#!/bin/sh
# scripts/sign.sh with a throwaway code-signing root and leaf: the two
# signatures verify against that root, removing them gives back the unsigned
# exe byte for byte, one changed byte fails verification, a key that is not
# the certificate's is refused, and a local RFC 3161 authority time-stamps.
# usage: signing.sh WORK-FOLDER WINDOWS-BUILD
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/roots.sh"
work=$1/signing exe=$2/CertInstall.exe
fresh "$work"
sign() {
    sh "$source_dir/scripts/sign.sh" "$@"
}

root "$work" signing-root
code_signer "$work" signer signing-root
leaf "$work" tsa signing-root "$(printf '%s\n' 'basicConstraints = CA:FALSE' \
    'keyUsage = critical, digitalSignature' 'extendedKeyUsage = critical, timeStamping')"

sign "$exe" "$work/signed.exe" --cert "$work/signer.pem" --key "$work/signer.key" \
    --ca "$work/signing-root.pem" > "$work/sign.log" 2>&1
check $? "sign.sh signs and verifies" "$(cat "$work/sign.log")"
sed 's/^/   /' "$work/sign.log"

osslsigncode verify -CAfile "$work/signing-root.pem" -in "$work/signed.exe" > "$work/verify.log" 2>&1
check $? "osslsigncode verify succeeds against the test root"
digests=$(sed -n 's/^Message digest algorithm  : //p' "$work/verify.log" | tr '\n' ' ')
[ "$digests" = "SHA1 SHA256 " ]
check $? "a SHA-1 signature, then a nested SHA-256 one" "$digests"

osslsigncode remove-signature -in "$work/signed.exe" -out "$work/unsigned.exe" >/dev/null 2>&1
cmp -s "$work/unsigned.exe" "$exe"
check $? "removing the signature gives back the unsigned exe byte for byte"

# One byte in the middle of the code.
flip_byte "$work/signed.exe" "$work/changed.exe" 0x2000
! osslsigncode verify -CAfile "$work/signing-root.pem" -in "$work/changed.exe" >/dev/null 2>&1
check $? "a single changed byte fails verification"

said=$(sign "$exe" "$work/wrong.exe" --cert "$work/signer.pem" --key "$work/tsa.key" 2>&1)
[ $? -eq 1 ] && [ ! -e "$work/wrong.exe" ] && [ "$said" = "sign.sh: $work/tsa.key: is not the key of $work/signer.pem" ]
check $? "a key that is not the certificate's is refused, nothing written" "$said"
echo "   $said"

printf 'secret\n' > "$work/pass"
openssl pkcs12 -export -in "$work/signer.pem" -inkey "$work/signer.key" -passout file:"$work/pass" \
    -out "$work/signer.p12"
sign "$exe" "$work/from-p12.exe" --pkcs12 "$work/signer.p12" --pass-file "$work/pass" \
    --ca "$work/signing-root.pem" >/dev/null 2>&1
check $? "a PKCS #12 with a pass file signs"
said=$(sign "$exe" "$work/no-pass.exe" --pkcs12 "$work/signer.p12" 2>&1)
[ $? -eq 1 ] && [ ! -e "$work/no-pass.exe" ]
check $? "a PKCS #12 without its pass file is refused, nothing written" "$said"
echo "   $said"

# A time-stamp authority on 127.0.0.1: openssl ts -reply behind a small HTTP handler.
cat > "$work/tsa.cnf" <<EOF
[ tsa ]
default_tsa = local
[ local ]
serial = $work/tsa.serial
crypto_device = builtin
signer_cert = $work/tsa.pem
certs = $work/signing-root.pem
signer_key = $work/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha1, sha256
accuracy = secs:1
ess_cert_id_alg = sha1
EOF
echo 01 > "$work/tsa.serial"
python3 "$here/tsa.py" "$work/tsa.cnf" "$work/tsa.port" &
tsa_pid=$!
trap 'kill $tsa_pid 2>/dev/null' EXIT
i=0
while [ ! -s "$work/tsa.port" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
url=http://127.0.0.1:$(cat "$work/tsa.port")/
sign "$exe" "$work/stamped.exe" --cert "$work/signer.pem" --key "$work/signer.key" \
    --ca "$work/signing-root.pem" --timestamp "$url" > "$work/stamped.log" 2>&1
check $? "sign.sh --timestamp $url signs, stamps and verifies" "$(cat "$work/stamped.log")"
osslsigncode verify -CAfile "$work/signing-root.pem" -TSA-CAfile "$work/signing-root.pem" \
    -in "$work/stamped.exe" > "$work/stamped-verify.log" 2>&1
stamps=$(grep -c '^Timestamp Server Signature verification: ok' "$work/stamped-verify.log")
[ "$stamps" -eq 2 ]
check $? "both signatures carry a verified time stamp" "$stamps"
grep -E '^(.Timestamp time|Timestamp serial number|Timestamp Server Signature)' "$work/stamped-verify.log" | sed 's/^\t*/   /'

verdict "signing"
