#!/bin/sh
# Regenerates vista-icon.ico, the Vista edition's icon: the padlock of
# make-icon.sh (a white padlock on a blue rounded tile) drawn anew at each size
# Windows asks an exe for at 100 to 200 % and in Explorer's views: 16, 20, 24,
# 32, 40, 48 and 64 px as 32-bit images with alpha, 256 px as PNG (Vista and
# later read it; XP never asks for it). Each size has its own measures, in
# whole pixels, so that every straight edge lies on a pixel boundary and only
# the round parts are soft: an image scaled from another size blurs at 16 and
# 20 px, where a shackle of one and a half pixels is two grey lines.
# The output is the same bytes on every run (no time or name inside).
# Needs ImageMagick and icoutils.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

blue='#1d5c96'
# Per size, in pixel edges from the top left (a span a..b covers pixels a to
# b-1), the padlock symmetric about the middle:
#   tile   corner radius of the blue tile, which fills the image
#   body   left edge, top, bottom and corner radius of the white body
#   shackle  left edge, top, stroke width and outer corner radius (half its
#          width: a half ring on two straight legs down to the body; less at
#          16 and 20 px, where a half ring of four pixels is all grey)
#   key    diameter of the keyhole's round head (0: none, a slot only), the
#          head's centre row, slot width and bottom
# size tile | body x top bottom radius | shackle x top stroke radius | key d row slot bottom
table='
16   3 |  3   7  15  1 |  4  1  2  2 |  0   9  2  12
20   3 |  4   9  18  1 |  5  2  2  3 |  0  11  2  15
24   4 |  5  11  22  1 |  7  2  2  5 |  4  15  2  19
32   5 |  7  15  29  2 |  9  3  3  7 |  4  20  2  26
40   6 |  9  19  36  2 | 11  4  4  9 |  6  25  2  32
48   7 | 10  22  44  3 | 13  4  5 11 |  8  30  4  39
64  10 | 14  30  58  4 | 18  6  6 14 | 10  40  4  52
256 40 | 56 120 232 16 | 72 24 24 56 | 40 160 16 208
'

# draw SIZE TILE BODY-X BODY-TOP BODY-BOTTOM BODY-R SHACKLE-X SHACKLE-TOP STROKE
#      SHACKLE-R KEY-D KEY-ROW SLOT SLOT-BOTTOM OUT: one row of the table.
# ImageMagick's coordinates are pixel centres: a rectangle a,b c,d fills
# pixels a to c, and a circle of radius r covers about r + 0.5.
draw() {
    size=$1 tile=$2 bx=$3 btop=$4 bbottom=$5 br=$6 sx=$7 stop=$8 stroke=$9
    shift 9
    sr=$1 kd=$2 krow=$3 slot=$4 sbottom=$5 out=$6
    last=$((size - 1))
    half=$((size / 2))
    # The hole's corners: square where the stroke is as wide as the outline's
    # radius (ImageMagick draws no round rectangle of radius 0).
    hole=rectangle inner=''
    [ "$sr" -le "$stroke" ] || hole="roundrectangle" inner=$((sr - stroke))
    # The shackle's outline and its hole run on under the body, which hides
    # their lower corners.
    sbottom_hidden=$((btop - 1 + sr))
    set -- -fill "$blue" -draw "roundrectangle 0,0 $last,$last $tile,$tile" \
        -fill white -draw "roundrectangle $sx,$stop $((last - sx)),$sbottom_hidden $sr,$sr" \
        -fill "$blue" -draw "$hole $((sx + stroke)),$((stop + stroke)) \
            $((last - sx - stroke)),$sbottom_hidden${inner:+ $inner,$inner}" \
        -fill white -draw "roundrectangle $bx,$btop $((last - bx)),$((bbottom - 1)) $br,$br" \
        -fill "$blue"
    if [ "$kd" -gt 0 ]; then
        set -- "$@" -draw "$(awk "BEGIN { x = $half - 0.5; y = $krow - 0.5
            printf \"circle %s,%s %s,%s\", x, y, x, y + $kd / 2 - 0.5 }")"
    fi
    set -- "$@" -draw "rectangle $((half - slot / 2)),$krow $((half + slot / 2 - 1)),$((sbottom - 1))"
    # PNG32 keeps the alpha channel whatever the colours; no time, no name.
    convert -size "${size}x$size" xc:none "$@" -strip -define png:exclude-chunks=date,time \
        +set date:create +set date:modify "PNG32:$out"
}

echo "$table" | tr -d '|' | while read -r size rest; do
    [ -n "$size" ] || continue
    # shellcheck disable=SC2086  # the row's numbers are the arguments
    draw "$size" $rest "$work/$size.png"
done
small=""
for size in 16 20 24 32 40 48 64; do small="$small $work/$size.png"; done
# shellcheck disable=SC2086  # one argument a file
icotool -c -o "$here/vista-icon.ico" $small -r "$work/256.png"
