#!/bin/bash
# A close request from the window system ends the demo like Escape: the frame
# rate is written and the exit status is 0.
. "$(dirname "$0")/common.sh"
send_close=$3

"$make_tone" 20 Quietfall.MP3 || fail "cannot make the soundtrack"
"$demo" > out.txt 2> err.txt &
pid=$!
window=$(demo_window)
[ -n "$window" ] || fail "no demo window appeared"
sleep 1
"$send_close" "$window" || fail "cannot send the close request"
timeout 20 tail --pid="$pid" -f /dev/null
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "the demo did not end on the close request"; }
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
[[ "$(cat out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "the output is not just the 'FPS: ' line"
echo "PASS"
