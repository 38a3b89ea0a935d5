#!/bin/sh
# setup.sh's apt_install under set -e, with a stand-in apt-get on PATH (never apt's own) whose update fails
# FAILS times with apt's Err: line and whose install exits INSTALL. usage: apt-install.sh WORK-FOLDER
set -u
. "$(dirname "$0")/../../scripts/apt-mirror.sh"
bin=$1/apt-install as_root= failures=0 && mkdir -p "$bin" && export bin fails install PATH="$bin:$PATH" SETUP_UPDATE_PAUSE=0
printf '#!/bin/sh\necho $1 >> "$bin/calls"; [ $1 = install ] && exit $install\n[ $(grep -c update "$bin/calls") -gt $fails ] && exit 0\necho "Err:6 http://deb.debian.org/debian-security bookworm-security/main i386 Packages"; exit 100\n' > "$bin/apt-get" && chmod +x "$bin/apt-get"
# FAILS INSTALL: apt-get's calls, the exit status, and how many lines name the index and say to run again later.
for case in "1 0: update update install, exit 0, 0" "9 0: update update update install, exit 0, 0" "9 100: update update update install install, exit 100, 1"; do
    set -- $case && fails=$1 install=${2%:} && rm -f "$bin/calls" && said=$(set -e; apt_install pkg 2>&1); status=$?
    seen="$fails $install: $(echo $(cat "$bin/calls")), exit $status, $(echo "$said" | grep -c 'mirror failed: .*bookworm-security/main i386 Packages; run the same command again later')"
    if [ "$seen" = "$case" ]; then echo "ok: $seen"; else echo "FAIL: wanted \"$case\", saw \"$seen\""; failures=$((failures + 1)); fi
done
exit $failures
