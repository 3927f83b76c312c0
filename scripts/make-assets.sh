#!/bin/sh
# Rebuilds the asset makers and makes every asset file in assets/ again, then
# the contact sheet docs/assets.png. The makers are deterministic, so running
# this on unchanged makers leaves the files unchanged.
#
#   scripts/make-assets.sh [build directory]   (default: build-assets)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-assets"}
makers="MakeDot MakeNebula MakeSheet MakeFont MakePicture MakeCircuit MakeLogo MakeContactSheet MakeIcon"

cmake -S "$root" -B "$build" >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $makers

bin="$build/tools/assetmakers"
"$bin/MakeDot" "$root/assets/dot.png"
"$bin/MakeNebula" "$root/assets/nebula.png"
"$bin/MakeSheet" "$root/assets/sheet.png"
"$bin/MakeFont" "$root/assets/font.png"
"$bin/MakePicture" "$root/assets/picture.png"
"$bin/MakeCircuit" "$root/assets/circuit.png"
"$bin/MakeLogo" "$root/assets/logo.obj"
"$bin/MakeIcon" "$root/assets/logo.obj" "$root/assets/icon.png"
mkdir -p "$root/docs"
"$bin/MakeContactSheet" "$root/assets" "$root/docs/assets.png"
echo "assets and docs/assets.png are up to date"
