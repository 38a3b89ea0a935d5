# Shell functions for private Wine prefixes that look like a Chinese Windows.
# Sourced by the end-to-end cases and by the run script.

export WINEDEBUG=-all
export WINEARCH=win32
# No Mono or Gecko installers on a first start.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes the Windows locale and code page from the host's; LC_ALL wins
# over whatever the caller's shell has set.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset LANGUAGE

# make_template DIR WINDOWS-BUILD: a booted 32-bit prefix with the fonts
# mapped to a CJK font and one virtual desktop, that reports itself as a
# Chinese Windows (the driver's locale scenario) or is not made at all. Made
# once and cloned for every case, since a boot takes seconds and a clone
# takes milliseconds.
make_template() {
    template=$1 windows_build=$2
    [ -f "$template/.complete" ] && return 0
    rm -rf "$template"
    mkdir -p "$(dirname "$template")"
    WINEPREFIX=$template wineboot -i >/dev/null 2>&1
    WINEPREFIX=$template wineserver -w
    # Without these every Chinese character is an empty box. Micro Hei, not
    # Zen Hei: Wine draws Zen Hei's small sizes with wrong glyphs ("域" loses
    # a part). The desktop gives windows their Windows frames under a bare X
    # server.
    {
        replace_ui_faces 'WenQuanYi Micro Hei'
        printf '\n%s\n%s\n' '[Software\\Wine\\Explorer]' '"Desktop"="Default"'
        printf '\n%s\n%s\n' '[Software\\Wine\\Explorer\\Desktops]' '"Default"="800x600"'
    } >> "$template/user.reg"
    # The frame's buttons are glyphs of Marlett, which this Wine does not
    # take from its own font folder: without it the close box reads "r".
    cp /usr/share/wine/fonts/marlett.ttf "$template/drive_c/windows/Fonts/"
    if ! (
        start_xvfb
        trap 'WINEPREFIX=$template wineserver -k 2>/dev/null; kill $XVFB_PID 2>/dev/null' EXIT
        WINEPREFIX=$template wine "$windows_build/tests/e2e/windows/driver.exe" locale none none \
            > "$template/locale.log"
    ); then
        cat "$template/locale.log"
        echo "FAIL: the prefix is not a Chinese Windows (is the zh_CN.UTF-8 locale generated?)"
        return 1
    fi
    touch "$template/.complete"
}

