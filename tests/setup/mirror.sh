#!/bin/sh
# The mirror setup.sh takes for bookworm-backports: the one the machine's
# apt sources already use for bookworm, in either form apt reads, and none
# where no source names bookworm. On sample folders, never the machine's.
# usage: mirror.sh WORK-FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/apt-mirror.sh"
work=$1/mirror
rm -rf "$work"
failures=0
# expect NAME WANTED: debian_mirror on the sample folder NAME prints WANTED.
expect() {
    seen=$(debian_mirror "$work/$1" bookworm)
    if [ "$seen" = "$2" ]; then echo "ok: $1: \"$2\""; else echo "FAIL: $1: wanted \"$2\", saw \"$seen\""; failures=$((failures + 1)); fi
}
sample() {
    mkdir -p "$work/$1/sources.list.d"
    cat > "$work/$1/$2"
}

# This machine's kind: deb822, security first in another stanza.
sample deb822 sources.list.d/debian.sources <<'S'
Types: deb
# http://snapshot.debian.org/archive/debian-security/20250520T000000Z
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main

Types: deb-src deb
URIs: http://mirror.example.cn/debian/
Suites: bookworm bookworm-updates
Components: main
S
expect deb822 http://mirror.example.cn/debian
# A disabled stanza and another release are passed over.
sample deb822-disabled sources.list.d/a.sources <<'S'
Types: deb
URIs: http://old.example.org/debian
Suites: bookworm
Enabled: no

Types: deb
URIs: http://trixie.example.org/debian
Suites: trixie
S
sample deb822-disabled sources.list.d/b.sources <<'S'
Types: deb
URIs: http://proxy.example.org:3142/debian
Suites: bookworm
S
expect deb822-disabled http://proxy.example.org:3142/debian
# The one-line form, with options, after a deb-src line and a comment.
sample one-line sources.list <<'S'
# deb http://commented.example.org/debian bookworm main
deb-src http://source.example.org/debian bookworm main
deb http://security.debian.org/debian-security bookworm-security main
deb [arch=amd64,i386 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] https://mirror.example.de/debian bookworm main contrib
S
expect one-line https://mirror.example.de/debian
# Only in sources.list.d, the one-line form; files of other names are not read.
sample list-d sources.list.d/mirror.list <<'S'
deb http://list-d.example.org/debian bookworm main
S
sample list-d sources.list.d/old.list.disabled <<'S'
deb http://disabled.example.org/debian bookworm main
S
expect list-d http://list-d.example.org/debian
# Several sources name it: the first in apt's order, sources.list first,
# its trailing slash dropped; one address only, or setup.sh would write two.
sample several sources.list <<'S'
deb http://first.example.org/debian/ bookworm main
S
sample several sources.list.d/second.list <<'S'
deb http://second.example.org/debian bookworm main
S
sample several sources.list.d/third.sources <<'S'
Types: deb
URIs: http://third.example.org/debian
Suites: bookworm
S
expect several http://first.example.org/debian
# Nothing for bookworm: nothing, and setup.sh says what it read.
sample none sources.list <<'S'
deb http://security.debian.org/debian-security bookworm-security main
S
expect none ""
said=$(sh "$here/../../scripts/setup.sh" --mirror-only "$work/none" 2>&1)
status=$?
[ $status -ne 0 ] && printf '%s' "$said" | grep -q -F "$work/none/sources.list" &&
    printf '%s' "$said" | grep -q -F "$work/none/sources.list.d/*.sources"
if [ $? -eq 0 ]; then echo "ok: setup.sh names what it read: $said"; else echo "FAIL: setup.sh without a mirror: exit $status, \"$said\""; failures=$((failures + 1)); fi
said=$(sh "$here/../../scripts/setup.sh" --mirror-only "$work/deb822" 2>&1)
[ "$said" = "deb http://mirror.example.cn/debian bookworm-backports main" ]
if [ $? -eq 0 ]; then echo "ok: setup.sh writes: $said"; else echo "FAIL: setup.sh's line: \"$said\""; failures=$((failures + 1)); fi

[ $failures -eq 0 ] && echo "mirror: passed" || echo "mirror: $failures failed"
[ $failures -eq 0 ]
