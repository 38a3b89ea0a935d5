#!/bin/sh
# scripts/release.sh end to end, with a root and a code-signing pair made
# here: an unsigned release and a signed one, each a build of its own, the
# second from a copy of the source in another folder. Both exes carry the
# root, SHA256SUMS matches what was published, the signatures verify, the two
# builds agree byte for byte once the signatures are removed (the build is
# reproducible), and the summary says what it must. A bad input is refused in one line and
# leaves an existing release folder exactly as it was.
# usage: release.sh WORK-FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/roots.sh"
work=$1/release
fresh "$work" && mkdir "$work/tmp"
# Every temporary folder of the scripts lands here, to see it gone afterwards.
export TMPDIR="$work/tmp"
release() {
    sh "$source_dir/scripts/release.sh" "$@"
}
# The same commit in another folder: no path of the source reaches the exe.
mkdir "$work/source"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/source" -xf -

root "$work" operator-root
root "$work" signing-root
code_signer "$work" signer signing-root
# In a folder whose name has a space, which every path must survive.
keys="$work/signing keys"
mkdir "$keys"
printf 'secret\n' > "$keys/pass"
openssl pkcs12 -export -in "$work/signer.pem" -inkey "$work/signer.key" -passout file:"$keys/pass" \
    -out "$keys/signer.p12"
sh "$source_dir/scripts/certificate.sh" "$work/operator-root.pem" "$work/operator-root.b64" >/dev/null 2>&1
# carries EXE: EXE holds the root's carried text as a whole UTF-16LE string.
carries() {
    strings -e l -n 100 "$1" | grep -q -x -F -f "$work/operator-root.b64"
}
# listing DIR: the folder and each entry with its time, and each file's SHA-256.
listing() {
    ls -ld --time-style=full-iso "$1" && ls -lA --time-style=full-iso "$1" &&
        (cd "$1" && find . -type f -exec sha256sum {} + | sort)
}
exes="CertInstall.exe CertInstallVista.exe"

release "$work/operator-root.pem" --out "$work/unsigned" --unsigned > "$work/unsigned.txt" 2> "$work/unsigned.err"
check $? "an unsigned release" "$(cat "$work/unsigned.err")"
# The signed one, from a PKCS #12, goes into a folder that holds an unrelated file and stale release files.
mkdir "$work/signed"
echo "the operator's notes" > "$work/signed/notes.txt"
echo "stale" > "$work/signed/CertInstall.exe"
echo "0000  CertInstall.exe" > "$work/signed/SHA256SUMS"
cp "$work/signed/notes.txt" "$work/notes.txt"
sh "$work/source/scripts/release.sh" "$work/operator-root.pem" --out "$work/signed" --pkcs12 "$keys/signer.p12" --pass-file "$keys/pass" \
    --ca "$work/signing-root.pem" > "$work/signed.txt" 2> "$work/signed.err"
check $? "a signed release" "$(cat "$work/signed.err")"

for kind in unsigned signed; do
    dir=$work/$kind
    status=0
    for exe in $exes; do
        carries "$dir/$exe" || status=1
    done
    check $status "both exes of the $kind release carry the root"
    sums=$(cut -c 67- "$dir/SHA256SUMS" | xargs)
    (cd "$dir" && sha256sum --quiet -c SHA256SUMS) && [ "$sums" = "$exes" ]
    check $? "sha256sum -c accepts the $kind release's SHA256SUMS of both exes" "$sums"
    status=0
    for exe in $exes; do
        grep -q -F "SHA-256: $(sha256sum < "$dir/$exe" | cut -c 1-64)" "$work/$kind.txt" || status=1
    done
    check $status "the $kind summary gives the SHA-256 of both files as published"
done
[ "$(ls -A "$work/signed" | xargs)" = "$exes SHA256SUMS index.html notes.txt root.crt" ] && cmp -s "$work/signed/notes.txt" "$work/notes.txt"
check $? "the stale release files are replaced, the unrelated file is kept, nothing else is left" \
    "$(ls -A "$work/signed" | xargs)"

