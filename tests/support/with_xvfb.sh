#!/bin/bash
# Runs a command on an X server of its own:
#   with_xvfb.sh [--screen WIDTHxHEIGHT] [--no-glx] COMMAND ARGS...
# (default 800x600). Xvfb picks a free display number itself and writes it
# once it listens (-displayfd), so servers started at the same moment never
# share one. The server does not reset when its last client leaves: while
# resetting it turns clients away.
screen=800x600
server_options=()
while [ $# -gt 0 ]; do
  case $1 in
    --screen) screen=$2; shift 2 ;;
    --no-glx) server_options+=(-extension GLX); shift ;;
    *) break ;;
  esac
done
numbers=$(mktemp /tmp/tidewash-xvfb-XXXXXX)
Xvfb -displayfd 3 -screen 0 "${screen}x24" -noreset -nolisten tcp "${server_options[@]}" 3> "$numbers" 2> /dev/null &
server=$!
for _ in $(seq 300); do
  [ -s "$numbers" ] && break
  kill -0 "$server" 2> /dev/null || break
  sleep 0.05
done
display=$(head -n 1 "$numbers")
rm -f "$numbers"
if [ -z "$display" ]; then
  echo "FAIL: Xvfb did not start"
  kill "$server" 2> /dev/null
  exit 1
fi
DISPLAY=:$display "$@"
status=$?
kill "$server" 2> /dev/null
wait "$server" 2> /dev/null
exit "$status"
