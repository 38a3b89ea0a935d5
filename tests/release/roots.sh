# Shell functions for the release tests: throwaway certificates made with
# OpenSSL (every key stays in the folder the caller gives), a changed byte,
# and the tests' "ok:"/"FAIL:" lines. Sourced with $here set to this folder.

source_dir=$(cd "$here/../.." && pwd)
failures=0
# fresh DIR: an empty folder for the test's own files, the last run's gone.
fresh() {
    rm -rf "$1" && mkdir -p "$1"
}
# check STATUS WHAT [DETAIL]: "ok: WHAT" where STATUS is 0, else a failure.
check() {
    if [ "$1" -eq 0 ]; then echo "ok: $2"; else echo "FAIL: $2${3:+: $3}"; failures=$((failures + 1)); fi
}
# verdict NAME: the summary line; the exit status says whether all passed.
verdict() {
    [ $failures -eq 0 ] && echo "$1: passed" || echo "$1: $failures failed"
    [ $failures -eq 0 ]
}

# flip_byte IN OUT OFFSET: IN with one bit of the byte at OFFSET changed
# (a negative OFFSET counts from the end).
flip_byte() {
    python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[int(sys.argv[3], 0)] ^= 1; open(sys.argv[2], "wb").write(d)' \
        "$1" "$2" "$3"
}

# root DIR NAME [DAYS-AGO-START DAYS-AGO-END [BITS [DIGEST]]]: a self-signed
# RSA CA, DIR/NAME.pem with its key DIR/NAME.key. Dates are days from today,
# negative for the future (defaults: from yesterday for ten years).
root() {
    dir=$1 name=$2 from=${3:-1} to=${4:--3650} bits=${5:-2048} digest=${6:-sha256}
    openssl genpkey -algorithm RSA -pkeyopt "rsa_keygen_bits:$bits" -out "$dir/$name.key" 2>/dev/null
    openssl req -new -key "$dir/$name.key" -subj "/O=CertInstall tests/CN=$name" -out "$dir/$name.csr"
    signed_by_self "$dir" "$name" "$from" "$to" "$digest" "basicConstraints = critical, CA:TRUE"
}

# signed_by_self DIR NAME FROM TO DIGEST EXTENSIONS: DIR/NAME.csr signed with
# its own key, with any validity (openssl ca takes dates in the past).
signed_by_self() {
    dir=$1 name=$2 from=$3 to=$4 digest=$5 extensions=$6
    ca=$dir/ca-$name
    rm -rf "$ca"
    mkdir -p "$ca/new"
    : > "$ca/index.txt"
    cat > "$ca/ca.cnf" <<EOF
[ ca ]
default_ca = self
[ self ]
database = $ca/index.txt
new_certs_dir = $ca/new
serial = $ca/serial
policy = any
unique_subject = no
x509_extensions = ext
[ any ]
organizationName = supplied
commonName = supplied
[ ext ]
$extensions
EOF
    openssl rand -hex 8 > "$ca/serial"
    openssl ca -config "$ca/ca.cnf" -batch -notext -selfsign -keyfile "$dir/$name.key" \
        -in "$dir/$name.csr" -out "$dir/$name.pem" -md "$digest" \
        -startdate "$(date -u -d "$from days ago" +%Y%m%d%H%M%SZ)" \
        -enddate "$(date -u -d "$to days ago" +%Y%m%d%H%M%SZ)" 2>/dev/null
}

# leaf DIR NAME ISSUER [EXTENSIONS]: DIR/NAME.pem, issued by DIR/ISSUER.
leaf() {
    dir=$1 name=$2 issuer=$3 extensions=${4:-basicConstraints = CA:FALSE}
    openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$dir/$name.key" 2>/dev/null
    openssl req -new -key "$dir/$name.key" -subj "/O=CertInstall tests/CN=$name" -out "$dir/$name.csr"
    printf '%s\n' "$extensions" > "$dir/$name.ext"
    openssl x509 -req -in "$dir/$name.csr" -CA "$dir/$issuer.pem" -CAkey "$dir/$issuer.key" \
        -CAcreateserial -days 30 -sha256 -extfile "$dir/$name.ext" -out "$dir/$name.pem" 2>/dev/null
}

# code_signer DIR NAME ISSUER: a leaf for Authenticode, issued by DIR/ISSUER.
code_signer() {
    leaf "$1" "$2" "$3" "$(printf '%s\n' 'basicConstraints = CA:FALSE' \
        'keyUsage = critical, digitalSignature' 'extendedKeyUsage = codeSigning')"
}