status=0
for exe in $exes; do
    osslsigncode verify -CAfile "$work/signing-root.pem" -in "$work/signed/$exe" > "$work/verify.log" 2>&1 &&
        [ "$(sed -n 's/^Message digest algorithm  : //p' "$work/verify.log" | xargs)" = "SHA1 SHA256" ] || status=1
done
check $status "both exes verify against the signing root, SHA-1 then nested SHA-256"
status=0
for exe in $exes; do
    osslsigncode remove-signature -in "$work/signed/$exe" -out "$work/$exe.removed" >/dev/null 2>&1 &&
        cmp "$work/$exe.removed" "$work/unsigned/$exe" || status=1
done
check $status "the two releases' builds are byte-identical once the signatures are removed"

head -n 1 "$work/unsigned.txt" | grep -q -i unsigned && ! head -n 1 "$work/signed.txt" | grep -q -i unsigned
check $? "the first line of the summary says unsigned for --unsigned, and only then" \
    "$(head -n 1 "$work/unsigned.txt") / $(head -n 1 "$work/signed.txt")"
# The fingerprints as Windows groups them: eight hex digits a group.
fingerprint() {
    openssl x509 -in "$work/operator-root.pem" -noout -fingerprint "-$1" | sed 's/.*=//' | tr -d : |
        fold -w 8 | paste -s -d ' '
}
thumbprint=$(fingerprint sha1)
grep -q -F "$thumbprint" "$work/signed.txt" && grep -q -F "$(fingerprint sha256)" "$work/signed.txt" &&
    grep -q -F "CN=operator-root" "$work/signed.txt"
check $? "the summary names the root: subject, thumbprint $thumbprint and SHA-256"
grep -q -F "release.sh: warning: $work/operator-root.pem: is signed with sha256WithRSAEncryption" "$work/unsigned.err"
check $? "the root's warning reaches the operator" "$(cat "$work/unsigned.err")"
echo "   the unsigned release's summary:"
sed 's/^/   | /' "$work/unsigned.txt"

# refused NAME FRAGMENT COMMAND...: a non-zero exit and one line on stderr,
# "release.sh: NAME: ...FRAGMENT...", with the signed release's folder as it was.
before=$(listing "$work/signed")
refused() {
    name=$1 fragment=$2
    shift 2
    said=$("$@" 2>&1 >/dev/null)
    status=$?
    [ $status -ne 0 ] && [ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] &&
        [ "${said#"release.sh: $name: "}" != "$said" ] && printf '%s' "$said" | grep -q -F -- "$fragment" &&
        [ "$(listing "$work/signed")" = "$before" ]
    check $? "refused in one line, the folder untouched: $said" "exit $status, \"$said\""
}
signed_by() {
    release "$work/operator-root.pem" --out "$work/signed" "$@"
}
cat "$work/operator-root.pem" "$work/operator-root.key" > "$work/with-key.pem"
refused "$work/signer.pem" "is not self-signed" release "$work/signer.pem" --out "$work/signed" --unsigned
refused "$work/with-key.pem" "holds a private key" release "$work/with-key.pem" --out "$work/signed" --unsigned
refused "$work/signing-root.key" "is not the key of $work/signer.pem" \
    signed_by --cert "$work/signer.pem" --key "$work/signing-root.key"
refused "$keys/signer.p12" "cannot be opened" signed_by --pkcs12 "$keys/signer.p12"
refused "$work/missing-pass" "cannot be read" signed_by --pkcs12 "$keys/signer.p12" --pass-file "$work/missing-pass"
refused ftp://tsa.invalid "is not an http:// or https:// address" \
    signed_by --pkcs12 "$keys/signer.p12" --pass-file "$keys/pass" --timestamp ftp://tsa.invalid
refused "$work/signer.key" "holds no PEM certificate" \
    signed_by --cert "$work/signer.pem" --key "$work/signer.key" --ca "$work/signer.key"
