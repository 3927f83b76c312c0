#!/bin/sh
# Installs what is missing, builds everything with warnings as errors, and runs
# every test: unit tests, the audio layer on real MP3s, and the real demo
# under Xvfb.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEWASH_WERROR=ON
cmake --build build -j "$(nproc)"
cd build
ctest --output-on-failure -j "$(nproc)"
