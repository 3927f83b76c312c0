#!/bin/bash
# Runs a command on a Wayland desktop of its own, the way a GNOME or KDE
# Wayland session runs X programs: weston with its headless back end and GL
# renderer (Mesa's software OpenGL), and Xwayland for X clients:
#   with_weston.sh [--screen WIDTHxHEIGHT] COMMAND ARGS...   (default 800x600)
# The command finds the compositor in WAYLAND_DISPLAY and Xwayland in
# DISPLAY; weston starts Xwayland when the first X client connects.
set -u
screen=800x600
if [ "${1:-}" = "--screen" ]; then
  screen=$2
  shift 2
fi
runtime=$(mktemp -d /tmp/tidewash-weston-XXXXXX)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=wayland-tidewash
# Xwayland's sockets go where every X server's go.
mkdir -p /tmp/.X11-unix
chmod 1777 /tmp/.X11-unix

weston --backend=headless-backend.so --use-gl --xwayland --socket="$WAYLAND_DISPLAY" --idle-time=0 \
       --width="${screen%x*}" --height="${screen#*x}" --log="$runtime/weston.log" > /dev/null 2>&1 &
weston_pid=$!
trap 'kill $weston_pid 2>/dev/null; wait $weston_pid 2>/dev/null; rm -rf "$runtime"' EXIT

display=
for _ in $(seq 100); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$runtime/weston.log" 2>/dev/null)
  [ -n "$display" ] && break
  kill -0 "$weston_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$display" ]; then
  echo "FAIL: weston did not start with Xwayland"
  tail -n 20 "$runtime/weston.log"
  exit 1
fi
echo "weston on $WAYLAND_DISPLAY, Xwayland on $display, screen $screen"
DISPLAY=$display "$@"
status=$?
[ "$status" -eq 0 ] || { echo "--- weston's log (last lines):"; tail -n 20 "$runtime/weston.log"; }
exit "$status"
