#!/bin/sh
# Regenerates banner.jpg, the 424 x 72 banner across the top of the window:
# Corvane's name beside a padlock on a deep blue band, with a short Chinese
# line. Baseline JPEG, 4:4:4, JFIF at 72 dpi, no other metadata, so that
# OleLoadPicture on Windows 2000/XP reads it as it is.
# Needs ImageMagick and fonts-wqy-zenhei.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc

convert -size 424x72 gradient:'#0b2a55-#1d6fa5' -rotate 0 \
    -fill '#ffffff' -stroke none \
    -draw 'roundrectangle 20,34 56,64 4,4' \
    -fill none -stroke '#ffffff' -strokewidth 4 \
    -draw 'arc 27,13 49,35 180,360' -draw 'line 27,24 27,36' -draw 'line 49,24 49,36' \
    -fill '#1d4f86' -stroke none \
    -draw 'circle 38,46 38,50' -draw 'rectangle 36,47 40,57' \
    -fill '#ffffff' -font "$font" -pointsize 26 -annotate +72+34 'Corvane' \
    -fill '#cfe3f5' -pointsize 15 -annotate +74+58 '加密邮局 · 根证书安装工具' \
    -fill '#ffffff' -draw 'rectangle 0,70 424,71' -fill '#f2b33d' -draw 'rectangle 0,69 424,69' \
    -strip -interlace none -sampling-factor 1x1,1x1,1x1 -quality 92 \
    -density 72 -units PixelsPerInch \
    "JPEG:$here/banner.jpg"
# libjpeg writes JFIF 1.01; the header says 1.02, the version that names the
# density fields as they are used here. Byte 12 is the minor version.
printf '\002' | dd of="$here/banner.jpg" bs=1 seek=12 conv=notrunc status=none
