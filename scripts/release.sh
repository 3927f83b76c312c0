#!/bin/sh
# Makes the release archives, the way demos are published:
#   tidewash-VERSION-linux-x86_64.tar.gz  the program and its soundtrack, to
#                                         play with ./tidewash from its folder
#   tidewash-VERSION-web.zip              the web page (index.html,
#                                         tidewash.js, tidewash.wasm and
#                                         Quietfall.MP3)
#   tidewash-VERSION-windows-x64.zip      tidewash.exe and its soundtrack,
#                                         when an exe is given
# each with README.txt, tidewash.nfo, FILE_ID.DIZ, a still (tidewash.png) and
# SHA256SUMS, in one folder named as the archive.
#
#   scripts/release.sh
#       builds tidewash.exe (scripts/windows.sh), the native tree build/ and
#       the web page, and writes the archives into build/release/ (through
#       the build's target "release")
#   scripts/release.sh VERSION DEMO CAPTURE SOUNDTRACK SITE OUT [EXE]
#       packs parts already built: the demo program, tidewash-capture (it
#       draws the still), the soundtrack, the web page's folder (web/build.sh),
#       the folder to write the archives into, and tidewash.exe (with the
#       licence of the libraries linked into it, LGPL-2.1.txt, beside it)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)

if [ $# -eq 0 ]; then
  cd "$root"
  scripts/install-deps.sh
  scripts/windows.sh
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEWASH_WINDOWS_EXE="$root/build-windows/tidewash.exe"
  exec cmake --build build -j "$(nproc)" --target release
fi
if [ $# -ne 6 ] && [ $# -ne 7 ]; then
  echo "usage: scripts/release.sh [VERSION DEMO CAPTURE SOUNDTRACK SITE OUT [EXE]]" >&2
  exit 2
fi
version=$1
demo=$(realpath "$2")
capture=$(realpath "$3")
soundtrack=$(realpath "$4")
site=$(realpath "$5")
mkdir -p "$6"
out=$(realpath "$6")
texts=$root/packaging/release
# The title lettering, whose light background fills the picture.
still_ms=11500

stage=$(mktemp -d /tmp/tidewash-release-XXXXXX)
trap 'rm -rf "$stage"' EXIT
"$capture" --out "$stage/still" --stills "$still_ms" --fps 10 --soundtrack "$soundtrack" --quiet

# The notes, the still and the checksums of everything in folder $1.
add_notes() {
  for text in README.txt tidewash.nfo FILE_ID.DIZ; do
    sed "s/@VERSION@/$version/g" "$texts/$text" > "$1/$text"
  done
  cp "$stage/still/$still_ms.png" "$1/tidewash.png"
  (cd "$1" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum > SHA256SUMS)
}

# The archives hold files with fixed owners, modes and times, in name order,
# so the same parts give the same archive.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}

linux=tidewash-$version-linux-x86_64
mkdir "$stage/$linux"
strip --strip-unneeded --remove-section=.comment -o "$stage/$linux/tidewash" "$demo"
install -m 644 "$soundtrack" "$stage/$linux/Quietfall.MP3"
add_notes "$stage/$linux"
tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$epoch" --mode=go-w -c "$linux" |
  gzip -9n > "$out/$linux.tar.gz"

# The zip holds files with fixed times, in name order, without their owners.
pack_zip() {  # folder
  find "$stage/$1" -exec touch -d "@$epoch" {} +
  rm -f "$out/$1.zip"
  (cd "$stage" && find "$1" | LC_ALL=C sort | zip -q -X -@ "$out/$1.zip")
}

web=tidewash-$version-web
mkdir "$stage/$web"
for file in index.html tidewash.js tidewash.wasm Quietfall.MP3; do
  install -m 644 "$site/$file" "$stage/$web/$file"
done
add_notes "$stage/$web"
pack_zip "$web"

if [ $# -eq 7 ]; then
  exe=$(realpath "$7")
  windows=tidewash-$version-windows-x64
  mkdir "$stage/$windows"
  x86_64-w64-mingw32-strip --strip-unneeded -o "$stage/$windows/tidewash.exe" "$exe"
  install -m 644 "$soundtrack" "$stage/$windows/Quietfall.MP3"
  install -m 644 "$(dirname "$exe")/LGPL-2.1.txt" "$stage/$windows/LGPL-2.1.txt"
  add_notes "$stage/$windows"
  pack_zip "$windows"
  echo "Wrote $out/$windows.zip"
fi
echo "Wrote $out/$linux.tar.gz and $out/$web.zip"
