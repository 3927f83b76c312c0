#!/bin/bash
# Runs a command on an X server of its own:
#   with_xvfb.sh [--screen WIDTHxHEIGHT] COMMAND ARGS...   (default 800x600)
# xvfb-run -a can pick a display number that another Xvfb, started at the
# same moment, takes first. The command then cannot reach its server and exits
# with status 75, and it is run again on a fresh server. The server does not
# reset when its last client leaves: while resetting it turns clients away.
screen=800x600
if [ "${1:-}" = "--screen" ]; then
  screen=$2
  shift 2
fi
for attempt in 1 2 3 4 5; do
  xvfb-run -a -s "-screen 0 ${screen}x24 -noreset" "$@"
  status=$?
  [ "$status" -eq 75 ] || exit "$status"
  echo "lost the race for an X display, trying again"
  sleep "$attempt"
done
echo "FAIL: no X display after 5 tries"
exit 1
