#!/bin/sh
# Installs what is missing, builds the demo and its soundtrack, and plays it
# full screen. Space writes the music position, Escape quits.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tidewash soundtrack
cd build
exec ./live/tidewash
