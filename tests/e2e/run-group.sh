#!/bin/sh
# End-to-end cases that share a configuration, one after another in one
# prefix with one wineserver and one virtual display: a Wine boot costs
# seconds natively and far more under qemu, a case a fraction of that. The
# driver runs each case inside the prefix and starts it with the user's
# certificate stores as the prefix was made; each case keeps its own folder,
# WORK/NAME, for its screenshots and logs, and gets its own verdict.
# usage: run-group.sh WINDOWS-BUILD WORK GROUP VERSION [SETTING=VALUE...] -- CASE...
# The configuration: VERSION, the Windows version the prefix reports (win2k,
# winxp, win2003, vista, win7, win10), and these settings, each as the
# template has it unless given:
#   STANDIN=1          the stand-in enrollment control registered, once
#   DPI=N              LogPixels, the DPI Windows reports; 96
#   DEPTH=BITS         the X screen's colour depth; 24
#   SCREEN=WxH         Wine's virtual desktop, the screen Windows programs see,
#                      on an X screen of that size; 800x600 on 1024x768
#   MESSAGE_FONT=PCT   the message font's height in percent of the
#                      template's (-12 px at 96 DPI), as a user's text size
#                      setting makes it; 100
#   UI_FONT=FACE       the font Windows' UI faces are drawn in, the message
#                      font's "MS Shell Dlg" among them; WenQuanYi Micro Hei
#   TEXT_SCALE=PCT     Windows 10's text size ("Make text bigger"); none
#   COLOURS=high-contrast-black  that scheme's system colours, no visual styles
#                      and the high-contrast flag on; Wine's own colours
# CASE is NAME:SCENARIO, a case running the driver's SCENARIO, or
# NAME:VARIABLE=VALUE, a variable in that case's environment (the driver's,
# the program's and the stand-in's). CERTINSTALL_EXE names the exe to drive,
# CertInstall.exe unless set; a relative name is in WINDOWS-BUILD. WINDOWS=V
# has Wine report version V from that case on, instead of VERSION.
set -u
windows_build=$1 work=$2 group=$3 version=$4
shift 4
. "$(dirname "$0")/wine-prefix.sh"

standin= dpi=${CASE_DPI:-} depth=${CASE_DEPTH:-} screen= message_font= ui_font= text_scale= colours=
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    case $1 in
    STANDIN=1) standin=1 ;;
    DPI=*) dpi=${1#*=} ;;
    DEPTH=*) depth=${1#*=} ;;
    SCREEN=*) screen=${1#*=} ;;
    MESSAGE_FONT=*) message_font=${1#*=} ;;
    UI_FONT=*) ui_font=${1#*=} ;;
    TEXT_SCALE=*) text_scale=${1#*=} ;;
    COLOURS=high-contrast-black) colours=${1#*=} ;;
    *) echo "run-group.sh: $1: not a setting" >&2; exit 2 ;;
    esac
    shift
done
[ $# -gt 0 ] && shift

group_dir=$work/group-$group
rm -rf "$group_dir"
mkdir -p "$group_dir/cases"
# The cases in order, and each one's variables in a file of its own.
: > "$group_dir/cases/order"
for entry in "$@"; do
    name=${entry%%:*} what=${entry#*:}
    case $entry in
    *:*=*) printf '%s\n' "$what" >> "$group_dir/cases/$name.env" ;;
    ?*:?*) printf '%s %s\n' "$name" "$what" >> "$group_dir/cases/order" ;;
    *) echo "run-group.sh: $entry: not NAME:SCENARIO or NAME:VARIABLE=VALUE" >&2; exit 2 ;;
    esac
