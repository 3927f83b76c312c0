#!/bin/sh
# Builds tidewash.exe, the demo for 64-bit Windows, cross-compiled with
# mingw-w64, into build-windows/:
#   scripts/windows.sh          installs what is missing, builds SDL 1.2 and
#                               libmpg123 from Debian's sources once (into a
#                               cache outside the clone, reused while their
#                               versions hold), then the exe
#   scripts/windows.sh --play   the same, then plays the exe under Wine from
#                               the build folder (with the soundtrack beside it)
#   scripts/windows.sh --help
# The exe is linked statically (SDL, libmpg123, the C++ runtime), so it needs
# only Windows' own DLLs. TIDEWASH_WINDOWS_CACHE names another cache folder;
# TIDEWASH_HOST_TOOLS a native build tree whose asset packer and soundtrack
# (targets tidewash_pack and soundtrack, built) serve, instead of one of its own.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  sed -n '2,14s/^# \{0,1\}//p' "$0"
}
play=no
for arg in "$@"; do
  case $arg in
    --play) play=yes ;;
    --help) usage; exit 0 ;;
    *) echo "windows.sh: unknown argument '$arg'" >&2; usage >&2; exit 2 ;;
  esac
done

host=x86_64-w64-mingw32
cache_root=${TIDEWASH_WINDOWS_CACHE:-/var/cache/tidewash-windows}
# Raised when the way the libraries are built changes, so that a warm cache
# is built again.
recipe=1

run_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The cross compilers (the posix threads model, for std::thread), Wine, and
# what unpacks and builds Debian's source packages.
packages="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 dpkg-dev
  cmake make pkg-config zip unzip xvfb xauth xdotool openbox imagemagick"
missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  run_as_root apt-get update -qq
  run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi

# The libraries' versions as the archive has them, which key the cache.
version_of() {
  apt-cache policy "$1" | sed -n 's/^ *Candidate: //p'
}
sdl_version=$(version_of libsdl1.2-dev)
mpg123_version=$(version_of libmpg123-dev)
gcc_version=$($host-g++-posix -dumpfullversion)
if [ -z "$sdl_version" ] || [ -z "$mpg123_version" ] || [ "$sdl_version" = "(none)" ]; then
  run_as_root apt-get update -qq
  sdl_version=$(version_of libsdl1.2-dev)
  mpg123_version=$(version_of libmpg123-dev)
fi
key=sdl-$sdl_version.mpg123-$mpg123_version.gcc-$gcc_version.r$recipe
prefix=$cache_root/$key

# Unpacks source package $2 downloaded into folder $1 (its .dsc, upstream
# tarball and Debian tarball) into folder $3, with Debian's patches applied.
unpack() {
  dsc=$(ls "$1/$2"_*.dsc)
  orig=$(ls "$1/$2"_*.orig.tar.*z* | grep -v '\.asc$')
  debian=$(ls "$1/$2"_*.debian.tar.*)
  [ -f "$dsc" ] && [ -f "$orig" ] && [ -f "$debian" ] ||
    { echo "windows.sh: the source package $2 did not download" >&2; exit 1; }
  mkdir -p "$3"
  tar -xf "$orig" -C "$3" --strip-components=1
  tar -xf "$debian" -C "$3"
  if [ -f "$3/debian/patches/series" ]; then
    sed -e 's/#.*//' -e '/^ *$/d' "$3/debian/patches/series" | while read -r patch options; do
      patch -s -d "$3" ${options:--p1} < "$3/debian/patches/$patch" || exit 1
    done
  fi
}

