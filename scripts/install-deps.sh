#!/bin/sh
# Installs the Debian packages that building, playing and testing the demo
# need. Only missing packages are installed; run as root or with sudo at hand.
set -eu

packages="
  build-essential cmake pkg-config ccache
  libsdl1.2-dev libgl-dev libgl1-mesa-dri libglx-mesa0
  libmpg123-dev libmp3lame-dev libpulse-dev libpipewire-0.3-dev
  libpng-dev libfreetype-dev fonts-dejavu-core fonts-urw-base35
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps imagemagick
  lame mpg123 sox
  libegl-dev libegl-mesa0 ffmpeg
  clang libclang-rt-14-dev llvm valgrind
  libsdl1.2-compat openbox wmctrl dpkg-dev desktop-file-utils
  pulseaudio pulseaudio-utils pipewire pipewire-pulse pipewire-bin wireplumber dbus-daemon mpv
  emscripten node-acorn chromium firefox-esr
  lintian help2man man-db weston xwayland zip unzip
  python3-matplotlib
"

# npm for the browser tests' puppeteer-core; a Node.js from elsewhere may
# bring its own npm, which Debian's package would conflict with.
if ! command -v npm >/dev/null; then
  packages="$packages npm"
fi

missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
run_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
run_as_root apt-get update -qq
run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