# clone_prefix TEMPLATE DEST VERSION: a private prefix reporting VERSION
# (winxp, win2k, win2003, vista, win7, win10). The system files are shared as
# hard links, which Wine only reads; the registry and the user's folder,
# which it writes, are copied.
clone_prefix() {
    template=$1 dest=$2 version=$3
    rm -rf "$dest"
    mkdir -p "$dest"
    cp -a "$template/dosdevices" "$template"/*.reg "$template/.update-timestamp" "$dest/"
    cp -al "$template/drive_c" "$dest/"
    rm -rf "$dest/drive_c/users"
    cp -a "$template/drive_c/users" "$dest/drive_c/"
    printf '\n[Software\\\\Wine]\n"Version"="%s"\n' "$version" >> "$dest/user.reg"
}

# The faces Windows' own UI asks for (the message font is "MS Shell Dlg"),
# each mapped to one font; as a user.reg section on stdout.
replace_ui_faces() {
    printf '\n%s\n' '[Software\\Wine\\Fonts\\Replacements]'
    for face in 'MS Sans Serif' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif' \
        NSimSun SimSun Tahoma; do
        printf '"%s"="%s"\n' "$face" "$1"
    done
}

# set_screen PREFIX WIDTHxHEIGHT: the size of Wine's virtual desktop, the
# screen Windows programs see (800x600 in the template).
set_screen() {
    printf '\n%s\n"Default"="%s"\n' '[Software\\Wine\\Explorer\\Desktops]' "$2" >> "$1/user.reg"
}

# set_ui_font PREFIX FACE: the UI faces drawn in FACE (WenQuanYi Micro Hei
# in the template). Appended sections of user.reg win over earlier ones.
set_ui_font() {
    replace_ui_faces "$2" >> "$1/user.reg"
}

# set_message_font PREFIX PERCENT: MessageFont, a 92-byte LOGFONTW whose
# first four bytes are lfHeight (little-endian, in 96-DPI pixels: Wine scales
# it to LogPixels), scaled from the prefix's own value; the face stays.
set_message_font() {
    awk -v percent="$2" '
        function nibble(byte, at) { return index("0123456789abcdef", substr(byte, at, 1)) - 1 }
        /^\[/ { metrics = ($0 ~ /^\[Control Panel\\\\Desktop\\\\WindowMetrics\]/) }
        metrics && !hex && /^"MessageFont"=hex:/ { taking = 1; sub(/^"MessageFont"=hex:/, "") }
        taking { line = $0; sub(/\\$/, "", line); gsub(/[ ,]+/, " ", line); hex = hex " " line
                 if ($0 !~ /\\$/) taking = 0 }
        END {
            n = split(hex, b, " ")
            if (n != 92) { print "no 92-byte MessageFont in user.reg" > "/dev/stderr"; exit 1 }
            height = 0
            for (i = 4; i >= 1; i--)
                height = height * 256 + nibble(b[i], 1) * 16 + nibble(b[i], 2)
            if (height >= 2^31) height -= 2^32
            height = int(height * percent / 100 + (height < 0 ? -0.5 : 0.5))
            if (height < 0) height += 2^32
            for (i = 1; i <= 4; i++) { b[i] = sprintf("%02x", height % 256); height = int(height / 256) }
            printf "\n[Control Panel\\\\Desktop\\\\WindowMetrics]\n\"MessageFont\"=hex:"
            for (i = 1; i <= n; i++) printf "%s%s", b[i], (i < n ? "," : "\n")
        }' "$1/user.reg" > "$1/message-font.tmp" && cat "$1/message-font.tmp" >> "$1/user.reg" &&
        rm "$1/message-font.tmp"
}

# windows_path PATH: the same file as a Windows program sees it.
windows_path() {
    printf 'Z:%s' "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr / '\\'
}

# set_high_contrast_black PREFIX: the system colours of Windows' High Contrast
# Black for the window, its text and its buttons, which Wine reads as it
# starts, and no visual styles, as Windows up to 7 has none under it (Wine
# would draw a themed program in its own light colours). The flag that tells
# a program the scheme is high contrast Wine never reports: GuardHooks.dll
# answers it (CERTINSTALL_TEST_HIGH_CONTRAST).
set_high_contrast_black() {
    printf '\n%s\n"ThemeActive"="0"\n' '[Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager]' >> "$1/user.reg"
    printf '\n%s\n' '[Control Panel\\Colors]' >> "$1/user.reg"
    printf '"%s"="%s"\n' Window '0 0 0' WindowText '255 255 255' ButtonFace '0 0 0' ButtonText '255 255 255' \
        ButtonShadow '128 128 128' ButtonHilight '255 255 255' GrayText '63 242 63' Hilight '26 235 255' \
        HilightText '0 0 0' >> "$1/user.reg"
}

# set_text_scale PREFIX PERCENT: "Make text bigger" of Windows 10 1809 and
# later, which keeps its factor in the registry and nowhere Wine reads.
set_text_scale() {
    printf '\n%s\n"TextScaleFactor"=dword:%08x\n' '[Software\\Microsoft\\Accessibility]' "$2" >> "$1/user.reg"
}

# set_dpi PREFIX DPI: the screen's DPI as Windows reports it (LogPixels).
set_dpi() {
    printf '\n[Control Panel\\\\Desktop]\n"LogPixels"=dword:%08x\n' "$2" >> "$1/user.reg"
}

# start_xvfb [DEPTH [SCREEN]]: a private X server with 24-bit colour unless
# told, SCREEN's size or 1024x768 (which holds the 800x600 desktop); sets
# DISPLAY and XVFB_PID.
start_xvfb() {
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${2:-1024x768}x${1:-24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    read -r display < "$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display"
}

# register_standin WINDOWS-BUILD: the stand-in enrollment control in WINEPREFIX.
register_standin() {
    wine regsvr32 /s "$(windows_path "$1/tests/e2e/windows/CEnrollStandIn.dll")"
}

# convert_screenshots DIR: the driver's BMP screenshots as PNG (zlib's fastest), named on stdout.
convert_screenshots() {
    for shot in "$1"/*.bmp; do
        [ -f "$shot" ] || continue
        convert "$shot" -quality 10 "${shot%.bmp}.png" && rm "$shot" && echo "   screenshot: ${shot%.bmp}.png"
    done
}
