#!/bin/bash
# Short runs of tidewash.exe under Wine with SDL's silent audio driver: the
# missing soundtrack gives the one error line and exit status 1; Space writes
# growing positions and Escape ends with the frame rate; odd soundtracks
# (truncated, random bytes, 8 kHz mono, VBR, 48 kHz) each play or give the
# error line, never a crash or a hang.
. "$(dirname "$0")/common.sh"
error_line='ERROR: Cannot find file quietfall.mp3!'

timeout 60 wine "$exe" > out.txt 2> err.txt
status=$?
[ "$status" -eq 1 ] || fail "missing soundtrack: exit status $status, expected 1"
[ "$(lines)" = "$error_line" ] || fail "missing soundtrack: stdout is not exactly the error line"
echo "ok: the missing soundtrack gives the error line"

# Space until 1 s in, then Escape.
"$make_tone" 20 Quietfall.MP3 || fail "cannot make the soundtrack"
space_until_then_escape 1000 wine
status=$?
[ "$status" -eq 0 ] || fail "keys: exit status $status, expected 0"
count=$(lines | wc -l)
[ "$count" -ge 2 ] || fail "keys: expected positions and then the frame rate"
lines | head -n $((count - 1)) | grep -qvE '^(0|[1-9][0-9]*)$' && fail "keys: a position line is not digits only"
lines | head -n $((count - 1)) | sort -c -n || fail "keys: the positions do not grow"
[[ "$(lines | tail -n 1)" =~ ^FPS:\ [0-9]+$ ]] || fail "keys: the last line is not 'FPS: ' and digits"
echo "ok: Space writes positions, Escape the frame rate"

# Random bytes give the error line; the other odd soundtracks play, and the
# clock runs past the short music (Space until 2.5 s in, then Escape).
"$make_tone" 1.5 tone.mp3 || fail "cannot make a tone"
sox -q -n -r 8000 -c 1 mono8k.wav synth 1.5 sine 440
sox -q -n -r 48000 -c 2 rate48k.wav synth 1.5 sine 440
lame --quiet -m m mono8k.wav mono8k.mp3 && lame --quiet rate48k.wav rate48k.mp3 &&
  lame --quiet -V 2 rate48k.wav vbr.mp3 || fail "cannot encode the odd soundtracks"
head -c $(($(stat -c %s tone.mp3) / 2 + 77)) tone.mp3 > truncated.mp3
head -c 500000 /dev/urandom > random.mp3
cp random.mp3 Quietfall.MP3
timeout 60 wine "$exe" > out.txt 2> err.txt
status=$?
[ "$status" -eq 1 ] && [ "$(lines)" = "$error_line" ] || fail "random bytes: exit status $status, not the error line"
echo "ok: random bytes give the error line"
for name in truncated mono8k vbr rate48k; do
  cp "$name.mp3" Quietfall.MP3
  space_until_then_escape 2500 wine
  status=$?
  [ "$status" -eq 0 ] || fail "$name: exit status $status, expected 0"
  position=$(lines | tail -n 2 | head -n 1)
  [[ "$position" =~ ^[0-9]+$ ]] && [ "$position" -ge 2500 ] || fail "$name: the clock did not run on ($position)"
  [[ "$(lines | tail -n 1)" =~ ^FPS:\ [0-9]+$ ]] || fail "$name: no 'FPS: ' line"
  echo "ok: $name plays on past the music, to $position ms"
done
echo "PASS"
