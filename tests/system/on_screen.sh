#!/bin/bash
# Runs a command on an X server of its own with a screen of the given size:
#   on_screen.sh WIDTHxHEIGHT COMMAND ARGS...
# As in tests/support/with_xvfb.sh, a command that lost the race for a display
# number exits with status 75 and is run again on a fresh server.
size=$1
shift
for attempt in 1 2 3 4 5; do
  xvfb-run -a -s "-screen 0 ${size}x24 -noreset" "$@"
  status=$?
  [ "$status" -eq 75 ] || exit "$status"
  echo "lost the race for an X display, trying again"
  sleep "$attempt"
done
echo "FAIL: no X display after 5 tries"
exit 1
