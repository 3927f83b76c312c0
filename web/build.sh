#!/bin/sh
# Builds the web page: web/build.sh PACKER SOUNDTRACK SITE [TREE]
#   PACKER      the native build's tidewash_pack (it packs the images and mesh)
#   SOUNDTRACK  the native build's Quietfall.MP3
#   SITE        the folder to fill: index.html, tidewash.js, tidewash.wasm and
#               Quietfall.MP3, ready for any static web host
#   TREE        emscripten's build tree (default: SITE.tree)
# Needs Debian's emscripten and node-acorn (scripts/install-deps.sh).
set -eu
if [ $# -lt 3 ] || [ $# -gt 4 ]; then
  echo "usage: web/build.sh PACKER SOUNDTRACK SITE [TREE]" >&2
  exit 2
fi
packer=$(realpath "$1")
soundtrack=$(realpath "$2")
site=$3
tree=${4:-$site.tree}
web=$(cd "$(dirname "$0")" && pwd)

# emscripten's JavaScript optimizer loads acorn from Debian's node modules.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$web" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DTIDEWASH_PACK="$packer" >/dev/null
cmake --build "$tree" -j 2

mkdir -p "$site"
cp "$web/index.html" "$tree/tidewash.js" "$tree/tidewash.wasm" "$site/"
cp "$soundtrack" "$site/Quietfall.MP3"
