#!/bin/sh
# Installs what building and testing need on Debian 12, and only what is
# missing, so a second run costs a second. Run as root (or with sudo).
set -eu

packages="cmake make g++ libgtest-dev libssl-dev openssl python3
g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
wine wine32:i386 fonts-wine xvfb imagemagick icoutils locales fonts-wqy-microhei osslsigncode"

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
    $as_root apt-get update -q
    DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -q --no-install-recommends $missing
fi

# Wine takes its locale from the host: without a generated zh_CN.UTF-8 it
# falls back to US English, whatever LANG says.
if ! locale -a 2>/dev/null | grep -q -i -x 'zh_CN.utf-\{0,1\}8'; then
    echo "generating the zh_CN.UTF-8 locale"
    $as_root localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

# The 32-bit Wine needs the kernel to run i386 programs; some virtual
# machines refuse them ("Exec format error"), and nothing here can help that.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "setup: this machine cannot run 32-bit programs, so the 32-bit Wine cannot start" >&2
    exit 1
fi
