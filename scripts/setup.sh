#!/bin/sh
# Installs what building and testing need on Debian 12, and only what is
# missing, so a second run costs a second. Run as root (or with sudo).
# "setup.sh --mirror-only [ETC-APT]" only prints the backports line it would
# write, from the apt sources in ETC-APT (/etc/apt unless given).
set -eu
. "$(dirname "$0")/apt-mirror.sh"

# backports_line ETC-APT: bookworm-backports at the mirror the machine's apt
# sources already use for bookworm, or a failure naming what was read.
backports_line() {
    mirror=$(debian_mirror "$1" bookworm)
    if [ -z "$mirror" ]; then
        echo "setup: no apt source for bookworm in $1/sources.list, $1/sources.list.d/*.list or $1/sources.list.d/*.sources; add the mirror this machine uses there" >&2
        return 1
    fi
    echo "deb $mirror bookworm-backports main"
}
if [ "${1:-}" = --mirror-only ]; then
    backports_line "${2:-/etc/apt}"
    exit
fi

packages="cmake make g++ libgtest-dev libssl-dev openssl python3
g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
wine wine32:i386 fonts-wine xvfb imagemagick icoutils locales fonts-wqy-microhei fonts-noto-cjk osslsigncode
chromium w3m tidy node-acorn"

as_root=""
[ "$(id -u)" -eq 0 ] || as_root=sudo

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    # The 32-bit Wine comes from the i386 architecture.
    $as_root dpkg --add-architecture i386
    apt_install $missing
fi

# Wine takes its locale from the host: without a generated zh_CN.UTF-8 it
# falls back to US English, whatever LANG says.
if ! locale -a 2>/dev/null | grep -q -i -x 'zh_CN.utf-\{0,1\}8'; then
    echo "generating the zh_CN.UTF-8 locale"
    $as_root localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

# Some virtual machines run no 32-bit code at all (the kernel answers "Exec
# format error"). There the 32-bit Wine runs in qemu's user-mode emulation,
# which binfmt_misc starts for every i386 program. It must be qemu 8.1 or
# later: older ones ignore the address hint of MAP_FIXED_NOREPLACE, so Wine's
# reservation of the upper address space falls apart into a hundred thousand
# mmap calls and every Wine process takes a minute to start.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    if ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null)" ge 1:8.1; then
        echo "installing qemu-user-static from bookworm-backports"
        # The machine's own mirror, which may be the only one it can reach.
        line=$(backports_line /etc/apt)
        echo "$line" | $as_root tee /etc/apt/sources.list.d/bookworm-backports.list >/dev/null
        apt_install -t bookworm-backports qemu-user-static
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    [ -f $binfmt/register ] || $as_root mount -t binfmt_misc binfmt_misc $binfmt
    # F opens the emulator now, so a registration made before an upgrade
    # would go on starting the old one.
    [ -f $binfmt/qemu-i386 ] && echo -1 | $as_root tee $binfmt/qemu-i386 >/dev/null
    echo "running 32-bit programs through qemu-i386"
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:FOCP' |
        $as_root tee $binfmt/register >/dev/null
    if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
        echo "setup: this machine cannot run 32-bit programs, not even through qemu-i386" >&2
        exit 1
    fi
fi
