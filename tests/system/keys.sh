#!/bin/bash
# Space writes the music position, Escape ends the demo with the frame rate.
. "$(dirname "$0")/common.sh"

"$make_tone" 20 Quietfall.MP3 || fail "cannot make the soundtrack"
space_until_then_escape 1000
status=$?
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
lines=$(wc -l < out.txt)
[ "$lines" -ge 2 ] || fail "expected positions and then the frame rate"
head -n $((lines - 1)) out.txt | grep -qvE '^(0|[1-9][0-9]*)$' && fail "a position line is not digits only"
head -n $((lines - 1)) out.txt | sort -c -n || fail "the positions do not grow"
position=$(sed -n "$((lines - 1))p" out.txt)
[ "$position" -ge 1000 ] && [ "$position" -le 10000 ] || fail "position $position ms is not about 1 s in"
[[ "$(tail -n 1 out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "the last line is not 'FPS: ' and digits"
echo "PASS"
