#!/bin/sh
# Installs what is missing, builds everything with warnings as errors, and runs
# every test: unit tests, the audio layer on real MP3s, the real demo under
# Xvfb, and the web page (built with emscripten) in headless chromium. Then the robustness checks, in a tree of their own built with
# clang: a minute of fuzzing the audio layer, the inputs it ever crashed on,
# the whole schedule under AddressSanitizer and UndefinedBehaviorSanitizer
# with an OpenGL error check after every frame, and the demo built above
# under valgrind.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Every build tree below (and the web page's, which a test builds) compiles
# through ccache, whose cache lives outside the clone (~/.cache/ccache): a
# fresh clone on a machine that has built before compiles only what changed.
# Paths are taken relative to the clone, so clones in other folders share it.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-5G}
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEWASH_WERROR=ON \
  -DTIDEWASH_WINDOWS_EXE="$PWD/build-windows/tidewash.exe"
cmake --build build -j "$(nproc)"
# tidewash.exe, tested under Wine: its libraries are built once per machine.
TIDEWASH_HOST_TOOLS=build scripts/windows.sh
# One test more than there are cores: the whole-show plays run in real time
# at a lower priority and leave most of their time to the others.
cd build
ctest --output-on-failure -j "$(( $(nproc) + 1 ))"
cd ..
CC=clang CXX=clang++ cmake -S . -B build-checks -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEWASH_TESTS=OFF \
  -DTIDEWASH_CHECKS=ON -DTIDEWASH_MEMCHECK_DEMO="$PWD/build/live/tidewash"
cmake --build build-checks -j "$(nproc)" --target checks
cd build-checks
ctest --output-on-failure -j "$(nproc)"
