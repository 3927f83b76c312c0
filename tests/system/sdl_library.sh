# Picks one of the two SDL 1.2 libraries for the demo, for the tests that
# source this after common.sh: "classic", Debian's libsdl1.2debian, or
# "compat", sdl12-compat over SDL2 (libsdl1.2-compat), which installs beside
# the classic one and is found through LD_LIBRARY_PATH.
compat_dir=/usr/lib/x86_64-linux-gnu/sdl12-compat

use_library() {  # classic|compat
  library=$1
  case $library in
    classic) unset LD_LIBRARY_PATH ;;
    compat)
      [ -e "$compat_dir/libSDL-1.2.so.0" ] || fail "no sdl12-compat in $compat_dir"
      export LD_LIBRARY_PATH=$compat_dir ;;
    *) fail "unknown SDL library '$library'" ;;
  esac
}

# Checks that the running demo with process id $1 has loaded the library
# picked, and not the other one.
check_library() {
  local maps
  maps=$(cat "/proc/$1/maps") || fail "cannot read the demo's memory map"
  if [ "$library" = compat ]; then
    grep -q "$compat_dir/libSDL-1.2" <<< "$maps" || fail "the demo did not load sdl12-compat"
    grep -q "libSDL2-2.0" <<< "$maps" || fail "sdl12-compat runs without SDL2"
  else
    grep -q "libSDL-1.2" <<< "$maps" || fail "the demo did not load SDL 1.2"
    grep -q "sdl12-compat\|libSDL2" <<< "$maps" && fail "the demo loaded sdl12-compat, not the classic SDL 1.2"
  fi
  echo "ok: the demo runs on the $library SDL 1.2"
}