# Builds both libraries from Debian's source packages into $prefix. apt reads
# a sources list of this script's own, with lists of its own, so the
# machine's apt neither fetches source indexes nor changes.
build_libraries() {
  work=$(mktemp -d /tmp/tidewash-windows-XXXXXX)
  trap 'rm -rf "$work"' EXIT
  apt_dir=$cache_root/apt
  run_as_root mkdir -p "$apt_dir/lists/partial" "$cache_root"
  # The archive the machine installs from, as deb-src, for the release it runs.
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  archive=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    sed -n -e 's/^URIs: *\([^ ]*\).*/\1/p' -e 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\).*/\2/p' |
    grep -v security | head -n 1)
  echo "deb-src $archive $codename main" | run_as_root tee "$apt_dir/sources.list" > /dev/null
  set -- -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
    -o Dir::State::Lists="$apt_dir/lists"
  run_as_root apt-get "$@" update -qq
  # apt checks each file against the signed index as it downloads it. The
  # upstream signatures (*.asc) beside the tarballs may be missing from a
  # mirror; the tarballs are unpacked and Debian's patches applied here.
  (cd "$work" && apt-get "$@" source -qq --download-only libsdl1.2 mpg123 > /dev/null 2>&1) || true
  unpack "$work" libsdl1.2 "$work/sdl"
  unpack "$work" mpg123 "$work/mpg123"
  stage=$work/prefix
  jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

  # SDL 1.2: the Win32 GDI video driver with WGL, and waveOut and DirectSound
  # audio. Standard output stays the console's (no redirection to files).
  sdl_source=$work/sdl
  (cd "$sdl_source" && ./configure -q --host=$host --prefix="$stage" --disable-shared --enable-static \
     --disable-stdio-redirect --disable-nasm --disable-rpath CFLAGS="-O2 -w" &&
   make -s -j "$jobs" && make -s install) > "$work/sdl.log" 2>&1 ||
    { tail -n 40 "$work/sdl.log" >&2; echo "windows.sh: SDL 1.2 did not build" >&2; exit 1; }

  # libmpg123 (the player beside it is built too, with no sound output).
  mpg123_source=$work/mpg123
  (cd "$mpg123_source" && ./configure -q --host=$host --prefix="$stage" --disable-shared --enable-static \
     --disable-modules --disable-network --with-audio=dummy --with-default-audio=dummy --with-cpu=x86-64 \
     CFLAGS="-O2 -w" &&
   make -s -j "$jobs" && make -s install) > "$work/mpg123.log" 2>&1 ||
    { tail -n 40 "$work/mpg123.log" >&2; echo "windows.sh: libmpg123 did not build" >&2; exit 1; }

  # Licences travel with the libraries.
  mkdir -p "$stage/licences"
  cp "$sdl_source/COPYING" "$stage/licences/SDL-COPYING"
  cp "$mpg123_source/COPYING" "$stage/licences/mpg123-COPYING"
  run_as_root rm -rf "$prefix"
  run_as_root cp -r "$stage" "$prefix"
  rm -rf "$work"
  trap - EXIT
}

if [ ! -f "$prefix/lib/libSDL.a" ] || [ ! -f "$prefix/lib/libmpg123.a" ]; then
  echo "Building SDL 1.2 and libmpg123 for $host into $prefix"
  build_libraries
fi

# The asset packer and the soundtrack come from a native build: the one
# TIDEWASH_HOST_TOOLS names (a tree that has built them), or one of its own.
cd "$root"
tools=${TIDEWASH_HOST_TOOLS:-}
if [ -n "$tools" ]; then
  tools=$(realpath "$tools")
else
  "$root/scripts/install-deps.sh"
  tools=$root/build-windows/host
  cmake -S . -B "$tools" -DCMAKE_BUILD_TYPE=Release -DTIDEWASH_TESTS=OFF > /dev/null
  cmake --build "$tools" -j 2 --target tidewash_pack soundtrack
fi
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/MinGW64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DTIDEWASH_TESTS=OFF -DTIDEWASH_WERROR=ON -DTIDEWASH_WINDOWS_LIBRARIES="$prefix" -DTIDEWASH_HOST_TOOLS="$tools" > /dev/null
cmake --build build-windows -j 2 --target tidewash
# Beside the exe: its soundtrack, and the licence of the libraries linked
# into it (SDL 1.2 and libmpg123 are both under the LGPL 2.1).
cp build-windows/live/tidewash.exe "$tools/Quietfall.MP3" build-windows/
cp "$prefix/licences/SDL-COPYING" build-windows/LGPL-2.1.txt
echo "Built $root/build-windows/tidewash.exe"

if [ "$play" = yes ]; then
  cd build-windows
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  exec wine ./tidewash.exe
fi
