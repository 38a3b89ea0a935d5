#!/bin/sh
# Reads the resources back out of a built exe: the version information, the
# icon group and its one image, the banner JPEG and the edition's manifest
# (check-manifest.py's options, --vista for the Vista edition, follow).
# usage: check-resources.sh NAME.exe RESOURCES-FOLDER [--vista]
set -u
exe=$1 resources=$2 edition=${3:-}
name=$(basename "$exe" .exe)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check WHAT EXPECTED SEEN
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: expected '$2', saw '$3'"; failures=$((failures + 1)); fi
}

# The resource table: exactly these five, icon and group language-neutral.
wrestool -l "$exe" | sed 's/ \[.*//' | sort > "$work/list"
check "resource table" "--type=10 --name=101 --language=1033
--type=14 --name=1 --language=0
--type=16 --name=1 --language=1033
--type=24 --name=1 --language=1033
--type=3 --name=30001 --language=0" "$(cat "$work/list")"

# The application manifest: the edition's committed one, safe on every Windows.
wrestool -x --raw -t24 -n1 "$exe" > "$work/manifest"
check "manifest is resources/$name.manifest" "same" \
    "$(cmp -s "$work/manifest" "$resources/$name.manifest" && echo same)"
python3 "$(dirname "$0")/check-manifest.py" $edition "$work/manifest" | sed 's/^manifest: .*//' | grep . > "$work/manifest-checks"
cat "$work/manifest-checks"
failures=$((failures + $(grep -c '^FAIL' "$work/manifest-checks")))

# Icon group 1 points at image 30001: 32 x 32, 256 colours, 8 bits, 2216 bytes.
wrestool -x --raw -t14 -n1 "$exe" > "$work/group"
check "icon group entry" "0000 0001 0001 2020 0000 0001 0008 08a8 0000 7531" \
    "$(od -An -v -tx2 --endian=little "$work/group" | xargs)"
wrestool -x -t14 -n1 "$exe" > "$work/icon.ico"
check "icon image" "--icon --index=1 --width=32 --height=32 --bit-depth=8 --palette-size=256" \
    "$(icotool -l "$work/icon.ico")"

# Version: the fixed part, then the strings of table 040904B0 in pairs.
wrestool -x --raw -t16 -n1 "$exe" > "$work/version"
check "fixed version 1.0.0.0, application for 32-bit Windows" \
    "feef04bd 00010000 00010000 00000000 00010000 00000000 0000003f 00000000 00000004 00000001 00000000" \
    "$(od -An -v -tx4 --endian=little "$work/version" | xargs | grep -o 'feef04bd\( [0-9a-f]*\)\{10\}')"
# Each UTF-16 string of printable characters, one a line.
od -An -v -tu2 --endian=little "$work/version" | xargs -n1 | awk '
    $1 == 0 { if (s != "") print s; s = ""; next }
    $1 >= 32 && $1 < 127 { s = s sprintf("%c", $1); next }
    { s = "" }' > "$work/strings"
pairs=$(awk 'NR > 1 { print prev "=" $0 } { prev = $0 }' "$work/strings" |
    grep -E '^(CompanyName|ProductName|FileVersion|ProductVersion|InternalName|OriginalFilename)=' | xargs)
check "version strings" \
    "CompanyName=Corvane ProductName=Project1 FileVersion=1.00 ProductVersion=1.00 InternalName=$name OriginalFilename=$name.exe" \
    "$pairs"
check "string table 040904B0" "040904B0" "$(grep -x 040904B0 "$work/strings")"
check "translation US English, Unicode" "04b00409" \
    "$(od -An -v -tx4 --endian=little "$work/version" | xargs -n1 | tail -1)"

# The banner: the committed JPEG, baseline 8-bit 424 x 72, three components
# without subsampling, JFIF 1.02 at 72 dots per inch.
wrestool -x --raw -t10 -n101 "$exe" > "$work/banner.jpg"
check "banner is resources/banner.jpg" "same" "$(cmp -s "$work/banner.jpg" "$resources/banner.jpg" && echo same)"
hex=$(od -An -v -tx1 "$work/banner.jpg" | xargs)
check "JFIF 1.02, 72 x 72 dpi" "ff d8 ff e0 00 10 4a 46 49 46 00 01 02 01 00 48 00 48" "$(echo "$hex" | cut -c1-53)"
check "baseline 8-bit 72 x 424, YCbCr 1x1 1x1 1x1" "ff c0 00 11 08 00 48 01 a8 03 01 11 00 02 11 01 03 11 01" \
    "$(echo "$hex" | grep -o 'ff c0 00 11 .\{44\}')"
check "no progressive frame" "" "$(echo "$hex" | grep -o 'ff c2 00')"

echo "resources: $failures failed"
[ "$failures" -eq 0 ]
