#!/bin/sh
# Sets up what is missing, builds both presets and runs every test: the unit
# tests on the host and the end-to-end cases of the real exe under Wine.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake --preset windows
cmake --build --preset windows -j 2
cmake --preset host
cmake --build --preset host -j 2
ctest --preset host
