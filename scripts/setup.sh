#!/bin/sh
# Installs what building and testing need on Debian 12, and only what is
# missing, so a second run costs a second. Run as root (or with sudo).
set -eu

packages="cmake make g++ libgtest-dev libssl-dev openssl
g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
wine wine32:i386 xvfb imagemagick icoutils fonts-wqy-zenhei"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

as_root=""
[ "$(id -u)" -eq 0 ] || as_root=sudo
echo "installing:$missing"
# The 32-bit Wine comes from the i386 architecture.
$as_root dpkg --add-architecture i386
$as_root apt-get update -q
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -q --no-install-recommends $missing
