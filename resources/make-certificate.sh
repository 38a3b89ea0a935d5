#!/bin/sh
# Regenerates certificate.b64: the Corvane root CA as one line of base64 of a
# certificates-only PKCS #7. A fresh RSA-1024 key is made in a temporary folder
# and thrown away with it, so the private key never lands anywhere.
#
# The certificate keeps the shape the mail clients of the Windows 2000/XP era
# accept: X.509 v3, serial 0, md5WithRSAEncryption, PrintableString names,
# basicConstraints (critical, CA) and a subjectKeyIdentifier, nothing else.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mkdir newcerts
: > index.txt
echo 00 > serial
cat > ca.cnf <<'EOF'
[ ca ]
default_ca = corvane

[ corvane ]
dir = .
database = ./index.txt
new_certs_dir = ./newcerts
serial = ./serial
policy = keep_all
email_in_dn = yes
preserve = yes
unique_subject = no
x509_extensions = root_ca

[ keep_all ]
countryName = supplied
stateOrProvinceName = supplied
localityName = supplied
organizationName = supplied
organizationalUnitName = supplied
commonName = supplied
emailAddress = supplied

[ req ]
distinguished_name = dn
prompt = no
# PrintableString wherever the value allows it, never UTF8String.
string_mask = nombstr

[ dn ]
C = cn
ST = beijing
L = beijing
O = corvane
OU = tech
CN = Corvane CA
emailAddress = support@corvane.com.cn

[ root_ca ]
basicConstraints = critical, CA:TRUE
subjectKeyIdentifier = hash
EOF

openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:1024 \
    -pkeyopt rsa_keygen_pubexp:65537 -out key.pem 2>/dev/null
openssl req -config ca.cnf -new -key key.pem -out req.pem
openssl ca -config ca.cnf -batch -notext -selfsign -keyfile key.pem \
    -in req.pem -out cert.pem -md md5 \
    -startdate 080626082310Z -enddate 280621082310Z 2>/dev/null
openssl crl2pkcs7 -nocrl -certfile cert.pem -outform DER -out cert.p7b
openssl base64 -A -in cert.p7b > "$here/certificate.b64"
echo >> "$here/certificate.b64"
wc -c < cert.p7b
