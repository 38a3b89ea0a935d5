#!/bin/sh
# Remakes the README's pictures in docs/ from the screenshots that the
# end-to-end cases take of the real exes, so that the pictures show what the
# exes show. Run the test command (sh scripts/test.sh) first. Each picture is
# the screenshot trimmed to the window or box on the bare virtual desktop.
set -eu
cd "$(dirname "$0")/.."
shots=build/host/tests/e2e

# picture                  screenshot of an end-to-end case
pictures='classic-window.png          layout/layout.png
classic-refused.png         refused-win10/refused.png
vista-window.png            vista-layout/layout.png
vista-text-225.png          vista-text-225/text-size.png
vista-text-225-144dpi.png   vista-text-225-144/text-size.png
vista-high-contrast.png     vista-high-contrast/high-contrast-black.png
vista-installed.png         vista-installed/installed.png'

# Every screenshot is there before any picture is replaced.
missing=$(echo "$pictures" | while read -r picture shot; do
    [ -f "$shots/$shot" ] || printf ' %s' "$shots/$shot"
done)
if [ -n "$missing" ]; then
    echo "pictures.sh: no screenshot at$missing: run sh scripts/test.sh first" >&2
    exit 1
fi

mkdir -p docs
echo "$pictures" | while read -r picture shot; do
    # No time stamps or other metadata: the same screenshot gives the same file.
    convert "$shots/$shot" -trim +repage -strip -define png:exclude-chunks=date,time "docs/$picture"
    echo "docs/$picture: $(identify -format '%w x %h' "docs/$picture") from $shot"
done
