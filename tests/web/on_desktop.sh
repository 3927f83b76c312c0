#!/bin/bash
# Runs a browser test on a desktop: a window manager (openbox) on the X
# server that with_xvfb.sh gives, as firefox goes full screen only through
# one.
#   with_xvfb.sh [--screen WxH] on_desktop.sh COMMAND ARGS...
openbox > /dev/null 2>&1 &
openbox_pid=$!
for _ in $(seq 100); do wmctrl -m > /dev/null 2>&1 && break; sleep 0.1; done
"$@"
status=$?
kill "$openbox_pid" 2> /dev/null
wait "$openbox_pid" 2> /dev/null
exit "$status"