done
for variables in "$group_dir"/cases/*.env; do
    [ -f "$variables" ] || continue
    name=$(basename "$variables" .env)
    grep -q "^$name " "$group_dir/cases/order" ||
        { echo "run-group.sh: $name: variables for a case group $group does not have" >&2; exit 2; }
done

export WINEPREFIX=$group_dir/prefix
clone_prefix "$work/template" "$WINEPREFIX" "$version"
[ -z "$dpi" ] || set_dpi "$WINEPREFIX" "$dpi"
[ -z "$screen" ] || set_screen "$WINEPREFIX" "$screen"
[ -z "$ui_font" ] || set_ui_font "$WINEPREFIX" "$ui_font"
[ -z "$message_font" ] || set_message_font "$WINEPREFIX" "$message_font" || exit 1
[ -z "$text_scale" ] || set_text_scale "$WINEPREFIX" "$text_scale"
if [ -n "$colours" ]; then
    set_high_contrast_black "$WINEPREFIX"
    export CERTINSTALL_TEST_HIGH_CONTRAST=1
fi
start_xvfb "${depth:-24}" "$screen"
# The wineserver stays until told: an interrupted group must still end it.
trap 'wineserver -k 2>/dev/null; kill $XVFB_PID 2>/dev/null' EXIT
trap 'exit 1' INT TERM HUP

# boot: a wineserver that stays between the cases, so that the prefix's
# services and desktop stay up too, and the control registered once. The
# first Wine process of a new wineserver has ntdll run "wineboot.exe --init"
# (which starts services.exe and the winedevice drivers) and waits for it
# unbounded; under qemu that start has been seen to hang for good. So Wine
# is booted here, on purpose, within 90 s, and once more from scratch if the
# first boot does not finish.
boot() {
    for try in 1 2; do
        wineserver -p
        timeout -k 5 90 wineboot --init >/dev/null 2>&1 && break
        echo "Wine's boot did not finish in 90 s (try $try): ending its wineserver"
        wineserver -k
        [ $try -eq 2 ] && { echo "FAIL: Wine did not boot"; exit 1; }
    done
    [ -z "$standin" ] || register_standin "$windows_build" || { echo "FAIL: regsvr32 of the stand-in"; exit 1; }
}
boot
echo "group $group: Windows reported as $version${standin:+, stand-in control registered}${dpi:+, $dpi DPI}${depth:+, $depth-bit colour}${screen:+, screen $screen}${message_font:+, message font at $message_font %}${ui_font:+, UI font $ui_font}${text_scale:+, text scale $text_scale %}${colours:+, colours $colours}"

failed=
while read -r name scenario; do
    case_dir=$work/$name
    rm -rf "$case_dir"
    mkdir -p "$case_dir"
    echo "case $name: scenario $scenario"
    started=$(date +%s%N)
    (
        if [ -f "$group_dir/cases/$name.env" ]; then
            while IFS= read -r variable; do export "$variable"; done < "$group_dir/cases/$name.env"
        fi
        [ -z "${WINDOWS:-}" ] || wine reg add 'HKCU\Software\Wine' /v Version /d "$WINDOWS" /f >/dev/null 2>&1
        exe=${CERTINSTALL_EXE:-CertInstall.exe}
        case $exe in /*) ;; *) exe=$windows_build/$exe ;; esac
        [ -z "$standin" ] || export CENROLL_STANDIN_LOG="$(windows_path "$case_dir")\\standin.log"
        # What the program looked up that its Windows lacks, or that the
        # table of run-time names lacks (GuardHooks.dll).
        export CERTINSTALL_TEST_LOOKUPS="$(windows_path "$case_dir")\\lookups.txt"
        # Wine's manifest parser warns about every element and namespace it
        # does not take; the program's manifest must give it nothing to say.
        WINEDEBUG=-all,err+actctx,warn+actctx timeout -k 5 120 wine "$windows_build/tests/e2e/windows/driver.exe" \
            "$scenario" "$(windows_path "$exe")" "$(windows_path "$case_dir")" 2>"$case_dir/wine.log"
        status=$?
        if [ $status -eq 124 ]; then
            echo "FAIL: the driver did not finish in 120 s"
            # What it left running would meet the next case: Wine boots again.
            wineserver -k
            boot
        fi
        if grep -q ':actctx:' "$case_dir/wine.log"; then
            echo "FAIL: Wine's manifest parser complained:"
            grep ':actctx:' "$case_dir/wine.log" | sed 's/^/   /'
            status=1
        fi
        grep -v ':actctx:' "$case_dir/wine.log" >&2
        if [ -f "$case_dir/lookups.txt" ]; then
            sort -u "$case_dir/lookups.txt" | sed 's/^/   lookup: /'
            if grep -q '^unlisted' "$case_dir/lookups.txt"; then
                echo "FAIL: the program looked up a name the table of tests/e2e/windows/guard/WindowsFunctions.cpp lacks"
                status=1
            fi
        fi
        [ -f "$case_dir/standin.log" ] && sed 's/^/   stand-in: /' "$case_dir/standin.log"
        convert_screenshots "$case_dir"
        exit $status
    ) < /dev/null
    status=$?
    took=$((($(date +%s%N) - started) / 100000000))
    took="in $((took / 10)).$((took % 10)) s"
    if [ $status -eq 0 ]; then
        echo "case $name: passed $took"
    else
        echo "case $name: FAILED $took"
        failed="$failed $name"
    fi
done < "$group_dir/cases/order"

if [ -n "$failed" ]; then
    echo "group $group: FAILED:$failed"
    exit 1
fi
echo "group $group: every case passed"
