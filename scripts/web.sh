#!/bin/sh
# Builds the demo's web page into build-web/ (index.html, tidewash.js,
# tidewash.wasm and Quietfall.MP3) and serves it at http://127.0.0.1:PORT/
# (8000 by default) until Ctrl-C. Installs the Debian packages that are
# missing first. The packer and the soundtrack come from a native tree of
# their own, build-webhost/.
#   scripts/web.sh [PORT]
set -eu
port=${1:-8000}
case $port in
  ''|*[!0-9]*) echo "usage: scripts/web.sh [PORT]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-webhost -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEWASH_TESTS=OFF
cmake --build build-webhost -j "$(nproc)" --target tidewash_pack soundtrack
web/build.sh build-webhost/tools/pack/tidewash_pack build-webhost/Quietfall.MP3 build-web build-webhost/web
echo "Open http://127.0.0.1:$port/ in a browser; Ctrl-C stops the server."
exec python3 -m http.server --bind 127.0.0.1 --directory build-web "$port"
