#!/bin/sh
# Start-up benchmark, not a test: the time from process start to a visible
# window and to a fully painted one, and the peak working set, of both
# editions and of a yardstick for each, built from tests/bench/yardstick.cpp:
# the least program that shows the same window (the same controls, texts and
# fonts, the banner decoded through OleLoadPicture) and does nothing else;
# the Vista edition's with its manifest and message font. All four run under
# Wine on this machine, on one prefix reporting Windows XP, where both
# editions show their window. They take turns, ROUNDS rounds (6 unless set)
# of five starts each, so that a slow spell of the machine falls on all.
# Prints the medians, and the ratio of each edition to its yardstick.
set -eu
cd "$(dirname "$0")/../.."
sh scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 >/dev/null
. tests/e2e/wine-prefix.sh

build=$PWD/build/windows
work=$PWD/build/bench
mkdir -p "$work"
# The editions' headers (those of Windows 2000) and link flags; the texts come
# from app/Layout.h.
flags="-Os -std=c++20 -I. -DUNICODE -D_UNICODE -DWINVER=0x0500 -D_WIN32_WINNT=0x0500 -municode -mwindows
    -static -s -Wl,--major-subsystem-version,5,--minor-subsystem-version,0"
i686-w64-mingw32-windres -I resources tests/bench/banner.rc -O coff -o "$work/classic-yardstick.res"
i686-w64-mingw32-g++ $flags tests/bench/yardstick.cpp "$work/classic-yardstick.res" \
    -lole32 -loleaut32 -luuid -o "$work/classic-yardstick.exe"
i686-w64-mingw32-windres -I resources tests/bench/banner-themed.rc -O coff -o "$work/vista-yardstick.res"
i686-w64-mingw32-g++ $flags -DTHEMED tests/bench/yardstick.cpp "$work/vista-yardstick.res" \
    -lole32 -loleaut32 -luuid -lcomctl32 -o "$work/vista-yardstick.exe"

make_template "$work/template" "$build"
export WINEPREFIX=$work/prefix
clone_prefix "$work/template" "$WINEPREFIX" winxp
start_xvfb
# Under set -e a failing command ends the trap: with no wineserver left to
# end, Xvfb would be left running.
trap 'wineserver -k 2>/dev/null || :; kill $XVFB_PID 2>/dev/null || :' EXIT

programs="$build/CertInstall.exe $build/CertInstallVista.exe $work/classic-yardstick.exe $work/vista-yardstick.exe"
# measure EXE: "visible-ms painted-ms kilobytes" for each start, into EXE's file.
for exe in $programs; do : > "$work/$(basename "$exe" .exe).txt"; done
round=0
while [ $round -lt "${ROUNDS:-6}" ]; do
    for exe in $programs; do
        STARTUP_RUNS=5 wine "$build/tests/e2e/windows/driver.exe" startup "$(windows_path "$exe")" \
            "$(windows_path "$work")" | awk '/^startup:/ { print $2, $5, $11 }' \
            >> "$work/$(basename "$exe" .exe).txt"
    done
    round=$((round + 1))
done

# median NAME COLUMN
median() {
    cut -d' ' -f"$2" "$work/$1.txt" | sort -n | awk '{ v[NR] = $1 } END {
        print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
echo "starts each:           $(wc -l < "$work/CertInstall.txt")"
for name in CertInstall CertInstallVista classic-yardstick vista-yardstick; do
    printf '%-22s %s ms to visible, %s ms to painted, peak working set %s KB\n' "$name.exe:" \
        "$(median $name 1)" "$(median $name 2)" "$(median $name 3)"
done
for pair in CertInstall:classic-yardstick CertInstallVista:vista-yardstick; do
    name=${pair%:*} yardstick=${pair#*:}
    awk -v n="$name" -v y="$yardstick" -v cv="$(median $name 1)" -v yv="$(median $yardstick 1)" \
        -v cp="$(median $name 2)" -v yp="$(median $yardstick 2)" \
        -v ck="$(median $name 3)" -v yk="$(median $yardstick 3)" 'BEGIN {
            printf "%-16s / %-17s visible %.2f, painted %.2f, peak working set %.2f\n", n, y, cv / yv, cp / yp, ck / yk }'
done
