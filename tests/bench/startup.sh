#!/bin/sh
# Start-up benchmark, not a test: the time from process start to a visible
# window and to a fully painted one, and the peak working set, of
# CertInstall.exe and of a minimal Win32 program with one window and two
# buttons (which paints at once), both under Wine on this machine.
# The two take turns, ROUNDS rounds (6 unless set) of five starts each, so
# that a slow spell of the machine falls on both. Prints the medians and ratios.
set -eu
cd "$(dirname "$0")/../.."
sh scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 >/dev/null
. tests/e2e/wine-prefix.sh

build=$PWD/build/windows
work=$PWD/build/bench
mkdir -p "$work"
i686-w64-mingw32-g++ -Os -municode -mwindows -static -s \
    -Wl,--major-subsystem-version,5,--minor-subsystem-version,0 \
    tests/bench/minimal.cpp -o "$work/minimal.exe"

make_template "$work/template" "$build"
export WINEPREFIX=$work/prefix
clone_prefix "$work/template" "$WINEPREFIX" winxp
start_xvfb
trap 'wineserver -k 2>/dev/null; kill $XVFB_PID 2>/dev/null' EXIT

# measure EXE: "visible-ms painted-ms kilobytes" for each start.
measure() {
    STARTUP_RUNS=5 wine "$build/tests/e2e/windows/driver.exe" startup "$(windows_path "$1")" \
        "$(windows_path "$work")" | awk '/^startup:/ { print $2, $5, $11 }'
}
: > "$work/certinstall.txt"
: > "$work/minimal.txt"
round=0
while [ $round -lt "${ROUNDS:-6}" ]; do
    measure "$build/CertInstall.exe" >> "$work/certinstall.txt"
    measure "$work/minimal.exe" >> "$work/minimal.txt"
    round=$((round + 1))
done

# median FILE COLUMN
median() {
    cut -d' ' -f"$2" "$1" | sort -n | awk '{ v[NR] = $1 } END {
        print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
cert_visible=$(median "$work/certinstall.txt" 1) cert_painted=$(median "$work/certinstall.txt" 2)
cert_kb=$(median "$work/certinstall.txt" 3)
min_visible=$(median "$work/minimal.txt" 1) min_painted=$(median "$work/minimal.txt" 2)
min_kb=$(median "$work/minimal.txt" 3)
starts=$(wc -l < "$work/minimal.txt")
echo "starts each:        $starts"
echo "CertInstall.exe:    $cert_visible ms to visible, $cert_painted ms to painted, peak working set $cert_kb KB"
echo "minimal.exe:        $min_visible ms to visible, $min_painted ms to painted, peak working set $min_kb KB"
awk -v cv="$cert_visible" -v mv="$min_visible" -v cp="$cert_painted" -v mp="$min_painted" \
    -v ck="$cert_kb" -v mk="$min_kb" 'BEGIN {
    printf "ratio:              visible %.2f, painted %.2f, peak working set %.2f\n", cv / mv, cp / mp, ck / mk }'
