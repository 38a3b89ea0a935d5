#!/bin/sh
# Sets up what is missing, builds CertInstall.exe and starts it under Wine in
# a private prefix set up as a Chinese Windows XP. With no display it runs on
# a virtual one and saves a screenshot of the window.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 >/dev/null
. tests/e2e/wine-prefix.sh

work=$PWD/build/run
make_template "$work/template"
export WINEPREFIX=$work/prefix
clone_prefix "$work/template" "$WINEPREFIX" winxp

if [ -n "${DISPLAY:-}" ]; then
    exec wine build/windows/CertInstall.exe
fi
start_xvfb
trap 'wineserver -k 2>/dev/null; kill $XVFB_PID 2>/dev/null' EXIT
wine build/windows/CertInstall.exe &
sleep 5
import -window root "$work/window.png"
echo "no display: the window ran on a virtual one; screenshot: $work/window.png"
