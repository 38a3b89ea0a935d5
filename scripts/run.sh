#!/bin/sh
# Sets up what is missing, builds both editions and starts one under Wine in
# a fresh prefix set up as a Chinese Windows:
#   sh scripts/run.sh          CertInstall.exe on Windows XP, with the stand-in
#                              enrollment control registered (Wine has no
#                              control of its own)
#   sh scripts/run.sh vista    CertInstallVista.exe on Windows 10
# On a display the program is yours to click. Without one it runs on a
# virtual display, where the test driver presses Next (and confirms, for the
# classic), and the outcome and the screenshots are printed.
set -eu
cd "$(dirname "$0")/.."
case ${1:-classic} in
classic) exe=CertInstall.exe version=winxp scenario=installed standin=yes ;;
vista) exe=CertInstallVista.exe version=win10 scenario=installed-silently standin= ;;
*)
    echo "usage: sh scripts/run.sh [vista]" >&2
    exit 2
    ;;
esac
sh scripts/setup.sh
echo "building $exe ..."
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 >/dev/null
. tests/e2e/wine-prefix.sh

build=$PWD/build/windows
work=$PWD/build/run
make_template "$work/template" "$build"
export WINEPREFIX=$work/prefix
clone_prefix "$work/template" "$WINEPREFIX" $version

if [ -n "${DISPLAY:-}" ]; then
    [ -z "$standin" ] || register_standin "$build"
    exec wine "$build/$exe"
fi

echo "no display: running $exe on a virtual one, pressing Next${standin:+ and confirming}"
# The X server comes first: the prefix's desktop opens on the display that
# its first program finds.
start_xvfb
trap 'wineserver -k 2>/dev/null; kill $XVFB_PID 2>/dev/null' EXIT
[ -z "$standin" ] || register_standin "$build"
rm -f "$work"/*.png
status=0
wine "$build/tests/e2e/windows/driver.exe" $scenario "$(windows_path "$build/$exe")" \
    "$(windows_path "$work")" > "$work/driver.log" || status=1
grep -E '^ *(outcome|exit code|second run)|^FAIL' "$work/driver.log" || true
convert_screenshots "$work"
exit $status
