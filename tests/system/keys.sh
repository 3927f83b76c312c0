#!/bin/bash
# Space writes the music position, Escape ends the demo with the frame rate.
. "$(dirname "$0")/common.sh"

"$make_tone" 20 Quietfall.MP3 || fail "cannot make the soundtrack"
space_then_escape 1.5
status=$?
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
[ "$(wc -l < out.txt)" -eq 2 ] || fail "expected two lines"
position=$(sed -n 1p out.txt)
[[ "$position" =~ ^[1-9][0-9]*$ ]] || fail "position line '$position' is not digits only"
[ "$position" -ge 1000 ] && [ "$position" -le 10000 ] || fail "position $position ms is not about 1.5 s in"
[[ "$(sed -n 2p out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "second line is not 'FPS: ' and digits"
echo "PASS"
