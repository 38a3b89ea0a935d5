#!/bin/sh
# One end-to-end case: CertInstall.exe in a private prefix reporting VERSION,
# driven through SCENARIO by the driver program inside the same prefix.
# usage: run-case.sh WINDOWS-BUILD WORK-FOLDER NAME SCENARIO VERSION [standin]
# CERTINSTALL_EXE names another exe to drive than the build's own; CASE_DPI
# and CASE_DEPTH set the screen's DPI and colour depth (96 and 24 unless set).
set -u
windows_build=$1 work=$2 name=$3 scenario=$4 version=$5 standin=${6:-}
exe=${CERTINSTALL_EXE:-$windows_build/CertInstall.exe}
. "$(dirname "$0")/wine-prefix.sh"

case_dir=$work/$name
rm -rf "$case_dir"
mkdir -p "$case_dir"
export WINEPREFIX=$case_dir/prefix
clone_prefix "$work/template" "$WINEPREFIX" "$version"
[ -z "${CASE_DPI:-}" ] || set_dpi "$WINEPREFIX" "$CASE_DPI"
start_xvfb "${CASE_DEPTH:-24}"
trap 'wineserver -k 2>/dev/null; kill $XVFB_PID 2>/dev/null' EXIT

if [ "$standin" = standin ]; then
    register_standin "$windows_build" || { echo "FAIL: regsvr32 of the stand-in"; exit 1; }
    export CENROLL_STANDIN_LOG="$(windows_path "$case_dir")\\standin.log"
fi

echo "case $name: scenario $scenario, Windows reported as $version${standin:+, stand-in control registered}"
# Wine's manifest parser warns about every element and namespace it does not
# take; the program's manifest must give it nothing to say.
WINEDEBUG=-all,err+actctx,warn+actctx timeout 120 wine "$windows_build/tests/e2e/windows/driver.exe" \
    "$scenario" "$(windows_path "$exe")" "$(windows_path "$case_dir")" \
    2>"$case_dir/wine.log"
status=$?
[ $status -eq 124 ] && echo "FAIL: the driver did not finish in 120 s"
if grep -q ':actctx:' "$case_dir/wine.log"; then
    echo "FAIL: Wine's manifest parser complained:"
    grep ':actctx:' "$case_dir/wine.log" | sed 's/^/   /'
    status=1
fi
grep -v ':actctx:' "$case_dir/wine.log" >&2
[ -f "$case_dir/standin.log" ] && sed 's/^/   stand-in: /' "$case_dir/standin.log"

convert_screenshots "$case_dir"
exit $status
