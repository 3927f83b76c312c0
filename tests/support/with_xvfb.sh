#!/bin/bash
# Runs a command on an X server of its own: with_xvfb.sh COMMAND ARGS...
# xvfb-run -a can pick a display number that another Xvfb, started at the
# same moment, takes first. The command then cannot reach its server and exits
# with status 75, and it is run again on a fresh server. The server does not
# reset when its last client leaves: while resetting it turns clients away.
for attempt in 1 2 3 4 5; do
  xvfb-run -a -s "-screen 0 800x600x24 -noreset" "$@"
  status=$?
  [ "$status" -eq 75 ] || exit "$status"
  echo "lost the race for an X display, trying again"
  sleep "$attempt"
done
echo "FAIL: no X display after 5 tries"
exit 1
