#!/bin/bash
# tidewash.exe under Wine plays the whole schedule with the real soundtrack
# and ends by itself with the frame rate. 50 s in, on the title picture, a
# screenshot is taken and Space then writes the position; the screenshot must
# be the frame tidewash-capture draws at that position, within the browser
# tests' tolerance (mean |difference| per channel of 4 or less, 0 to 255).
# The sound goes to whatever Wine offers (WASAPI, else SDL's drivers, else
# none: the clock then runs in real time).
. "$(dirname "$0")/common.sh"
soundtrack=$4
capture=$5
shots=$6
mkdir -p "$shots"
unset SDL_AUDIODRIVER
cp "$soundtrack" Quietfall.MP3 || fail "no soundtrack at $soundtrack"

# The show takes two minutes whatever the frame rate, and the demo draws as
# fast as it can: at a lower priority it leaves the cores to the tests that
# run beside it and still draws every scene.
nice -n 10 wine "$exe" > out.txt 2> err.txt &
pid=$!
window=$(demo_window)
[ -n "$window" ] || fail "no demo window appeared"
xdotool windowfocus --sync "$window"
# The title picture runs from about 31 s to 72 s of music.
sleep 50
import -window root "$shots/wine_picture.png" || fail "cannot take the screenshot"
position=$(next_position)
[[ "$position" =~ ^[0-9]+$ ]] || fail "Space wrote '$position', not a position"
[ "$position" -gt 32000 ] && [ "$position" -lt 71000 ] || fail "the screenshot at $position ms is not on the title picture"

"$capture" --out "$shots/capture" --force --stills "$position" --fps 10 --soundtrack "$soundtrack" --quiet ||
  fail "tidewash-capture could not draw $position ms"
difference=$(compare -metric MAE "$shots/wine_picture.png" "$shots/capture/$position.png" null: 2>&1 |
  sed 's/.*(\(.*\))/\1/')
mean=$(echo "$difference * 255" | bc -l)
echo "mean |difference| at $position ms: $mean"
[ "$(echo "$mean <= 4" | bc -l)" -eq 1 ] || fail "the screenshot differs from the captured frame by $mean"

timeout 120 tail --pid="$pid" -f /dev/null
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "the demo did not end by itself"; }
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
[ "$(lines | wc -l)" -eq 2 ] || fail "expected the position and the FPS line"
[[ "$(lines | tail -n 1)" =~ ^FPS:\ [0-9]+$ ]] || fail "the last line is not 'FPS: ' and digits"
echo "PASS"
