#!/bin/sh
# Two builds of one commit give one exe: the source copied to another folder
# and built there gives CertInstall.exe byte for byte, and the same .sha256.
# usage: reproducible.sh WORK-FOLDER WINDOWS-BUILD
set -u
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
work=$1/reproducible windows_build=$2
rm -rf "$work"
mkdir -p "$work/source"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/source" -xf -
cmake --preset windows -S "$work/source" >/dev/null &&
    cmake --build "$work/source/build/windows" --target CertInstall -j 2 >/dev/null ||
    { echo "FAIL: the second build"; exit 1; }

first=$windows_build/CertInstall.exe second=$work/source/build/windows/CertInstall.exe
echo "   first:  $(cat "$first.sha256")  ($first)"
echo "   second: $(cat "$second.sha256")  ($second)"
status=0
if cmp "$first" "$second"; then
    echo "ok: the two exes are byte-identical"
else
    echo "FAIL: the two exes differ"
    status=1
fi
if cmp -s "$first.sha256" "$second.sha256" && (cd "$windows_build" && sha256sum --quiet -c CertInstall.exe.sha256); then
    echo "ok: CertInstall.exe.sha256 is the same and sha256sum -c accepts it"
else
    echo "FAIL: CertInstall.exe.sha256"
    status=1
fi
exit $status
