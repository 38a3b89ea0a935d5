#!/bin/sh
# The booted prefix every case clones; made once per build folder.
# usage: make-template.sh WORK-FOLDER WINDOWS-BUILD
set -eu
. "$(dirname "$0")/wine-prefix.sh"
make_template "$1/template" "$2"
