#!/bin/bash
# No X display, or an X server without OpenGL: one error line naming the
# cause, exit status 1, no crash. No sound device: the demo still plays.
. "$(dirname "$0")/common.sh"

"$make_tone" 5 Quietfall.MP3 || fail "cannot make the soundtrack"

env -u DISPLAY timeout 60 "$demo" > out.txt 2> err.txt
status=$?
[ "$status" -eq 1 ] || fail "without a display: exit status $status, expected 1"
[ "$(wc -l < out.txt)" -eq 1 ] || fail "without a display: expected one line"
grep -q '^ERROR: Cannot open the OpenGL window: .*video device' out.txt || fail "without a display: no error naming the cause"

bash "$(dirname "$0")/../support/with_xvfb.sh" --no-glx timeout 60 "$demo" > out.txt 2> err.txt
status=$?
[ "$status" -eq 1 ] || fail "without GLX: exit status $status, expected 1"
[ "$(wc -l < out.txt)" -eq 1 ] || fail "without GLX: expected one line"
grep -q '^ERROR: Cannot open the OpenGL window: .*GLX' out.txt || fail "without GLX: no error naming the cause"

# No sound device at all: the clock runs from the steady clock.
space_until_then_escape 1500 env SDL_AUDIODRIVER=no-such-driver
status=$?
[ "$status" -eq 0 ] || fail "no sound: exit status $status, expected 0"
position=$(tail -n 2 out.txt | head -n 1)
[[ "$position" =~ ^[0-9]+$ ]] && [ "$position" -ge 1500 ] || fail "no sound: the clock did not run ($position)"
echo "PASS"
