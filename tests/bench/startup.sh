#!/bin/sh
# Start-up benchmark, not a test: the time from process start to a visible
# window and to a fully painted one, and the peak working set, of both
# editions and of a yardstick for each, built from tests/bench/yardstick.cpp:
# the least program that shows the same window (the same controls, texts and
# fonts, the banner decoded through OleLoadPicture) and does nothing else;
# the Vista edition's with its manifest and message font. All four run under
# Wine on this machine, on one prefix reporting Windows XP, where both
# editions show their window.
#
# RUNS runs (5 unless set), each of ROUNDS rounds (2 unless set) in which the
# four take turns at STARTS starts each (3 unless set; the driver's uncounted
# warm-up start comes on top), so that a slow spell of the machine falls on
# all. Prints the medians over every start, then each edition's ratios to
# its yardstick: for each run the ratio of the run's medians, and the median
# of those ratios over the runs.
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

names="CertInstall CertInstallVista classic-yardstick vista-yardstick"
# exe NAME: where the program is.
exe() {
    case $1 in
        CertInstall*) echo "$build/$1.exe" ;;
        *) echo "$work/$1.exe" ;;
    esac
}
# Each start is a line "visible-ms painted-ms kilobytes" in NAME.RUN.txt.
rm -f "$work"/*.txt
run=1
while [ $run -le "${RUNS:-5}" ]; do
    round=0
    while [ $round -lt "${ROUNDS:-2}" ]; do
        for name in $names; do
            # A start that fails ends the benchmark, with what the driver said.
            if ! out=$(STARTUP_RUNS=${STARTS:-3} wine "$build/tests/e2e/windows/driver.exe" startup \
                "$(windows_path "$(exe $name)")" "$(windows_path "$work")"); then
                echo "$out" >&2
                exit 1
            fi
            echo "$out" | awk '/^startup:/ { print $2, $5, $11 }' >> "$work/$name.$run.txt"
        done
        round=$((round + 1))
    done
    run=$((run + 1))
done

# median COLUMN FILE...: the median of that column over the files' lines.
median() {
    column=$1
    shift
    cat "$@" | cut -d' ' -f"$column" | sort -n | awk '{ v[NR] = $1 } END {
        print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
echo "runs: ${RUNS:-5} of ${ROUNDS:-2} rounds of ${STARTS:-3} starts;" \
    "starts each: $(cat "$work"/CertInstall.*.txt | wc -l)"
for name in $names; do
    printf '%-22s %s ms to visible, %s ms to painted, peak working set %s KB\n' "$name.exe:" \
        "$(median 1 "$work/$name".*.txt)" "$(median 2 "$work/$name".*.txt)" "$(median 3 "$work/$name".*.txt)"
done
for pair in "CertInstall:classic-yardstick:classic yardstick" \
    "CertInstallVista:vista-yardstick:Vista yardstick"; do
    name=${pair%%:*} rest=${pair#*:}
    yardstick=${rest%%:*} label=${rest#*:}
    for measure in 2:painted 1:visible; do
        # One ratio a run, of the run's medians.
        ratios=$(for f in "$work/$name".*.txt; do
            run=${f%.txt} run=${run##*.}
            echo "$(median "${measure%:*}" "$f") $(median "${measure%:*}" "$work/$yardstick.$run.txt")"
        done | awk '{ printf "%.2f\n", $1 / $2 }' | sort -n)
        echo "$ratios" | awk -v n="$name" -v l="$label" -v m="${measure#*:}" '{ v[NR] = $1 } END {
            printf "%s / %s: %s %.2f (median of %d runs:", n, l, m,
                NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, NR
            for (i = 1; i <= NR; i++) printf " %s", v[i]
            print ")" }'
    done
    awk -v n="$name" -v l="$label" -v e="$(median 3 "$work/$name".*.txt)" \
        -v y="$(median 3 "$work/$yardstick".*.txt)" \
        'BEGIN { printf "%s / %s: peak working set %.2f\n", n, l, e / y }'
done
