#!/bin/sh
# Reads the resources back out of a built exe: the version information, the
# icon group and its images (the classic's one, or the Vista edition's set),
# the banner JPEG and the edition's manifest (check-manifest.py's options,
# --vista for the Vista edition, follow).
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

# The resource table: exactly these, icons and group language-neutral.
if [ "$edition" = --vista ]; then
    images=$(for id in 1 2 3 4 5 6 7 8; do echo "--type=3 --name=$id --language=0"; done)
else
    images="--type=3 --name=30001 --language=0"
fi
wrestool -l "$exe" | sed 's/ \[.*//' | sort > "$work/list"
check "resource table" "--type=10 --name=101 --language=1033
--type=14 --name=1 --language=0
--type=16 --name=1 --language=1033
--type=24 --name=1 --language=1033
$images" "$(cat "$work/list")"

# The application manifest: the edition's committed one, safe on every Windows.
wrestool -x --raw -t24 -n1 "$exe" > "$work/manifest"
check "manifest is resources/$name.manifest" "same" \
    "$(cmp -s "$work/manifest" "$resources/$name.manifest" && echo same)"
python3 "$(dirname "$0")/check-manifest.py" $edition "$work/manifest" | sed 's/^manifest: .*//' | grep . > "$work/manifest-checks"
cat "$work/manifest-checks"
failures=$((failures + $(grep -c '^FAIL' "$work/manifest-checks")))

# "WxH BITS-bit FORM" of icon image ID from its own header: a PNG's IHDR, or
# the BITMAPINFOHEADER of a BMP (whose height counts both masks).
image() {
    wrestool -x --raw -t3 -n"$1" "$exe" | head -c 32 | od -An -v -tu1 | xargs -n1 | awk '
        { b[NR - 1] = $1 }
        function le(i, n,   v, k) { for (k = n - 1; k >= 0; k--) v = v * 256 + b[i + k]; return v }
        function be(i, n,   v, k) { for (k = 0; k < n; k++) v = v * 256 + b[i + k]; return v }
        END {
            if (be(0, 4) == 2303741511)  # "\211PNG"
                print be(16, 4) "x" be(20, 4), b[24] * (b[25] == 6 ? 4 : 3) "-bit PNG"
            else if (le(0, 4) == 40)
                print le(4, 4) "x" le(8, 4) / 2, le(14, 2) "-bit BMP"
            else
                print "unknown image"
        }'
}

wrestool -x --raw -t14 -n1 "$exe" > "$work/group"
if [ "$edition" = --vista ]; then
    # Icon group 1 holds an image drawn for each size Windows asks for from
    # 100 to 200 % and in Explorer's views: 32-bit with alpha up to 64 px
    # (what XP draws), PNG at 256 px (Vista and later). Each line is a group
    # entry; where the image's own header says otherwise, that follows.
    od -An -v -tu1 "$work/group" | xargs -n1 | awk '
        { b[NR - 1] = $1 }
        function side(v) { return v ? v : 256 }  # 0 stands for 256
        END {
            for (i = 0; i < b[4] + 256 * b[5]; i++) {
                e = 6 + 14 * i
                print side(b[e]) "x" side(b[e + 1]), b[e + 6] + 256 * b[e + 7], b[e + 12] + 256 * b[e + 13]
            }
        }' |
    while read -r size bits id; do
        seen=$(image "$id")
        case "$seen" in
            "$size $bits-bit "*) echo "$seen" ;;
            *) echo "$size $bits-bit (image: $seen)" ;;
        esac
    done > "$work/icons"
    check "icon group entries" "16x16 32-bit BMP
20x20 32-bit BMP
24x24 32-bit BMP
32x32 32-bit BMP
40x40 32-bit BMP
48x48 32-bit BMP
64x64 32-bit BMP
256x256 32-bit PNG" "$(cat "$work/icons")"
    sed 's/^/   icon: /' "$work/icons"
else
    # Icon group 1 points at image 30001: 32 x 32, 256 colours, 8 bits, 2216 bytes.
    check "icon group entry" "0000 0001 0001 2020 0000 0001 0008 08a8 0000 7531" \
        "$(od -An -v -tx2 --endian=little "$work/group" | xargs)"
    wrestool -x -t14 -n1 "$exe" > "$work/icon.ico"
    check "icon image" "--icon --index=1 --width=32 --height=32 --bit-depth=8 --palette-size=256" \
        "$(icotool -l "$work/icon.ico")"
fi

# Version: the fixed part, then the strings of table 040904B0 in pairs.
wrestool -x --raw -t16 -n1 "$exe" > "$work/version"
check "fixed version 1.0.0.0, application for 32-bit Windows" \
    "feef04bd 00010000 00010000 00000000 00010000 00000000 0000003f 00000000 00000004 00000001 00000000" \
    "$(od -An -v -tx4 --endian=little "$work/version" | xargs | grep -o 'feef04bd\( [0-9a-f]*\)\{10\}')"
# Each run of UTF-16 characters between control characters, one a line.
iconv -c -f UTF-16LE -t UTF-8 "$work/version" | tr '\000-\037' '\n' | grep -a . > "$work/strings"
pairs=$(awk 'NR > 1 { print prev "=" $0 } { prev = $0 }' "$work/strings" |
    grep -E '^(CompanyName|ProductName|FileVersion|ProductVersion|InternalName|OriginalFilename|FileDescription)=' | xargs)
# The Vista edition names itself where Task Manager and Properties show it.
description=
[ "$edition" = --vista ] && description=" FileDescription=证书安装工具"
check "version strings" \
    "CompanyName=Corvane ProductName=Project1 FileVersion=1.00 ProductVersion=1.00 InternalName=$name OriginalFilename=$name.exe$description" \
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