refused "$work/signed/notes.txt" "is not a folder" \
    release "$work/operator-root.pem" --out "$work/signed/notes.txt" --unsigned
refused --sign "unknown option" signed_by --sign "$work/signer.pem"
refused --out "is missing" release "$work/operator-root.pem" --unsigned
refused --unsigned "takes no" signed_by --unsigned --cert "$work/signer.pem"
refused signer "is missing" signed_by
refused "$work/signer.pem" "does not chain to the system's roots or to $work/operator-root.pem" \
    signed_by --cert "$work/signer.pem" --key "$work/signer.key" --ca "$work/operator-root.pem"
# A release file's name taken by a folder in DIR: refused before the build.
mkdir -p "$work/blocked/index.html"
blocked=$(listing "$work/blocked")
said=$(release "$work/operator-root.pem" --out "$work/blocked" --unsigned 2>&1 >/dev/null)
[ $? -ne 0 ] && [ "$said" = "release.sh: $work/blocked/index.html: is a folder where the release puts a file" ] &&
    [ "$(listing "$work/blocked")" = "$blocked" ]
check $? "a folder where a release file goes is refused in one line, DIR untouched" "$said"

# Failures after the checks: a compiler that fails, and a signer that signs
# the first exe and fails on the second. Each leaves DIR exactly as it was
# and makes no DIR that was not there.
fakes="$work/fake bin"
mkdir -p "$fakes"
printf '#!/bin/sh\necho "broken compiler" >&2\nexit 1\n' > "$fakes/i686-w64-mingw32-g++"
real_signer=$(command -v osslsigncode)
cat > "$fakes/osslsigncode" <<EOS
#!/bin/sh
case "\$1 \$*" in "sign "*CertInstallVista*) echo "signing refused" >&2; exit 1 ;; esac
exec "$real_signer" "\$@"
EOS
chmod +x "$fakes/i686-w64-mingw32-g++" "$fakes/osslsigncode"
# failed_after_checks WHAT FRAGMENT DIR ARGS...: the release into DIR fails
# with FRAGMENT in its last line and DIR as it was (or still absent).
failed_after_checks() {
    what=$1 fragment=$2 dir=$3
    shift 3
    was=$(listing "$dir" 2>/dev/null)
    said=$(PATH="$fakes:$PATH" release "$work/operator-root.pem" --out "$dir" "$@" 2>&1 >/dev/null)
    status=$?
    [ $status -ne 0 ] && printf '%s' "$said" | tail -n 1 | grep -q -F -- "$fragment" &&
        [ "$(listing "$dir" 2>/dev/null)" = "$was" ]
    check $? "$what: refused, $dir as it was" "exit $status, \"$(printf '%s' "$said" | tail -n 1)\""
}
failed_after_checks "a build that fails" "the build failed" "$work/signed" --unsigned
failed_after_checks "a build that fails" "the build failed" "$work/never" --unsigned
rm "$fakes/i686-w64-mingw32-g++"
# What fails here is the signing: the unsigned release's exes stand in for a third build.
printf '#!/bin/sh\ncase $1 in --build) cp "%s/"*.exe "$2/" ;; *) while [ "$1" != -B ]; do shift; done; mkdir -p "$2" ;; esac\n' \
    "$work/unsigned" > "$fakes/cmake" && chmod +x "$fakes/cmake"
failed_after_checks "a signing that fails on the second exe" "CertInstallVista.exe: the signing failed" \
    "$work/signed" --pkcs12 "$keys/signer.p12" --pass-file "$keys/pass" --ca "$work/signing-root.pem"

release "$work/signer.pem" --out "$work/new" --unsigned 2>/dev/null
[ $? -ne 0 ] && [ ! -e "$work/new" ]
check $? "a refused release makes no folder that was not there"

left=$(ls -A "$work/tmp")
[ -z "$left" ]
check $? "no temporary folder is left behind, after success or refusal" "$left"

verdict "release"
